#include "documentname.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr QStringView TxtSuffix = u".txt";
constexpr QStringView DraftPrefix = u"draft-";
// Room for a draft name, its revision and ".txt"; anything longer is refused
// before it is copied.
constexpr qsizetype MaxInputLength = DocumentName::MaxDraftNameLength + 7;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isDraftCharacter(QChar c)
{
    return isAsciiDigit(c) || (c >= u'a' && c <= u'z') || c == u'-';
}

// The value of 1 to MaxNumberDigits ASCII digits, or 0 when text is anything else.
int parseNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > DocumentName::MaxNumberDigits)
        return 0;
    int number = 0;
    for (QChar c : text) {
        if (!isAsciiDigit(c))
            return 0;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number;
}

// Splits "draft-a-b-34" into ("draft-a-b", 34); a name whose last part is not
// two digits has no revision.
std::pair<QStringView, int> splitRevision(QStringView name)
{
    const qsizetype dash = name.lastIndexOf(u'-');
    const QStringView last = name.mid(dash + 1);
    const QStringView rest = name.left(dash);
    // "draft-34" is a name, not the revision of "draft".
    if (last.size() == 2 && isAsciiDigit(last[0]) && isAsciiDigit(last[1]) && rest.size() > DraftPrefix.size())
        return {rest, parseNumber(last)};
    return {name, DocumentName::NoRevision};
}

} // namespace

DocumentName::DocumentName(Kind kind, int number, QString draftName, int revision)
    : m_kind(kind), m_number(number), m_draftName(std::move(draftName)), m_revision(revision)
{
}

std::optional<DocumentName> DocumentName::parse(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > MaxInputLength)
        return std::nullopt;
    for (QChar c : text) {
        if (c.unicode() > 0x7f)
            return std::nullopt;
    }
    const QString lower = text.toString().toLower();
    QStringView name = lower;
    if (name.endsWith(TxtSuffix))
        name.chop(TxtSuffix.size());

    if (name.startsWith(DraftPrefix)) {
        for (QChar c : name) {
            if (!isDraftCharacter(c))
                return std::nullopt;
        }
        if (name.endsWith(u'-') || name.contains(u"--"))
            return std::nullopt;
        const auto [base, revision] = splitRevision(name);
        if (base.size() > MaxDraftNameLength)
            return std::nullopt;
        return DocumentName(Kind::Draft, 0, base.toString(), revision);
    }

    struct Prefix
    {
        QStringView text;
        Kind kind;
    };
    static constexpr std::array<Prefix, 3> Prefixes = {{
        {u"rfc", Kind::Rfc},
        {u"bcp", Kind::Bcp},
        {u"std", Kind::Std},
    }};
    Kind kind = Kind::Rfc;
    for (const Prefix &prefix : Prefixes) {
        if (name.startsWith(prefix.text)) {
            kind = prefix.kind;
            name = name.mid(prefix.text.size()).trimmed();
            break;
        }
    }
    const int number = parseNumber(name);
    if (number == 0)
        return std::nullopt;
    return DocumentName(kind, number, {}, NoRevision);
}

QString DocumentName::leadingRfcDigits(QStringView text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(?:RFC\\s*(\\d+)\\b|(\\d+)\\s*$)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = number.match(text.toString());
    return match.hasMatch() ? match.captured(1) + match.captured(2) : QString();
}

std::optional<DocumentName> DocumentName::ofFile(QStringView fileName, QStringView text)
{
    const QString lowerFile = fileName.toString().toLower();
    if (lowerFile.startsWith(u"rfc") || lowerFile.startsWith(DraftPrefix)) {
        const std::optional<DocumentName> name = parse(fileName);
        if (name && (name->kind() == Kind::Rfc || name->kind() == Kind::Draft))
            return name;
    }
    // The header and title block fill the first page's first lines.
    constexpr int HeaderLines = 60;
    static const QRegularExpression rfcLine(
        QStringLiteral("\\bRequest for Comments:\\s*(\\d{1,5})\\b"), QRegularExpression::CaseInsensitiveOption);
    // The oldest RFCs open with "RFC 768" and the author.
    static const QRegularExpression openingRfc(QStringLiteral("^\\s*RFC\\s+(\\d{1,5})(?:\\s{2,}|$)"));
    static const QRegularExpression draftLine(
        QStringLiteral("^\\s*<?(draft-[a-z0-9-]+-\\d\\d)(?:\\.txt)?>?\\s*$"), QRegularExpression::CaseInsensitiveOption);
    std::optional<DocumentName> draft;
    bool opening = true;
    int lineNumber = 0;
    for (qsizetype start = 0; start < text.size() && lineNumber < HeaderLines; ++lineNumber) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        // A header line is short; a file of one huge line is no RFC.
        constexpr qsizetype LongestHeaderLine = 200;
        const QStringView line = text.mid(start, std::min(end - start, LongestHeaderLine));
        start = end + 1;
        if (line.trimmed().isEmpty())
            continue;
        QRegularExpressionMatch match = rfcLine.match(line);
        if (!match.hasMatch() && std::exchange(opening, false))
            match = openingRfc.match(line);
        if (const int number = match.hasMatch() ? parseNumber(match.capturedView(1)) : 0)
            return rfc(number);
        if (!draft)
            if (match = draftLine.match(line); match.hasMatch())
                draft = parse(match.capturedView(1));
    }
    return draft;
}

bool DocumentName::reaches(const DocumentName &other) const
{
    if (m_kind == Kind::Draft && other.m_kind == Kind::Draft && !hasRevision())
        return m_draftName == other.m_draftName;
    return *this == other;
}

DocumentName DocumentName::rfc(int number)
{
    Q_ASSERT(number > 0 && number <= 99999);
    return DocumentName(Kind::Rfc, number, {}, NoRevision);
}

DocumentName DocumentName::withRevision(int revision) const
{
    Q_ASSERT(m_kind == Kind::Draft && revision >= 0 && revision <= 99);
    return DocumentName(m_kind, 0, m_draftName, revision);
}

QString DocumentName::displayName() const
{
    switch (m_kind) {
    case Kind::Rfc:
        return QStringLiteral("RFC %1").arg(m_number);
    case Kind::Bcp:
        return QStringLiteral("BCP %1").arg(m_number);
    case Kind::Std:
        return QStringLiteral("STD %1").arg(m_number);
    case Kind::Draft:
        break;
    }
    return hasRevision() ? QStringLiteral("%1-%2").arg(m_draftName).arg(m_revision, 2, 10, QChar(u'0')) : m_draftName;
}

QStringList DocumentName::localFileNames() const
{
    if (m_kind == Kind::Rfc && m_number < 1000)
        return {downloadFileName(), QStringLiteral("rfc%1.txt").arg(m_number, 4, 10, QChar(u'0'))};
    const QString name = downloadFileName();
    return name.isEmpty() ? QStringList() : QStringList(name);
}

QString DocumentName::downloadFileName() const
{
    switch (m_kind) {
    case Kind::Rfc:
        return QStringLiteral("rfc%1.txt").arg(m_number);
    case Kind::Draft:
        return hasRevision() ? displayName().append(TxtSuffix) : QString();
    case Kind::Bcp:
    case Kind::Std:
        break;
    }
    return {};
}
