#include "dailydownload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

DailyDownload::DailyDownload(QString fileName, QUrl defaultUrl, QObject *parent)
    : QObject(parent), m_download(new FileDownload(this)), m_fileName(std::move(fileName)), m_url(std::move(defaultUrl))
{
    connect(m_download, &FileDownload::finished, this, &DailyDownload::updated);
    connect(m_download, &FileDownload::unchanged, this, [this] {
        // Dated now, the file is not asked for again for a day, in this
        // session or the next.
        QFile file(m_lastAttemptPath);
        if (file.open(QIODevice::ReadOnly))
            file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
        emit unchanged(m_lastAttemptPath);
    });
    connect(m_download, &FileDownload::failed, this, [this](FileDownload::Failure, const QString &reason) {
        emit failed(FileDownload::failureMessage(m_download->url(), reason));
    });
}

DailyDownload::~DailyDownload() = default;

void DailyDownload::setUrl(const QUrl &url)
{
    m_url = url;
}

void DailyDownload::setTimeout(std::chrono::milliseconds timeout)
{
    m_download->setTimeout(timeout);
}

void DailyDownload::setBodyCheck(FileDownload::BodyCheck check)
{
    m_download->setBodyCheck(std::move(check));
}

void DailyDownload::setStaged(bool staged)
{
    m_staged = staged;
}

QString DailyDownload::path(const QString &folder) const
{
    return QDir(folder).filePath(m_fileName);
}

QString DailyDownload::stagedPath(const QString &folder) const
{
    return path(folder) + QStringLiteral(".new");
}

bool DailyDownload::isDue(const QDateTime &lastUpdate, const QDateTime &now)
{
    if (!lastUpdate.isValid())
        return true;
    const auto since = std::chrono::seconds(lastUpdate.secsTo(now));
    return since >= UpdateInterval || since <= -UpdateInterval;
}

bool DailyDownload::isRunning() const
{
    return m_download->isRunning();
}

bool DailyDownload::updateIfDue(const QString &folder)
{
    const QString path = this->path(folder);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // A failed attempt leaves the file as it was, yet counts: offline, the
    // file is not asked for on every document opened.
    const QDateTime stored = QFileInfo(path).lastModified();
    QDateTime lastUpdate = stored;
    if (m_lastAttemptPath == path && (!lastUpdate.isValid() || m_lastAttempt > lastUpdate))
        lastUpdate = m_lastAttempt;
    if (isRunning() || !isDue(lastUpdate, now))
        return false;
    m_lastAttempt = now;
    m_lastAttemptPath = path;
    return m_download->start(m_url, m_staged ? stagedPath(folder) : path, stored);
}

void DailyDownload::cancel()
{
    m_download->cancel();
}

bool DailyDownload::keepStaged(const QString &folder, QString *error)
{
    // One step, so that no moment is left without a stored file.
    std::error_code failure;
    std::filesystem::rename(QFile(stagedPath(folder)).filesystemFileName(), QFile(path(folder)).filesystemFileName(),
                            failure);
    if (!failure)
        return true;
    *error = QStringLiteral("cannot replace %1: %2")
                 .arg(QDir::toNativeSeparators(path(folder)), QString::fromStdString(failure.message()));
    return false;
}
