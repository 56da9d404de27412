#include "filedownload.h"

#include "bodyinflater.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

namespace {

bool isHtmlContentType(const QString &contentType)
{
    const QString type = contentType.section(u';', 0, 0).trimmed();
    return type.compare(u"text/html", Qt::CaseInsensitive) == 0
        || type.compare(u"application/xhtml+xml", Qt::CaseInsensitive) == 0;
}

// An error page served with status 200 and a text type still starts like one.
bool startsLikeHtml(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    head = head.trimmed();
    const auto startsWith = [head](QByteArrayView tag) {
        return head.size() >= tag.size() && head.first(tag.size()).compare(tag, Qt::CaseInsensitive) == 0;
    };
    return startsWith("<!doctype html") || startsWith("<html");
}

QString tooLargeReason()
{
    return QStringLiteral("the document is larger than %1 MB").arg(FileDownload::MaxBytes / (1024 * 1024));
}

QString damagedReason()
{
    return QStringLiteral("the compressed document is damaged");
}

bool isWebAddress(const QUrl &url)
{
    return url.scheme() == u"http" || url.scheme() == u"https";
}

constexpr int NotModifiedStatus = 304;

bool isRedirectStatus(int status)
{
    return status >= 300 && status < 400;
}

QString webPageReason()
{
    return QStringLiteral("the server sent a web page, not a text document");
}

QString describeDuration(std::chrono::milliseconds duration)
{
    if (duration.count() % 1000 == 0)
        return QStringLiteral("%1 seconds").arg(duration.count() / 1000);
    return QStringLiteral("%1 ms").arg(duration.count());
}

} // namespace

FileDownload::FileDownload(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
    , m_timer(new QTimer(this))
    , m_deadline(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(DefaultTimeout);
    connect(m_timer, &QTimer::timeout, this, &FileDownload::onTimeout);
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(DefaultDeadline);
    connect(m_deadline, &QTimer::timeout, this, &FileDownload::onDeadline);
}

QString FileDownload::failureMessage(const QUrl &url, const QString &reason)
{
    return QStringLiteral("Could not fetch %1: %2").arg(url.toDisplayString(), reason);
}

FileDownload::~FileDownload()
{
    stop();
}

void FileDownload::setTimeout(std::chrono::milliseconds timeout)
{
    m_timer->setInterval(timeout);
}

void FileDownload::setDeadline(std::chrono::milliseconds deadline)
{
    m_deadline->setInterval(deadline);
}

void FileDownload::setBodyCheck(BodyCheck check)
{
    m_check = std::move(check);
}

bool FileDownload::start(const QUrl &url, const QString &targetPath, const QDateTime &ifModifiedSince)
{
    if (isRunning())
        return false;
    m_url = url;
    m_targetPath = targetPath;
    m_conditional = ifModifiedSince.isValid();
    m_head.clear();
    m_received = 0;
    m_expectedBytes = -1;
    m_inflater.reset();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    // Asked for by name, a compressed body is left to this object to
    // inflate, within MaxBytes.
    request.setRawHeader("Accept-Encoding", "gzip, deflate");
    if (m_conditional)
        request.setHeader(QNetworkRequest::IfModifiedSinceHeader, ifModifiedSince);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &FileDownload::onMetaDataChanged);
    connect(m_reply, &QNetworkReply::readyRead, this, &FileDownload::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &FileDownload::onFinished);
    m_timer->start();
    m_deadline->start();
    return true;
}

void FileDownload::cancel()
{
    stop();
}

void FileDownload::stop()
{
    m_timer->stop();
    m_deadline->stop();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset();
    }
}

void FileDownload::fail(Failure failure, const QString &reason)
{
    stop();
    emit failed(failure, reason);
}

bool FileDownload::isSuccessStatus() const
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status < 300;
}

void FileDownload::onMetaDataChanged()
{
    m_timer->start();
    if (!isSuccessStatus())
        return;
    if (isHtmlContentType(m_reply->header(QNetworkRequest::ContentTypeHeader).toString())) {
        fail(Failure::Other, webPageReason());
        return;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > MaxBytes) {
        fail(Failure::Other, tooLargeReason());
        return;
    }
    const QByteArray encoding = m_reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (encoding == "gzip" || encoding == "x-gzip" || encoding == "deflate") {
        m_inflater = std::make_unique<BodyInflater>(MaxBytes);
    } else if (!encoding.isEmpty() && encoding != "identity") {
        fail(Failure::Other, QStringLiteral("the server sent the document in an encoding this program cannot read (%1)")
                                 .arg(QString::fromLatin1(encoding)));
        return;
    }
    // A compressed body grows past its Content-Length once inflated.
    m_expectedBytes = length.isValid() && !m_inflater ? length.toLongLong() : -1;
}

