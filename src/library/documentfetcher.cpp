#include "documentfetcher.h"

#include "documentname.h"
#include "filedownload.h"

#include <QDir>
#include <QRegularExpression>

namespace {

QUrl asFolder(QUrl url)
{
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

// The number the first page's "Request for Comments: N" gives, or 0 for a
// header without that line, as many old ones are.
int numberInHeader(QByteArrayView head)
{
    static const QRegularExpression line(QStringLiteral("^[ \\t]*Request for Comments:[ \\t]*(\\d+)"),
                                         QRegularExpression::MultilineOption
                                             | QRegularExpression::CaseInsensitiveOption);
    const qsizetype pageEnd = head.indexOf('\f');
    const QString firstPage = QString::fromLatin1(pageEnd < 0 ? head : head.first(pageEnd));
    const QRegularExpressionMatch match = line.match(firstPage);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

DocumentFetcher::DocumentFetcher(QObject *parent)
    : QObject(parent)
    , m_download(new FileDownload(this))
    , m_rfcBaseUrl(DefaultRfcBaseUrl.toString())
    , m_draftBaseUrl(DefaultDraftBaseUrl.toString())
{
    connect(m_download, &FileDownload::progress, this, &DocumentFetcher::progress);
    connect(m_download, &FileDownload::finished, this, &DocumentFetcher::finished);
    connect(m_download, &FileDownload::failed, this, [this](FileDownload::Failure failure, const QString &reason) {
        const QUrl &url = m_download->url();
        const QString message = failure == FileDownload::Failure::NotFound
            ? QStringLiteral("%1 was not found at %2").arg(m_displayName, url.toDisplayString())
            : FileDownload::failureMessage(url, reason);
        emit failed(message);
    });
}

DocumentFetcher::~DocumentFetcher() = default;

void DocumentFetcher::setRfcBaseUrl(const QUrl &url)
{
    m_rfcBaseUrl = asFolder(url);
}

void DocumentFetcher::setDraftBaseUrl(const QUrl &url)
{
    m_draftBaseUrl = asFolder(url);
}

void DocumentFetcher::setTimeout(std::chrono::milliseconds timeout)
{
    m_download->setTimeout(timeout);
}

void DocumentFetcher::setDeadline(std::chrono::milliseconds deadline)
{
    m_download->setDeadline(deadline);
}

QUrl DocumentFetcher::urlFor(const DocumentName &name) const
{
    const QString fileName = name.downloadFileName();
    if (fileName.isEmpty())
        return {};
    const QUrl &base = name.kind() == DocumentName::Kind::Draft ? m_draftBaseUrl : m_rfcBaseUrl;
    return base.resolved(QUrl(fileName));
}

bool DocumentFetcher::isRunning() const
{
    return m_download->isRunning();
}

bool DocumentFetcher::fetch(const DocumentName &name, const QString &libraryFolder)
{
    const QUrl url = urlFor(name);
    if (url.isEmpty() || isRunning())
        return false;
    m_displayName = name.displayName();
    FileDownload::BodyCheck check;
    if (name.kind() == DocumentName::Kind::Rfc) {
        check = [asked = name.number()](QByteArrayView head) {
            const int found = numberInHeader(head);
            return found == 0 || found == asked
                ? QString()
                : QStringLiteral("the server sent RFC %1 instead of RFC %2").arg(found).arg(asked);
        };
    }
    m_download->setBodyCheck(std::move(check));
    return m_download->start(url, QDir(libraryFolder).filePath(name.downloadFileName()));
}

void DocumentFetcher::cancel()
{
    m_download->cancel();
}
