#include "tableofcontents.h"

#include "rfclayout.h"
#include "sectionlabel.h"
#include "textchars.h"

#include <algorithm>
#include <numeric>

namespace {

using TextChars::isDigit;
using RfcLayout::footerPage;
using RfcLayout::isBlankChar;
using RfcLayout::isRunningHeader;

constexpr qsizetype MaxPageDigits = 6;

// Front matter is numbered in lower-case roman numerals ("iii").
bool isRomanDigit(QChar c)
{
    return c == u'i' || c == u'v' || c == u'x' || c == u'l' || c == u'c';
}

qsizetype indentOf(QStringView line)
{
    qsizetype indent = 0;
    while (indent < line.size() && isBlankChar(line[indent]))
        ++indent;
    return indent;
}

QStringView withoutTrailingBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlankChar(text.back()))
        text.chop(1);
    return text;
}

// A summary of chapters before the full table is none.
bool isContentsHeading(QStringView line)
{
    return RfcLayout::contentsTitle(line) == RfcLayout::ContentsTitle::Contents;
}

// The last line of the page break whose footer is at footer: the footer or
// the next page's running header.
int pageBreakEnd(std::span<const QStringView> lines, int footer)
{
    int next = footer + 1;
    while (next < int(lines.size()) && indentOf(lines[size_t(next)]) == lines[size_t(next)].size())
        ++next;
    return next < int(lines.size()) && isRunningHeader(lines[size_t(next)]) ? next : footer;
}

// A bare letter needs a wide gap: "A Note on ..." is a title, not appendix A.
bool isEntryLabel(const SectionLabel &label)
{
    return label.number.size() > 1 || isDigit(label.number[0]) || label.title.data() - label.number.data() >= 3;
}

} // namespace

TableOfContents TableOfContents::read(std::span<const QStringView> lines)
{
    TableOfContents toc;
    const auto heading = std::find_if(lines.begin(), lines.end(), isContentsHeading);
    if (heading == lines.end())
        return toc;
    const int first = int(heading - lines.begin());
    toc.m_firstLine = toc.m_lastLine = first + 1;
    const auto listed = [&toc](QStringView number) {
        return std::any_of(toc.m_entries.begin(), toc.m_entries.end(),
                           [number](const ContentsEntry &entry) { return entry.number == number; });
    };
    int open = -1; // the entry whose title may go on in the next line
    qsizetype openIndent = 0;
    for (int i = first + 1; i < int(lines.size()); ++i) {
        const QStringView line = lines[size_t(i)];
        const qsizetype indent = indentOf(line);
        if (indent == line.size())
            continue;
        if (footerPage(line) >= 0) {
            i = pageBreakEnd(lines, i);
            continue;
        }
        const QStringView text = withoutTrailingBlanks(line.sliced(indent));
        const std::optional<QStringView> paged = titleBeforePage(text);
        const QStringView entryText = paged.value_or(text);
        const std::optional<SectionLabel> label = readSectionLabel(entryText, LabelForms::WithBareLetter);
        if (label && isEntryLabel(*label)) {
            // The body starts over at the first section.
            if (listed(label->number))
                break;
            toc.m_entries.push_back({label->number.toString(), label->title.toString(), i + 1, -1});
            open = paged ? -1 : int(toc.m_entries.size()) - 1;
            openIndent = indent;
        } else if (open >= 0 && indent > openIndent) {
            QString &title = toc.m_entries[size_t(open)].title;
            title += u' ';
            title += entryText;
            if (paged)
                open = -1;
        } else if (paged) {
            open = -1; // an entry without a number
        } else {
            break;
        }
        toc.m_lastLine = i + 1;
    }

    std::vector<QStringView> numbers;
    numbers.reserve(toc.m_entries.size());
    toc.m_titleKeys.reserve(toc.m_entries.size());
    for (const ContentsEntry &entry : toc.m_entries) {
        numbers.push_back(entry.number);
        toc.m_titleKeys.push_back(titleKey(entry.title));
    }
    const std::vector<int> parents = enclosingNumbers(numbers);
    for (size_t index = 0; index < parents.size(); ++index)
        toc.m_entries[index].parent = parents[index];
    toc.m_byNumber.resize(toc.m_entries.size());
    std::iota(toc.m_byNumber.begin(), toc.m_byNumber.end(), 0);
    std::sort(toc.m_byNumber.begin(), toc.m_byNumber.end(), [&toc](int a, int b) {
        return toc.m_entries[size_t(a)].number < toc.m_entries[size_t(b)].number;
    });
    return toc;
}

int TableOfContents::entryNumbered(QStringView number) const
{
    const auto find = [this](QStringView wanted) {
        const auto at = std::lower_bound(m_byNumber.begin(), m_byNumber.end(), wanted, [this](int entry, QStringView n) {
            return QStringView(m_entries[size_t(entry)].number) < n;
        });
        return at != m_byNumber.end() && m_entries[size_t(*at)].number == wanted ? *at : -1;
    };
    const int entry = find(number);
    if (entry >= 0 || !number.endsWith(u".0"))
        return entry;
    return find(number.chopped(2));
}

bool TableOfContents::titleMatches(int entry, QStringView title, QStringView nextLine) const
{
    const QString &want = m_titleKeys[size_t(entry)];
    const QString key = titleKey(title);
    if (key == want)
        return true;
    // A wrapped heading: its first line holds the first words only.
    if (key.isEmpty() || want.size() <= key.size() || !want.startsWith(key) || want[key.size()] != u' ')
        return false;
    return want == key + u' ' + titleKey(nextLine);
}

std::optional<QStringView> titleBeforePage(QStringView text)
{
    text = withoutTrailingBlanks(text);
    qsizetype page = text.size();
    while (page > 0 && text.size() - page <= MaxPageDigits && (isDigit(text[page - 1]) || isRomanDigit(text[page - 1])))
        --page;
    const QStringView number = text.sliced(page);
    if (number.isEmpty() || number.size() > MaxPageDigits
        || !(std::all_of(number.begin(), number.end(), isDigit) || std::all_of(number.begin(), number.end(), isRomanDigit)))
        return std::nullopt;
    qsizetype title = page;
    int dots = 0;
    int blanks = 0;
    while (title > 0 && (text[title - 1] == u'.' || text[title - 1] == u' ')) {
        ++(text[title - 1] == u'.' ? dots : blanks);
        --title;
    }
    // One dot will do right after a word ("Dates.89"), not in "Version 2.0".
    const bool wordDot = dots == 1 && blanks == 0 && title > 0 && text[title - 1].isLetter();
    if (title == 0 || (dots < 2 && blanks < 3 && !wordDot))
        return std::nullopt;
    return text.first(title);
}

QString titleKey(QStringView title)
{
    constexpr QStringView ampersand = u"&amp;";
    QString key;
    key.reserve(title.size());
    bool gap = false;
    for (qsizetype i = 0; i < title.size(); ++i) {
        const QChar c = title[i];
        if (c.isLetterOrNumber()) {
            if (gap && !key.isEmpty())
                key += u' ';
            key += c.toLower();
            gap = false;
            continue;
        }
        gap = true;
        if (title.sliced(i).startsWith(ampersand))
            i += ampersand.size() - 1;
    }
    return key;
}
