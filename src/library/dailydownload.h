#pragma once

#include "filedownload.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>

// Keeps one file of a library folder fresh: fetches it in the background at
// most once a day, judged by the stored file's modification time and this
// object's last attempt, asking only for a copy newer than the stored one.
// A failed fetch keeps the old file.
class DailyDownload : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::hours UpdateInterval{24};

    DailyDownload(QString fileName, QUrl defaultUrl, QObject *parent = nullptr);
    ~DailyDownload() override;

    void setUrl(const QUrl &url);
    const QUrl &url() const { return m_url; }
    void setTimeout(std::chrono::milliseconds timeout);
    // See FileDownload::setBodyCheck.
    void setBodyCheck(FileDownload::BodyCheck check);
    // For a file that needs a closer look than the body check: a fetched
    // copy goes to stagedPath() and updated() names it, the stored file
    // staying as it is until keepStaged().
    void setStaged(bool staged);

    QString path(const QString &folder) const;
    QString stagedPath(const QString &folder) const;
    // Whether a file last fetched at lastUpdate (invalid for never) is due
    // at now; a time a day or more ahead of now is due too (a clock set back).
    static bool isDue(const QDateTime &lastUpdate, const QDateTime &now);

    bool isRunning() const;
    // Starts fetching the file into folder when due and no fetch runs; true
    // when it started.
    bool updateIfDue(const QString &folder);
    // Stops the fetch; no signal follows.
    void cancel();
    // Puts the staged copy in place of the stored file; false, with why in
    // *error, when it cannot.
    bool keepStaged(const QString &folder, QString *error);

signals:
    void updated(const QString &path);
    // The server has nothing newer than the stored file, which now counts
    // as fetched today.
    void unchanged(const QString &path);
    // "Could not fetch URL: reason".
    void failed(const QString &message);

private:
    FileDownload *m_download;
    QString m_fileName;
    QUrl m_url;
    bool m_staged = false;
    QDateTime m_lastAttempt;
    QString m_lastAttemptPath;
};
