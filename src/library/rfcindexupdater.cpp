#include "rfcindexupdater.h"

#include "filedownload.h"

#include <QDir>
#include <QFileInfo>

RfcIndexUpdater::RfcIndexUpdater(QObject *parent)
    : QObject(parent), m_download(new FileDownload(this)), m_indexUrl(DefaultIndexUrl.toString())
{
    connect(m_download, &FileDownload::finished, this, &RfcIndexUpdater::updated);
    connect(m_download, &FileDownload::failed, this, [this](FileDownload::Failure, const QString &reason) {
        emit failed(FileDownload::failureMessage(m_download->url(), reason));
    });
}

RfcIndexUpdater::~RfcIndexUpdater() = default;

void RfcIndexUpdater::setIndexUrl(const QUrl &url)
{
    m_indexUrl = url;
}

void RfcIndexUpdater::setTimeout(std::chrono::milliseconds timeout)
{
    m_download->setTimeout(timeout);
}

QString RfcIndexUpdater::indexPath(const QString &libraryFolder)
{
    return QDir(libraryFolder).filePath(FileName.toString());
}

bool RfcIndexUpdater::isDue(const QDateTime &lastUpdate, const QDateTime &now)
{
    if (!lastUpdate.isValid())
        return true;
    const auto since = std::chrono::seconds(lastUpdate.secsTo(now));
    return since >= UpdateInterval || since <= -UpdateInterval;
}

bool RfcIndexUpdater::isRunning() const
{
    return m_download->isRunning();
}

bool RfcIndexUpdater::updateIfDue(const QString &libraryFolder)
{
    const QString path = indexPath(libraryFolder);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // A failed attempt leaves the file as it was, yet counts: offline, the
    // index is not asked for on every document opened.
    QDateTime lastUpdate = QFileInfo(path).lastModified();
    if (m_lastAttemptPath == path && (!lastUpdate.isValid() || m_lastAttempt > lastUpdate))
        lastUpdate = m_lastAttempt;
    if (isRunning() || !isDue(lastUpdate, now))
        return false;
    m_lastAttempt = now;
    m_lastAttemptPath = path;
    return m_download->start(m_indexUrl, path);
}

void RfcIndexUpdater::cancel()
{
    m_download->cancel();
}