void FileDownload::onReadyRead()
{
    m_timer->start();
    QByteArray data = m_reply->readAll();
    // An error page is not kept; onFinished reports the status.
    if (!isSuccessStatus())
        return;
    if (m_inflater) {
        QByteArray inflated;
        switch (m_inflater->feed(data, &inflated)) {
        case BodyInflater::Result::Ok:
            break;
        case BodyInflater::Result::TooLarge:
            fail(Failure::Other, tooLargeReason() + QStringLiteral(" once decompressed"));
            return;
        case BodyInflater::Result::Damaged:
            fail(Failure::Other, damagedReason());
            return;
        }
        data = std::move(inflated);
    }
    m_received += data.size();
    if (m_received > MaxBytes) {
        fail(Failure::Other, tooLargeReason());
        return;
    }
    if (data.contains('\0')) {
        fail(Failure::Other, QStringLiteral("the document is not text"));
        return;
    }
    if (m_head.size() < HeadBytes)
        m_head += data.first(std::min(data.size(), HeadBytes - m_head.size()));
    writeChunk(data);
    if (isRunning())
        emit progress(m_received, m_expectedBytes);
}

void FileDownload::writeChunk(const QByteArray &data)
{
    if (!m_file) {
        QDir().mkpath(QFileInfo(m_targetPath).absolutePath());
        m_file = std::make_unique<QSaveFile>(m_targetPath);
        if (!m_file->open(QIODevice::WriteOnly)) {
            failWriting();
            return;
        }
    }
    if (m_file->write(data) != data.size())
        failWriting();
}

void FileDownload::failWriting()
{
    fail(Failure::Other,
         QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(m_targetPath), m_file->errorString()));
}

QString FileDownload::refusedRedirect() const
{
    if (m_reply->error() == QNetworkReply::TooManyRedirectsError)
        return QStringLiteral("too many redirects");
    const QUrl target = m_reply->url().resolved(QUrl::fromEncoded(m_reply->rawHeader("Location")));
    if (!isWebAddress(target))
        return QStringLiteral("the redirect to %1 was refused, as it is not an http or https address")
            .arg(target.toDisplayString());
    return {};
}

void FileDownload::onFinished()
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == NotModifiedStatus && m_conditional) {
        stop();
        emit unchanged();
        return;
    }
    if (isRedirectStatus(status)) {
        if (const QString reason = refusedRedirect(); !reason.isEmpty()) {
            fail(Failure::Other, reason);
            return;
        }
    }
    if (status != 0 && !isSuccessStatus()) {
        const QString phrase = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        const QString reason = QStringLiteral("the server replied %1 %2").arg(status).arg(phrase).trimmed();
        fail(status == 404 || status == 410 ? Failure::NotFound : Failure::Other, reason);
        return;
    }
    if (m_reply->error() == QNetworkReply::RemoteHostClosedError) {
        fail(Failure::Other, QStringLiteral("the transfer was cut short"));
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(Failure::Other, m_reply->errorString());
        return;
    }
    // Whatever is left once the reply finished, before it is judged.
    if (m_reply->bytesAvailable() > 0) {
        onReadyRead();
        if (!isRunning())
            return;
    }
    if (m_inflater && !m_inflater->isComplete()) {
        fail(Failure::Other, damagedReason());
        return;
    }
    if (m_received == 0) {
        fail(Failure::Other, QStringLiteral("the document is empty"));
        return;
    }
    if (startsLikeHtml(m_head)) {
        fail(Failure::Other, webPageReason());
        return;
    }
    if (m_check) {
        if (const QString reason = m_check(m_head); !reason.isEmpty()) {
            fail(Failure::Other, reason);
            return;
        }
    }
    if (!m_file->commit()) {
        failWriting();
        return;
    }
    const QString path = m_targetPath;
    stop();
    emit finished(path);
}

void FileDownload::onTimeout()
{
    fail(Failure::Other, QStringLiteral("no data for %1").arg(describeDuration(m_timer->intervalAsDuration())));
}

void FileDownload::onDeadline()
{
    fail(Failure::Other,
         QStringLiteral("the transfer took longer than %1").arg(describeDuration(m_deadline->intervalAsDuration())));
}
