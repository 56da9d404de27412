#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>

class DocumentName;
class FileDownload;

// Fetches an RFC or an Internet-Draft into the library folder, under its
// download file name. Reports failures as one line for the user.
class DocumentFetcher : public QObject
{
    Q_OBJECT

public:
    static constexpr QStringView DefaultRfcBaseUrl = u"https://www.rfc-editor.org/rfc/";
    static constexpr QStringView DefaultDraftBaseUrl = u"https://www.ietf.org/archive/id/";

    explicit DocumentFetcher(QObject *parent = nullptr);
    ~DocumentFetcher() override;

    // RFCs are fetched from rfcBase + "rfcN.txt", drafts from draftBase +
    // "NAME-NN.txt"; a base without a trailing "/" gets one.
    void setRfcBaseUrl(const QUrl &url);
    void setDraftBaseUrl(const QUrl &url);
    void setTimeout(std::chrono::milliseconds timeout);
    void setDeadline(std::chrono::milliseconds deadline);

    // The address name is fetched from; empty for a BCP, an STD or a draft
    // without revision.
    QUrl urlFor(const DocumentName &name) const;

    bool isRunning() const;
    // Starts fetching name into libraryFolder. False, and nothing started,
    // while a fetch runs or when urlFor(name) is empty. An RFC whose first
    // page names another number is refused.
    bool fetch(const DocumentName &name, const QString &libraryFolder);
    // Stops the fetch and discards what arrived; no signal follows.
    void cancel();

signals:
    // total is -1 while the size is unknown.
    void progress(qint64 received, qint64 total);
    void finished(const QString &path);
    // "RFC 99999 was not found at URL" or "Could not fetch URL: reason".
    void failed(const QString &message);

private:
    FileDownload *m_download;
    QUrl m_rfcBaseUrl;
    QUrl m_draftBaseUrl;
    QString m_displayName;
};
