#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>

class FileDownload;

// Keeps the RFC index in the library folder fresh: fetches it in the
// background at most once a day, judged by the stored file's modification
// time and this updater's last attempt. A failed fetch keeps the old index.
class RfcIndexUpdater : public QObject
{
    Q_OBJECT

public:
    static constexpr QStringView DefaultIndexUrl = u"https://www.rfc-editor.org/rfc-index.xml";
    static constexpr QStringView FileName = u"rfc-index.xml";
    static constexpr std::chrono::hours UpdateInterval{24};

    explicit RfcIndexUpdater(QObject *parent = nullptr);
    ~RfcIndexUpdater() override;

    void setIndexUrl(const QUrl &url);
    void setTimeout(std::chrono::milliseconds timeout);

    static QString indexPath(const QString &libraryFolder);
    // Whether an index last fetched at lastUpdate (invalid for never) is due
    // at now; a time a day or more ahead of now is due too (a clock set back).
    static bool isDue(const QDateTime &lastUpdate, const QDateTime &now);

    bool isRunning() const;
    // Starts fetching the index into libraryFolder when due and no fetch
    // runs; true when it started.
    bool updateIfDue(const QString &libraryFolder);
    // Stops the fetch; no signal follows.
    void cancel();

signals:
    void updated(const QString &path);
    // "Could not fetch URL: reason".
    void failed(const QString &message);

private:
    FileDownload *m_download;
    QUrl m_indexUrl;
    QDateTime m_lastAttempt;
    QString m_lastAttemptPath;
};
