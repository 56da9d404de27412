#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

class BodyInflater;
class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;
class QTimer;

// Fetches one address into one file. The file appears only when the whole
// body arrived within the deadline and looks like a text document (not
// empty, no NUL byte, not a web page, at most MaxBytes once decompressed,
// as the body check would have it); until then it is an unnamed or temporary
// file in the target's folder, and a failed or cancelled transfer leaves
// nothing behind (an older file of that name stays as it was). Asked only
// for a copy newer than a date, a "not modified" answer leaves the file as
// it is too.
class FileDownload : public QObject
{
    Q_OBJECT

public:
    enum class Failure { NotFound, Other };

    static constexpr qint64 MaxBytes = 20 * 1024 * 1024;
    static constexpr std::chrono::milliseconds DefaultTimeout{30'000};
    static constexpr std::chrono::milliseconds DefaultDeadline{120'000};
    static constexpr int MaxRedirects = 10;
    // How much of the start of the body is kept for the checks.
    static constexpr qsizetype HeadBytes = 4096;

    // Judges the first HeadBytes of a body that arrived whole: why it is
    // refused, or an empty string.
    using BodyCheck = std::function<QString(QByteArrayView head)>;

    explicit FileDownload(QObject *parent = nullptr);
    ~FileDownload() override;

    // "Could not fetch URL: reason", the user's line for a failed transfer.
    static QString failureMessage(const QUrl &url, const QString &reason);

    // How long the server may send nothing before the transfer fails.
    void setTimeout(std::chrono::milliseconds timeout);
    // How long the whole transfer may take, however steadily data comes.
    void setDeadline(std::chrono::milliseconds deadline);
    // For the transfers started from now on; an empty check accepts all.
    void setBodyCheck(BodyCheck check);

    bool isRunning() const { return m_reply != nullptr; }
    // The address of the running or last transfer.
    const QUrl &url() const { return m_url; }
    // Starts fetching url into targetPath, whose folder is created when
    // missing; with a valid ifModifiedSince, only when the server's copy is
    // newer (else unchanged()). False, and nothing started, while another
    // transfer runs.
    bool start(const QUrl &url, const QString &targetPath, const QDateTime &ifModifiedSince = {});
    // Stops the transfer and discards what arrived; no signal follows.
    void cancel();

signals:
    // total is -1 while the size is unknown.
    void progress(qint64 received, qint64 total);
    void finished(const QString &path);
    // The server has nothing newer than the ifModifiedSince of start().
    void unchanged();
    // reason is a short phrase such as "no data for 30 seconds".
    void failed(FileDownload::Failure failure, const QString &reason);

private:
    void onMetaDataChanged();
    void onReadyRead();
    void onFinished();
    void onTimeout();
    void onDeadline();
    bool isSuccessStatus() const;
    // Why a reply that ended on a redirect did not follow it, when refused.
    QString refusedRedirect() const;
    void writeChunk(const QByteArray &data);
    void fail(Failure failure, const QString &reason);
    void failWriting();
    void stop();

    QNetworkAccessManager *m_network;
    QTimer *m_timer;
    QTimer *m_deadline;
    BodyCheck m_check;
    QNetworkReply *m_reply = nullptr;
    // For a compressed body; null for a plain one.
    std::unique_ptr<BodyInflater> m_inflater;
    QUrl m_url;
    QString m_targetPath;
    // Whether the request asked only for a newer copy, so that 304 answers it.
    bool m_conditional = false;
    std::unique_ptr<QSaveFile> m_file;
    // The start of the body, to tell a web page from a text document.
    QByteArray m_head;
    // Decompressed.
    qint64 m_received = 0;
    // -1 while unknown.
    qint64 m_expectedBytes = -1;
};
