#include "documentaddress.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <array>

namespace {

bool isDocumentHost(const QString &host)
{
    static constexpr std::array<QStringView, 6> Hosts = {
        u"rfc-editor.org", u"www.rfc-editor.org", u"datatracker.ietf.org",
        u"ietf.org",       u"www.ietf.org",       u"tools.ietf.org",
    };
    return std::find(Hosts.begin(), Hosts.end(), host) != Hosts.end();
}

// "rfc9293", "rfc9293.txt", "draft-a-b-05.html": a bare number is a page of
// some other kind on these sites.
std::optional<DocumentName> documentOf(QString segment)
{
    static const QRegularExpression extension(QStringLiteral("\\.(txt|html|pdf)$"));
    segment.remove(extension);
    if (!segment.startsWith(u"rfc") && !segment.startsWith(u"draft-"))
        return std::nullopt;
    std::optional<DocumentName> name = DocumentName::parse(segment);
    if (name && name->kind() != DocumentName::Kind::Rfc && name->kind() != DocumentName::Kind::Draft)
        return std::nullopt;
    return name;
}

// The segment that names the document in the paths these sites use, or
// empty for any other path.
QString documentSegment(const QStringList &path)
{
    const auto is = [&path](std::initializer_list<QStringView> prefix) {
        if (qsizetype(prefix.size()) + 1 != path.size())
            return false;
        return std::equal(prefix.begin(), prefix.end(), path.begin());
    };
    if (is({u"rfc"}) || is({u"info"}) || is({u"html"}) || is({u"doc"}) || is({u"doc", u"html"})
        || is({u"archive", u"id"}) || is({u"id"}) || is({u"internet-drafts"}))
        return path.last();
    return {};
}

QString sectionOf(const QString &fragment)
{
    static const QRegularExpression anchor(
        QStringLiteral("^(?:section|appendix)-([0-9A-Za-z]+(?:\\.[0-9A-Za-z]+)*)\\.?$"));
    const QRegularExpressionMatch match = anchor.match(fragment);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

std::optional<DocumentAddress> parseDocumentAddress(const QUrl &url)
{
    if ((url.scheme() != u"https" && url.scheme() != u"http") || !isDocumentHost(url.host()))
        return std::nullopt;
    const QStringList path = url.path().toLower().split(u'/', Qt::SkipEmptyParts);
    const QString segment = documentSegment(path);
    if (segment.isEmpty())
        return std::nullopt;
    const std::optional<DocumentName> name = documentOf(segment);
    if (!name)
        return std::nullopt;
    return DocumentAddress{*name, sectionOf(url.fragment())};
}

QString documentAddressUrl(const DocumentName &name, const QString &section)
{
    QString address;
    if (name.kind() == DocumentName::Kind::Rfc)
        address = QStringLiteral("https://www.rfc-editor.org/rfc/rfc%1").arg(name.number());
    else if (name.kind() == DocumentName::Kind::Draft && name.hasRevision())
        address = QStringLiteral("https://datatracker.ietf.org/doc/html/") + name.displayName();
    if (address.isEmpty() || section.isEmpty())
        return address;
    const bool appendix = section.front().isLetter();
    return address + (appendix ? QStringLiteral("#appendix-") : QStringLiteral("#section-")) + section;
}
