#include "erratasource.h"

#include "dailydownload.h"
#include "filedownload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace {

// Spares the disk an error page or anything else that cannot be the list;
// what passes is still parsed before it replaces the stored copy.
QString jsonArrayCheck(QByteArrayView head)
{
    return head.trimmed().startsWith('[') ? QString()
                                          : QStringLiteral("the server sent something other than a list of errata");
}

} // namespace

ErrataSource::ErrataSource(QObject *parent)
    : QObject(parent), m_download(new DailyDownload(FileName.toString(), QUrl(DefaultUrl.toString()), this))
{
    m_download->setStaged(true);
    m_download->setBodyCheck(jsonArrayCheck);
    connect(m_download, &DailyDownload::updated, this, [this](const QString &path) { parse({path, true}); });
    connect(m_download, &DailyDownload::failed, this, &ErrataSource::failed);
    connect(&m_watcher, &QFutureWatcher<Parsed>::finished, this, &ErrataSource::onParsed);
}

ErrataSource::~ErrataSource()
{
    // Only then: a future whose result was taken never reports finished.
    if (m_running)
        m_watcher.waitForFinished();
}

void ErrataSource::setUrl(const QUrl &url)
{
    m_download->setUrl(url);
}

void ErrataSource::setFolder(const QString &folder)
{
    m_folder = folder;
}

void ErrataSource::refresh()
{
    loadStored();
    m_download->updateIfDue(m_folder);
}

void ErrataSource::loadStored()
{
    if (std::exchange(m_storedRequested, true))
        return;
    const QString path = m_download->path(m_folder);
    // Not fetched yet: nothing to report.
    if (QFileInfo::exists(path))
        parse({path, false});
}

QList<Erratum> ErrataSource::errataOf(int rfc) const
{
    return m_list.errataOf(rfc);
}

ErrataSource::Parsed ErrataSource::parseFile(const QString &path)
{
    Parsed parsed;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        parsed.error = file.errorString();
        return parsed;
    }
    const QByteArray json = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        parsed.error = file.errorString();
        return parsed;
    }
    parsed.list = ErrataList::parse(json, &parsed.error);
    // The real list holds thousands; none at all is a changed or broken format.
    if (parsed.error.isEmpty() && parsed.list.isEmpty())
        parsed.error = QStringLiteral("it holds no errata");
    parsed.damaged = !parsed.error.isEmpty();
    return parsed;
}

void ErrataSource::parse(const Parse &job)
{
    if (m_running) {
        m_waiting = job;
        return;
    }
    m_running = job;
    m_watcher.setFuture(QtConcurrent::run(&ErrataSource::parseFile, job.path));
}

void ErrataSource::onParsed()
{
    const Parse done = *std::exchange(m_running, std::nullopt);
    Parsed parsed = m_watcher.future().takeResult();
    if (!parsed.error.isEmpty()) {
        // A damaged copy goes: the next fetch then asks for a whole copy,
        // not for one newer than the damaged file. One that could not be
        // read (a permission, a disk) stays for the next run.
        if (parsed.damaged || done.fetched)
            QFile::remove(done.path);
        emit failed(done.fetched ? FileDownload::failureMessage(m_download->url(),
                                                                QStringLiteral("the errata list does not read: %1")
                                                                    .arg(parsed.error))
                                 : QStringLiteral("Could not read %1: %2")
                                       .arg(QDir::toNativeSeparators(done.path), parsed.error));
    } else {
        QString error;
        if (done.fetched && !m_download->keepStaged(m_folder, &error)) {
            QFile::remove(done.path);
            emit failed(QStringLiteral("Could not keep the errata list: %1").arg(error));
        }
        m_list = std::move(parsed.list);
        m_loaded = true;
        emit errataChanged();
    }
    if (m_waiting)
        parse(*std::exchange(m_waiting, std::nullopt));
}
