#include "linkfinder.h"

#include "rfclayout.h"
#include "textchars.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

// Two passes over the text. The layout pass reads it line by line for what
// only whole lines tell: page headers and footers, the table of contents and
// the References section (whose entries tags must know before the text cites
// them). The link pass then scans the rest, trying a match only where a word
// begins with the first two characters of a link; that keeps it fast enough
// to run on every open of a megabyte-sized document.

namespace {

using RfcLayout::isBlankChar;
using RfcLayout::withoutBlanks;
using TextChars::isDigit;

using Pos = qsizetype;

bool isUpper(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isLower(QChar c)
{
    return c >= u'a' && c <= u'z';
}

bool isWordChar(QChar c)
{
    if (c.unicode() < 128)
        return isDigit(c) || isUpper(c) || isLower(c);
    return c.isLetterOrNumber();
}

bool hasAt(QStringView text, Pos pos, QStringView s)
{
    return pos <= text.size() && text.sliced(pos).startsWith(s);
}

// The whole word at pos, not the start of a longer one.
bool wordAt(QStringView text, Pos pos, QStringView word)
{
    const Pos end = pos + word.size();
    return hasAt(text, pos, word) && (end == text.size() || !isWordChar(text[end]));
}

// Past the blanks at pos and at most one line end with the next line's
// indentation: the words of a reference may be split across two lines, not
// across a paragraph.
Pos skipSpace(QStringView text, Pos pos)
{
    const Pos n = text.size();
    while (pos < n && isBlankChar(text[pos]))
        ++pos;
    if (pos < n && text[pos] == u'\n') {
        ++pos;
        while (pos < n && isBlankChar(text[pos]))
            ++pos;
    }
    return pos;
}

struct Span
{
    Pos start = 0;
    Pos end = 0;
};

// A document name found in the text, and where its text ends.
struct Name
{
    Pos end = 0;
    QString name;
};

// "RFC 2119", "RFC2119", "RFC-2119" or "RFC\n   2119" at pos, named "RFC2119".
std::optional<Name> rfcAt(QStringView text, Pos pos)
{
    if (!hasAt(text, pos, u"RFC"))
        return {};
    Pos p = pos + 3;
    if (p < text.size() && text[p] == u'-')
        ++p;
    else
        p = skipSpace(text, p);
    const Pos digits = p;
    while (p < text.size() && isDigit(text[p]))
        ++p;
    if (p == digits || p - digits > 5 || (p < text.size() && isWordChar(text[p])))
        return {};
    Pos significant = digits; // "RFC0791" in DOIs is RFC791
    while (significant + 1 < p && text[significant] == u'0')
        ++significant;
    return Name{p, QStringLiteral("RFC") + text.sliced(significant, p - significant).toString()};
}

// The RFC a citation tag names by itself, "[RFC2119]", or an empty string.
QString rfcNamedBy(QStringView tag)
{
    const auto rfc = rfcAt(tag, 1);
    return rfc && rfc->end == tag.size() - 1 ? rfc->name : QString();
}

bool isTagChar(QChar c)
{
    return (c.unicode() < 128 && isWordChar(c)) || QStringView(u"-._/+&").contains(c);
}

// The end of a citation tag ("[34]", "[QUIC-TLS]") at pos, or pos when there
// is none. "[Page 12]" has a blank, "x[4]" is an index, not a citation.
Pos tagEnd(QStringView text, Pos pos)
{
    constexpr Pos MaxTagLength = 64;
    if (pos >= text.size() || text[pos] != u'[')
        return pos;
    for (Pos p = pos + 1; p < text.size() && p - pos <= MaxTagLength; ++p) {
        if (text[p] == u']')
            return p > pos + 1 ? p + 1 : pos;
        if (!isTagChar(text[p]))
            return pos;
    }
    return pos;
}

// The end of a section number at pos ("3", "3.2", "A.1", and "A" where a bare
// letter is allowed), or pos when there is none. A final dot is left out: it
// ends the sentence or the heading label.
Pos sectionNumberEnd(QStringView text, Pos pos, bool bareLetter)
{
    const Pos n = text.size();
    Pos p = pos;
    const auto dottedDigits = [&] { return p + 1 < n && text[p] == u'.' && isDigit(text[p + 1]); };
    if (p < n && isUpper(text[p])) {
        ++p;
        if (!bareLetter && !dottedDigits())
            return pos;
    } else if (p < n && isDigit(text[p])) {
        while (p < n && isDigit(text[p]))
            ++p;
    } else {
        return pos;
    }
    while (dottedDigits()) {
        p += 2;
        while (p < n && isDigit(text[p]))
            ++p;
    }
    // "3a", "A1" and "4.e" are not section numbers.
    if (p < n && isWordChar(text[p]))
        return pos;
    if (p + 1 < n && text[p] == u'.' && isWordChar(text[p + 1]))
        return pos;
    return p;
}

// The numbers of a phrase such as "Sections 3.2, 3.4, and 4.1" or
// "Appendix A" at pos; none when pos holds no such phrase.
std::vector<Span> sectionNumbersAt(QStringView text, Pos pos)
{
    static constexpr QStringView SectionWords[] = {u"ection", u"ections"};
    static constexpr QStringView AppendixWords[] = {u"ppendix", u"ppendices"};
    static constexpr QStringView Conjunctions[] = {u"and", u"or", u"through", u"to"};

    if (pos >= text.size())
        return {};
    const QChar initial = text[pos];
    const bool appendix = initial == u'A' || initial == u'a';
    if (!appendix && initial != u'S' && initial != u's')
        return {};
    Pos p = -1;
    for (QStringView rest : appendix ? AppendixWords : SectionWords) {
        if (wordAt(text, pos + 1, rest)) {
            p = pos + 1 + rest.size();
            break;
        }
    }
    if (p < 0)
        return {};

    std::vector<Span> numbers;
    p = skipSpace(text, p);
    for (Pos end = sectionNumberEnd(text, p, appendix); end > p; end = sectionNumberEnd(text, p, appendix)) {
        numbers.push_back({p, end});
        p = end;
        if (p < text.size() && text[p] == u',')
            ++p;
        bool separated = p > end;
        p = skipSpace(text, p);
        for (QStringView word : Conjunctions) {
            if (wordAt(text, p, word)) {
                p = skipSpace(text, p + word.size());
                separated = true;
                break;
            }
        }
        if (!separated)
            break;
    }
    return numbers;
}

// Past a title quoted after a section number, with the commas around it:
// `Section 5.8 ("Retry Packet Integrity") of`, `Section 5.2.2, "Context
// Creation Requests", in`; pos when there is none.
Pos afterQuotedTitle(QStringView text, Pos pos)
{
    constexpr Pos MaxTitleLength = 200;
    const Pos n = text.size();
    Pos p = skipSpace(text, pos);
    if (p < n && text[p] == u',')
        p = skipSpace(text, p + 1);
    const bool parenthesized = hasAt(text, p, u"(\"");
    if (parenthesized)
        ++p;
    if (p >= n || text[p] != u'"')
        return pos;
    const Pos close = text.sliced(p + 1, std::min(MaxTitleLength, n - p - 1)).indexOf(u'"');
    if (close < 0)
        return pos;
    p += close + 2;
    if (parenthesized) {
        if (p >= n || text[p] != u')')
            return pos;
        ++p;
    }
    if (p < n && text[p] == u',')
        ++p;
    return p;
}

// An Internet-Draft name at pos ("draft-ietf-quic-transport-34"), which may be
// broken after a hyphen at a line end.
std::optional<Name> draftAt(QStringView text, Pos pos)
{
    if (!hasAt(text, pos, u"draft-"))
        return {};
    const Pos n = text.size();
    const auto isNameChar = [&](Pos p) { return isLower(text[p]) || isDigit(text[p]) || text[p] == u'-'; };
    QString name;
    Pos p = pos;
    for (;;) {
        const Pos from = p;
        while (p < n && isNameChar(p))
            ++p;
        name += text.sliced(from, p - from);
        if (!name.endsWith(u'-') || p >= n || text[p] != u'\n')
            break;
        const Pos next = skipSpace(text, p);
        if (next >= n || text[next] == u'-' || !isNameChar(next))
            break;
        p = next;
    }
    while (name.endsWith(u'-')) {
        name.chop(1);
        --p;
    }
    // Every draft name has a source and a subject after "draft-".
    if (name.count(u'-') < 2 || (p < n && isWordChar(text[p])))
        return {};
    return Name{p, name};
}

Pos schemeEnd(QStringView text, Pos pos)
{
    for (QStringView scheme : {QStringView(u"https://"), QStringView(u"http://")}) {
        if (hasAt(text, pos, scheme))
            return pos + scheme.size();
    }
    return pos;
}

// A web address at pos up to the first blank, without the punctuation that
// usually follows one in a sentence.
std::optional<Name> urlAt(QStringView text, Pos pos)
{
    const Pos afterScheme = schemeEnd(text, pos);
    if (afterScheme == pos)
        return {};
    Pos p = afterScheme;
    while (p < text.size() && text[p].unicode() > u' ' && !QStringView(u"<>\"").contains(text[p]))
        ++p;
    QStringView url = text.sliced(pos, p - pos);
    while (url.size() > afterScheme - pos) {
        const QChar last = url.back();
        const bool unbalanced = (last == u')' && url.count(u'(') < url.count(u')'))
                || (last == u']' && url.count(u'[') < url.count(u']'));
        if (!unbalanced && !QStringView(u".,;:!?'").contains(last))
            break;
        url.chop(1);
    }
    if (url.size() == afterScheme - pos)
        return {};
    return Name{pos + url.size(), url.toString()};
}

// "<https://...>" at pos: the address may be broken across lines, and the
// line breaks are not part of it. Name::end is the position of the '>'.
std::optional<Name> bracketedUrlAt(QStringView text, Pos pos)
{
    constexpr Pos MaxUrlLength = 2000;
    const Pos start = pos + 1;
    if (schemeEnd(text, start) == start)
        return {};
    QString url;
    Pos p = start;
    while (p < text.size() && text[p] != u'>') {
        if (isBlankChar(text[p]) || text[p] == u'\n') {
            const Pos next = skipSpace(text, p);
            if (!text.sliced(p, next - p).contains(u'\n') || next >= text.size() || text[next] == u'\n')
                return {};
            p = next;
            continue;
        }
        url += text[p++];
        if (url.size() > MaxUrlLength)
            return {};
    }
    if (p >= text.size())
        return {};
    return Name{p, url};
}

LinkTarget sectionTarget(const QString &document, const QString &section)
{
    using Kind = LinkTarget::Kind;
    return {.kind = document.isEmpty() ? Kind::Section : Kind::RfcSection, .document = document, .section = section};
}

// "3.2" is a section, "A.1" an appendix.
QString partName(const QString &section)
{
    const bool appendix = !section.isEmpty() && isUpper(section.front());
    return (appendix ? QStringLiteral("Appendix ") : QStringLiteral("Section ")) + section;
}

// "RFC9110" as people write it: "RFC 9110".
QString spacedRfc(const QString &document)
{
    return document.first(3) + u' ' + document.sliced(3);
}

// What the layout pass finds. The link pass leaves the skipped text alone:
// page headers and footers, table of contents lines (one link each, in
// contents) and the tags that begin reference entries.
struct Layout
{
    std::vector<Span> skipped;
    std::vector<Link> contents;
    std::vector<ReferenceEntry> references;
};

// Arabic or lower-case Roman.
bool isPageNumberChar(QChar c)
{
    return isDigit(c) || c == u'i' || c == u'v' || c == u'x' || c == u'l' || c == u'c';
}

// The end of a table of contents title, before any leader dots and page
// number ("Introduction ........ 9", "Scope  . . . .  iv", "STATUS   6",
// "Dates.89"; but "HTTP/1.1" and "Version 2" end in their numbers).
Pos titleEnd(QStringView line)
{
    const auto isLeader = [](QChar c) { return c == u'.' || c == u' '; };
    Pos end = line.size();
    while (end > 0 && isBlankChar(line[end - 1]))
        --end;
    Pos number = end;
    while (number > 0 && isPageNumberChar(line[number - 1]))
        --number;
    const auto leaderAt = [&](Pos p) { return p >= 0 && isLeader(line[p]); };
    const bool afterLeaders = leaderAt(number - 1)
            && (leaderAt(number - 2) || (line[number - 1] == u'.' && number >= 2 && line[number - 2].isLetter()));
    if (number < end && afterLeaders) {
        end = number;
        while (end > 0 && isLeader(line[end - 1]))
            --end;
    }
    return end;
}

// "Foo ........ 12", "Foo . . . .  12": a line of a table of contents even
// where no title announces one.
bool hasLeaderDots(QStringView body)
{
    if (!isPageNumberChar(body.back()))
        return false; // most lines, at little cost
    const Pos end = titleEnd(body);
    if (end == body.size())
        return false;
    const QStringView leaders = body.sliced(end);
    return leaders.contains(u"..") || leaders.contains(u". .");
}

struct ContentsEntry
{
    Pos start = 0; // in the line
    Pos end = 0;
    QString section;
};

// A table of contents line: "  3.2.  Foo ..... 12", "Appendix A.  Notes",
// "APPENDIX B:  Data Transmission Order ..... 39".
std::optional<ContentsEntry> contentsEntry(QStringView line)
{
    const Pos n = line.size();
    Pos p = 0;
    while (p < n && isBlankChar(line[p]))
        ++p;
    const Pos start = p;
    const bool appendix = wordAt(line, p, u"Appendix") || wordAt(line, p, u"APPENDIX");
    if (appendix) {
        p += 8;
        while (p < n && isBlankChar(line[p]))
            ++p;
    }
    const Pos numberStart = p;
    p = sectionNumberEnd(line, p, appendix);
    if (p == numberStart)
        return {};
    const Pos numberEnd = p;
    if (p < n && (line[p] == u'.' || line[p] == u':'))
        ++p;
    if (p >= n || !isBlankChar(line[p]))
        return {};
    const Pos end = titleEnd(line);
    if (end <= p)
        return {};
    return ContentsEntry{start, end, line.sliced(numberStart, numberEnd - numberStart).toString()};
}

// A cheap test that rules out most lines before the titles are compared.
bool mayBeTitle(QStringView body, Pos maxLength)
{
    return body.size() <= maxLength && (body.back() == u's' || body.back() == u'S');
}

// "References", "8.1.  Normative References", "REFERENCES": the group of
// the entries below it, or none when the line is no such title.
std::optional<ReferenceEntry::Group> referencesTitle(QStringView body)
{
    using Group = ReferenceEntry::Group;
    static constexpr std::pair<QStringView, Group> Titles[] = {{u"References", Group::Unknown},
                                                               {u"Normative References", Group::Normative},
                                                               {u"Informative References", Group::Informative}};
    if (!mayBeTitle(body, 40))
        return std::nullopt;
    Pos p = sectionNumberEnd(body, 0, false);
    if (p < body.size() && body[p] == u'.')
        ++p;
    while (p < body.size() && isBlankChar(body[p]))
        ++p;
    const QStringView title = body.sliced(p);
    for (const auto &[text, group] : Titles)
        if (title.compare(text, Qt::CaseInsensitive) == 0)
            return group;
    return std::nullopt;
}

// The layout pass: reads the text line by line.
class LayoutReader
{
public:
    explicit LayoutReader(QStringView text)
        : m_text(text)
    {
    }

    Layout read()
    {
        Pos start = 0;
        while (start < m_text.size()) {
            Pos end = m_text.indexOf(u'\n', start);
            if (end < 0)
                end = m_text.size();
            readLine(start, m_text.sliced(start, end - start));
            start = end + 1;
        }
        return std::move(m_layout);
    }

private:
    void readLine(Pos start, QStringView line)
    {
        const QStringView body = withoutBlanks(line);
        if (body.isEmpty()) {
            m_inHeader = false;
            m_inEntry = false;
            return;
        }
        // A page break is a footer, blank lines, a form feed and a header
        // that runs to the next blank line.
        // Below an old left-hand footer ("[Page 2]   Postel") the links of
        // the header have always been found.
        if (RfcLayout::trailingFooterPage(body) >= 0) {
            m_layout.skipped.push_back({start, start + line.size()});
            m_afterFooter = true;
            return;
        }
        if (m_afterFooter || m_inHeader) {
            m_layout.skipped.push_back({start, start + line.size()});
            m_afterFooter = false;
            m_inHeader = true;
            return;
        }
        if (RfcLayout::contentsTitle(body) != RfcLayout::ContentsTitle::None) {
            m_inContents = true;
            m_firstContentsSection.clear();
            m_inReferences = false;
            return;
        }
        if (m_inContents ? readContentsLine(start, line, body) : readLeaderedLine(start, line, body))
            return;
        if (const std::optional<ReferenceEntry::Group> group = referencesTitle(body)) {
            m_inReferences = true;
            m_group = *group;
            m_inEntry = false;
            return;
        }
        if (m_inReferences)
            readReferencesLine(start, line, body);
    }

    // False when the line ends the table of contents and is ordinary text.
    bool readContentsLine(Pos start, QStringView line, QStringView body)
    {
        if (const auto entry = contentsEntry(line)) {
            // The first heading of the text repeats the first entry.
            if (entry->section == m_firstContentsSection) {
                m_inContents = false;
                return false;
            }
            if (m_firstContentsSection.isEmpty())
                m_firstContentsSection = entry->section;
            addContentsEntry(start, line, *entry);
            return true;
        }
        // Wrapped titles are indented, unnumbered entries have a page number.
        if (isBlankChar(line.front()) || titleEnd(body) < body.size())
            return true;
        m_inContents = false;
        return false;
    }

    // False when the line is not a contents entry with leader dots.
    bool readLeaderedLine(Pos start, QStringView line, QStringView body)
    {
        if (!hasLeaderDots(body))
            return false;
        const auto entry = contentsEntry(line);
        if (entry)
            addContentsEntry(start, line, *entry);
        return entry.has_value();
    }

    void addContentsEntry(Pos start, QStringView line, const ContentsEntry &entry)
    {
        m_layout.skipped.push_back({start, start + line.size()});
        m_layout.contents.push_back(
                {qint32(start + entry.start), qint32(entry.end - entry.start), sectionTarget({}, entry.section)});
    }

    void readReferencesLine(Pos start, QStringView line, QStringView body)
    {
        const Pos tagStart = start + (body.data() - line.data());
        const Pos afterTag = tagEnd(m_text, tagStart);
        const Pos lineEnd = start + line.size();
        if (afterTag > tagStart && (afterTag == lineEnd || isBlankChar(m_text[afterTag]))) {
            const QString tag = m_text.sliced(tagStart, afterTag - tagStart).toString();
            m_layout.references.push_back({tag, qint32(tagStart), {}, m_group});
            m_layout.skipped.push_back({tagStart, afterTag});
            m_inEntry = true;
            m_inTitle = false;
            m_entryRfcs = EntryRfcs::None;
        } else if (!isBlankChar(line.front())) {
            // The next heading.
            m_inReferences = false;
            m_inEntry = false;
            return;
        }
        if (!m_inEntry)
            return;
        for (Pos i = 0; i < line.size(); ++i) {
            if (line[i] == u'"')
                m_inTitle = !m_inTitle;
            else if (!m_inTitle && line[i] == u'R' && (i == 0 || !isWordChar(line[i - 1])))
                if (const auto rfc = rfcAt(m_text, start + i))
                    noteEntryRfc(rfc->name);
        }
    }

    // An entry names an RFC when it mentions just one outside its quoted
    // title ("Ambiguity of Uppercase vs Lowercase in RFC 2119 Key Words").
    void noteEntryRfc(const QString &rfc)
    {
        ReferenceEntry &entry = m_layout.references.back();
        if (m_entryRfcs == EntryRfcs::None) {
            entry.document = rfc;
            m_entryRfcs = EntryRfcs::One;
        } else if (m_entryRfcs == EntryRfcs::One && entry.document != rfc) {
            entry.document.clear();
            m_entryRfcs = EntryRfcs::Several;
        }
    }

    enum class EntryRfcs { None, One, Several };

    QStringView m_text;
    Layout m_layout;
    bool m_afterFooter = false;
    bool m_inHeader = false;
    bool m_inContents = false;
    QString m_firstContentsSection;
    bool m_inReferences = false;
    ReferenceEntry::Group m_group = ReferenceEntry::Group::Unknown;
    bool m_inEntry = false;
    bool m_inTitle = false;
    EntryRfcs m_entryRfcs = EntryRfcs::None;
};

// The first two characters of whatever can begin a link ("RFC", "Section",
// "section", "Appendix", "appendix", "draft-", "http", "<http" and "[" with
// anything after it), each folded to 7 bits: one look-up per character
// passes over nearly all text.
constexpr auto LinkStarts = [] {
    std::array<bool, 128 * 128> table{};
    for (std::string_view pair : {"RF", "Se", "se", "Ap", "ap", "dr", "ht", "<h"})
        table[size_t(pair[0]) * 128 + size_t(pair[1])] = true;
    for (size_t second = 0; second < 128; ++second)
        table[size_t('[') * 128 + second] = true;
    return table;
}();

// The link pass: finds links in running text.
class LinkScanner
{
public:
    LinkScanner(const std::vector<ReferenceEntry> &references, std::vector<Link> &links)
        : m_links(links)
    {
        for (const ReferenceEntry &entry : references)
            m_entriesByTag.push_back(&entry);
        std::stable_sort(m_entriesByTag.begin(), m_entriesByTag.end(),
                         [](const ReferenceEntry *a, const ReferenceEntry *b) { return a->tag < b->tag; });
    }

    // Adds the links of text from `from` on; none reaches past its end.
    void scan(QStringView text, Pos from)
    {
        m_text = text;
        const char16_t *chars = text.utf16();
        const auto startsLink = [&](Pos pos) {
            return LinkStarts[size_t(chars[pos] & 0x7f) * 128 + (chars[pos + 1] & 0x7f)];
        };
        const Pos last = text.size() - 1; // a link has two characters at least
        Pos pos = from;
        while (pos < last) {
            // Two at a time: one branch per pair of characters.
            while (pos + 1 < last && !(startsLink(pos) | startsLink(pos + 1)))
                pos += 2;
            while (pos < last && !startsLink(pos))
                ++pos;
            if (pos == last)
                break;
            const Pos end = pos == 0 || !isWordChar(chars[pos - 1]) ? matchAt(pos) : pos;
            pos = end > pos ? end : pos + 1;
        }
    }

private:
    // Adds the link that starts at pos, if any; returns the end of the text
    // it used, or pos.
    Pos matchAt(Pos pos)
    {
        switch (m_text[pos].unicode()) {
        case u'R':
            return matchRfc(pos);
        case u'[':
            return matchTag(pos);
        case u'd':
            return matchDraft(pos);
        case u'h':
            return matchUrl(pos);
        case u'<':
            return matchBracketedUrl(pos);
        default: // 'S', 's', 'A', 'a', or a character that only looks like one when folded
            return matchSections(pos);
        }
    }

    Pos matchRfc(Pos pos)
    {
        const auto rfc = rfcAt(m_text, pos);
        if (!rfc)
            return pos;
        // "RFC 2119, Section 3" is one link, and so is "RFC 5961 [9], Section 3".
        auto sections = sectionsAfterDocument(rfc->end);
        if (sections.empty()) {
            const Pos tag = skipSpace(m_text, rfc->end);
            const Pos afterTag = tagEnd(m_text, tag);
            if (afterTag > tag)
                sections = sectionsAfterDocument(afterTag);
        }
        if (sections.empty()) {
            addLink(pos, rfc->end, {.kind = LinkTarget::Kind::Rfc, .document = rfc->name});
            return rfc->end;
        }
        addSectionLinks(pos, sections, sections.back().end, rfc->name);
        return sections.back().end;
    }

    Pos matchTag(Pos pos)
    {
        const Pos end = tagEnd(m_text, pos);
        if (end == pos)
            return pos;
        const QStringView tag = m_text.sliced(pos, end - pos);
        const bool local = entry(tag) != nullptr;
        const LinkTarget reference{.kind = LinkTarget::Kind::Reference, .reference = tag.toString()};
        const auto sections = sectionsAfterDocument(end);
        if (!sections.empty()) {
            // "[23], Section 2.17": sections of the cited document, never of this one.
            const QString document = documentOfTag(tag);
            if (!document.isEmpty())
                addSectionLinks(pos, sections, sections.back().end, document);
            else if (local)
                addLink(pos, end, reference);
            return sections.back().end;
        }
        if (local)
            addLink(pos, end, reference);
        else if (const QString rfc = rfcNamedBy(tag); !rfc.isEmpty())
            addLink(pos, end, {.kind = LinkTarget::Kind::Rfc, .document = rfc});
        return end;
    }

    // "Section 3.2", "Sections 3.2 and 4", "Appendix A.1", "Section 3.2 of
    // RFC 9110", "Section 3.2 of [RFC9110]", "Section 4 of [QUIC-TLS]",
    // "Section 5.2.2, "Title", in [4]".
    Pos matchSections(Pos pos)
    {
        const auto numbers = sectionNumbersAt(m_text, pos);
        if (numbers.empty())
            return pos;
        const Pos end = numbers.back().end;
        const Pos word = skipSpace(m_text, afterQuotedTitle(m_text, end));
        const bool of = wordAt(m_text, word, u"of");
        if (of || wordAt(m_text, word, u"in")) {
            const Pos document = skipSpace(m_text, word + 2);
            if (const auto rfc = rfcAt(m_text, document)) {
                addSectionLinks(pos, numbers, rfc->end, rfc->name);
                return rfc->end;
            }
            const Pos afterTag = tagEnd(m_text, document);
            if (afterTag > document) {
                const QString rfc = documentOfTag(m_text.sliced(document, afterTag - document));
                if (rfc.isEmpty())
                    return document; // the tag may still lead to its reference entry
                addSectionLinks(pos, numbers, afterTag, rfc);
                return afterTag;
            }
            // A section of another document ("Section 6 of stringprep") is
            // not a link, though the document's name may be one.
            if (of && !wordAt(m_text, document, u"this"))
                return document;
        }
        addSectionLinks(pos, numbers, end, {});
        return end;
    }

    Pos matchDraft(Pos pos)
    {
        const auto draft = draftAt(m_text, pos);
        if (!draft)
            return pos;
        addLink(pos, draft->end, {.kind = LinkTarget::Kind::Draft, .document = draft->name});
        return draft->end;
    }

    Pos matchUrl(Pos pos)
    {
        const auto url = urlAt(m_text, pos);
        if (!url)
            return pos;
        addLink(pos, url->end, {.kind = LinkTarget::Kind::Url, .url = url->name});
        return url->end;
    }

    // When the address is not closed on the next lines, the scan goes on at
    // its 'h' as for an address without brackets.
    Pos matchBracketedUrl(Pos pos)
    {
        const auto url = bracketedUrlAt(m_text, pos);
        if (!url)
            return pos;
        addLink(pos + 1, url->end, {.kind = LinkTarget::Kind::Url, .url = url->name});
        return url->end + 1;
    }

    // The sections that follow a document reference ending at pos: "RFC 2119,
    // Section 3", "RFC 793's Section 3", "RFC 7657 (Sections 5.1 and 6)".
    std::vector<Span> sectionsAfterDocument(Pos pos) const
    {
        Pos p = pos;
        if (p < m_text.size() && m_text[p] == u',')
            ++p;
        else if (wordAt(m_text, p, u"'s"))
            p += 2;
        p = skipSpace(m_text, p);
        if (p < m_text.size() && m_text[p] == u'(')
            ++p;
        return sectionNumbersAt(m_text, p);
    }

    const ReferenceEntry *entry(QStringView tag) const
    {
        const auto it = std::lower_bound(m_entriesByTag.begin(), m_entriesByTag.end(), tag,
                                         [](const ReferenceEntry *e, QStringView t) { return QStringView(e->tag) < t; });
        return it != m_entriesByTag.end() && (*it)->tag == tag ? *it : nullptr;
    }

    // The RFC a tag stands for: the one it names, else the one its entry names.
    QString documentOfTag(QStringView tag) const
    {
        QString rfc = rfcNamedBy(tag);
        if (rfc.isEmpty()) {
            if (const ReferenceEntry *e = entry(tag))
                rfc = e->document;
        }
        return rfc;
    }

    // One link per section number. The first one's text begins at start (the
    // "Section" or "RFC" word), the last one's ends at end (after "of RFC 9110").
    void addSectionLinks(Pos start, const std::vector<Span> &numbers, Pos end, const QString &document)
    {
        for (size_t i = 0; i < numbers.size(); ++i) {
            const Span &number = numbers[i];
            const QString section = m_text.sliced(number.start, number.end - number.start).toString();
            addLink(i == 0 ? start : number.start, i + 1 == numbers.size() ? end : number.end,
                    sectionTarget(document, section));
        }
    }

    void addLink(Pos start, Pos end, LinkTarget target)
    {
        m_links.push_back({qint32(start), qint32(end - start), std::move(target)});
    }

    QStringView m_text;
    std::vector<const ReferenceEntry *> m_entriesByTag;
    std::vector<Link> &m_links;
};

} // namespace

QString LinkTarget::normalForm() const
{
    switch (kind) {
    case Kind::Rfc:
    case Kind::Draft:
        return document;
    case Kind::RfcSection:
        return document + u'#' + section;
    case Kind::Section:
        return QStringLiteral("#") + section;
    case Kind::Reference:
        return QStringLiteral("#") + reference;
    case Kind::Url:
        return url;
    }
    return {};
}

QString LinkTarget::description() const
{
    switch (kind) {
    case Kind::Rfc:
        return spacedRfc(document);
    case Kind::RfcSection:
        return spacedRfc(document) + QStringLiteral(", ") + partName(section);
    case Kind::Section:
        return partName(section);
    case Kind::Reference:
        return QStringLiteral("Reference ") + reference;
    case Kind::Draft:
        return QStringLiteral("Internet-Draft ") + document;
    case Kind::Url:
        return url;
    }
    return {};
}

std::vector<ReferenceEntry> findReferenceEntries(QStringView text)
{
    return LayoutReader(text).read().references;
}

std::vector<Link> findLinks(QStringView text)
{
    return findDocumentLinks(text).links;
}

DocumentLinks findDocumentLinks(QStringView text)
{
    Layout layout = LayoutReader(text).read();
    std::vector<Link> inText;
    LinkScanner scanner(layout.references, inText);
    Pos from = 0;
    for (const Span &skipped : layout.skipped) {
        scanner.scan(text.first(skipped.start), from);
        from = skipped.end;
    }
    scanner.scan(text, from);

    std::vector<Link> links;
    links.reserve(inText.size() + layout.contents.size());
    std::merge(inText.begin(), inText.end(), layout.contents.begin(), layout.contents.end(),
               std::back_inserter(links), [](const Link &a, const Link &b) { return a.start < b.start; });
    return {std::move(links), std::move(layout.references)};
}
