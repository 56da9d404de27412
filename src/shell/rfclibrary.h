#pragma once

#include "dailydownload.h"
#include "documentfetcher.h"
#include "rfcindex.h"

#include <QFutureWatcher>
#include <QObject>
#include <QQueue>
#include <QUrl>

class DocumentName;
class UserSettings;

// Where the library is and where it fetches from, as the settings store keeps it.
struct LibrarySettings
{
    QString folder;
    QStringList extraFolders; // read-only, such as a mirror of the RFC series
    QUrl rfcBaseUrl;
    QUrl draftBaseUrl;
    QUrl indexUrl;
    QUrl errataUrl;
    // A link to a document not on this machine fetches it.
    bool fetchOnFollow = true;

    // Each value on its own, with its own default.
    static LibrarySettings read(const UserSettings &store);
    bool write(UserSettings &store) const;
};

// The user's library of RFCs and drafts: says which documents a number, a
// name or words of a title mean, finds their local copies or fetches them
// once and keeps them; keeps the RFC index up to date and answers what it
// says about a document.
class RfcLibrary : public QObject
{
    Q_OBJECT

public:
    static constexpr QStringView IndexFileName = u"rfc-index.xml";
    static constexpr QStringView DefaultIndexUrl = u"https://www.rfc-editor.org/rfc-index.xml";

    explicit RfcLibrary(LibrarySettings settings, QObject *parent = nullptr);
    ~RfcLibrary() override;

    const LibrarySettings &settings() const { return m_settings; }

    // Asks for the documents the user typed with documentRequested(): a
    // number, "RFC 9293", "BCP 14", a draft name or words of a title.
    void open(const QString &text);
    // The local copy of a named document in the library's folders, else
    // beside the citing document; empty when there is none.
    QString find(const DocumentName &name, const QString &citingFolder) const;
    // What follows a fetch: the document opens, or it is only kept.
    enum class AfterFetch { Open, Keep };
    // Fetches the document into the library; fetched() when it is there.
    void fetch(const DocumentName &name, const QString &section, AfterFetch after = AfterFetch::Open);

    void cancelFetch();

    // Fetches the RFC index when it is a day old; loads the stored one at once.
    void refreshIndex();
    // Loads the stored RFC index once, fetching nothing.
    void loadStoredIndex();
    const RfcIndex &index() const { return m_index; }
    // The completions offered by Open RFC: "RFC 9293 Transmission Control
    // Protocol (TCP)", then the obsoleted ones: "RFC 793 Transmission
    // Control Protocol (obsoleted by RFC 9293)".
    QStringList completions() const;
    // The card over a link to a document: what the RFC index says of it
    // (title, status, date, what obsoletes it) and where its copy here is,
    // if there is one.
    QString card(const DocumentName &name, const QString &section, const QString &localCopy) const;
    // The RFC a file of the library names ("rfc9293.txt"), or 0.
    static int rfcNumberOf(const QString &path);

signals:
    void documentRequested(const DocumentName &name);
    // The section and what follows are the ones asked for with fetch().
    void fetched(const QString &path, const QString &section, RfcLibrary::AfterFetch after);
    // A one-line report for the status bar.
    void message(const QString &text);
    // A fetch failed, and why; it stands until a fetch succeeds (fetched()).
    void fetchFailed(const QString &text);
    void fetchStarted(const QString &what);
    void fetchProgress(qint64 received, qint64 total);
    void fetchEnded();
    void indexChanged();

private:
    void fetchNext();
    void loadIndex();

    LibrarySettings m_settings;
    DocumentFetcher m_fetcher;
    DailyDownload m_indexDownload{IndexFileName.toString(), QUrl(DefaultIndexUrl.toString())};
    RfcIndex m_index;
    QFutureWatcher<RfcIndex> m_indexLoad;
    struct FetchRequest
    {
        DocumentName name;
        QString section;
        AfterFetch after;
    };
    QQueue<FetchRequest> m_toFetch;
    std::optional<FetchRequest> m_fetching;
    bool m_indexLoaded = false;
};
