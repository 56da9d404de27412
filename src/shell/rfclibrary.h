#pragma once

#include "documentfetcher.h"
#include "rfcindex.h"
#include "rfcindexupdater.h"

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

    // Each value on its own, with its own default.
    static LibrarySettings read(const UserSettings &store);
    bool write(UserSettings &store) const;
};

// The user's library of RFCs and drafts: opens a document named by number or
// title from a local copy, or fetches it once and keeps it; keeps the RFC
// index up to date and answers what it says about a document.
class RfcLibrary : public QObject
{
    Q_OBJECT

public:
    explicit RfcLibrary(LibrarySettings settings, QObject *parent = nullptr);
    ~RfcLibrary() override;

    const LibrarySettings &settings() const { return m_settings; }

    // Opens what the user typed: a number, "RFC 9293", "BCP 14", a draft
    // name or words of a title. currentFolder is searched first.
    void open(const QString &text, const QString &currentFolder);
    // The local copy of a named document, or empty.
    QString find(const DocumentName &name, const QString &currentFolder) const;

    void cancelFetch();

    // Fetches the RFC index when it is a day old; loads the stored one at once.
    void refreshIndex();
    // Loads the stored RFC index once, fetching nothing.
    void loadStoredIndex();
    const RfcIndex &index() const { return m_index; }
    // The completions offered by Open RFC: "RFC 9293 Transmission Control Protocol (TCP)".
    QStringList completions() const;
    // The RFC a file of the library names ("rfc9293.txt"), or 0.
    static int rfcNumberOf(const QString &path);

signals:
    void openRequested(const QString &path);
    // A one-line report for the status bar.
    void message(const QString &text);
    // A fetch failed, and why; it stands until a fetch succeeds.
    void fetchFailed(const QString &text);
    void fetchSucceeded();
    void fetchStarted(const QString &what);
    void fetchProgress(qint64 received, qint64 total);
    void fetchEnded();
    void indexChanged();

private:
    void openName(const DocumentName &name, const QString &currentFolder);
    void fetchNext();
    void loadIndex();

    LibrarySettings m_settings;
    DocumentFetcher m_fetcher;
    RfcIndexUpdater m_updater;
    RfcIndex m_index;
    QFutureWatcher<RfcIndex> m_indexLoad;
    QQueue<DocumentName> m_toFetch;
    bool m_indexLoaded = false;
};
