#include "pagelayout.h"

#include "textchars.h"

#include <QString> // QStringView::toInt is defined there

#include <algorithm>

namespace {

using TextChars::isDigit;
using TextChars::isBlankChar;

// Old RFCs indent body text a few columns; furniture is flush left or pushed
// far to the right.
constexpr qsizetype FurnitureIndent = 20;
constexpr int MaxHeaderContinuation = 3;

QStringView trimmed(QStringView line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isBlankChar(line[begin]))
        ++begin;
    while (end > begin && isBlankChar(line[end - 1]))
        --end;
    return line.sliced(begin, end - begin);
}

bool isBlank(QStringView line)
{
    return std::all_of(line.begin(), line.end(), isBlankChar);
}

std::vector<QStringView> splitLines(QStringView text)
{
    std::vector<QStringView> lines;
    lines.reserve(size_t(text.size() / 48 + 1));
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        lines.push_back(text.sliced(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The N of "[Page N]" filling all of mark, or -1.
int pageMarkNumber(QStringView mark)
{
    if (mark.size() < 8 || mark.front() != u'[' || mark.back() != u']')
        return -1;
    const QStringView word = mark.sliced(1, 4);
    if (word.compare(u"Page", Qt::CaseInsensitive) != 0 || mark[5] != u' ')
        return -1;
    const QStringView digits = mark.sliced(6, mark.size() - 7);
    if (digits.isEmpty() || digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), isDigit))
        return -1;
    return digits.toInt();
}

bool hasYear(QStringView text)
{
    for (qsizetype i = 0; i + 4 <= text.size(); ++i) {
        const QStringView word = text.sliced(i, 4);
        if ((word.startsWith(u"19") || word.startsWith(u"20")) && isDigit(word[2]) && isDigit(word[3])
            && (i == 0 || !isDigit(text[i - 1])) && (i + 4 == text.size() || !isDigit(text[i + 4])))
            return true;
    }
    return false;
}

} // namespace

int footerPage(QStringView line)
{
    const QStringView text = trimmed(line);
    if (text.size() < 8)
        return -1;
    if (text.back() == u']') {
        const qsizetype open = text.lastIndexOf(u'[');
        // "see [Page 3]" in a sentence is not a footer: furniture stands apart.
        if (open == 0 || (open >= 2 && text[open - 1] == u' ' && text[open - 2] == u' '))
            return pageMarkNumber(text.sliced(open));
        return -1;
    }
    if (text.front() == u'[') {
        const qsizetype close = text.indexOf(u"]  ");
        if (close > 0)
            return pageMarkNumber(text.first(close + 1));
    }
    return -1;
}

bool isRunningHeader(QStringView line)
{
    const QStringView text = trimmed(line);
    return hasYear(text) || text.startsWith(u"RFC", Qt::CaseInsensitive)
        || text.startsWith(u"Internet-Draft", Qt::CaseInsensitive);
}

namespace {

// A document title or chapter name that old RFCs print below the date line.
bool mayContinueHeader(QStringView line)
{
    const QStringView text = trimmed(line);
    if (text.isEmpty() || isDigit(text.front()) || text.back() == u':' || footerPage(line) >= 0)
        return false;
    const qsizetype indent = text.data() - line.data();
    if (indent != 0 && indent < FurnitureIndent)
        return false;
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c == u'.' || c == u',' || c == u';'; });
}

// The last line of the running header that starts at first.
int headerEnd(const std::vector<QStringView> &lines, int first)
{
    const int count = int(lines.size());
    int next = first + 1;
    while (next < count && next - first <= MaxHeaderContinuation && mayContinueHeader(lines[size_t(next)]))
        ++next;
    // A header block stands alone; lines that run on into more text are body.
    if (next == count || isBlank(lines[size_t(next)]) || footerPage(lines[size_t(next)]) >= 0)
        return next - 1;
    return first;
}

} // namespace

std::vector<PageFold> findPageFolds(QStringView text)
{
    const std::vector<QStringView> lines = splitLines(text);
    const int count = int(lines.size());
    std::vector<PageFold> folds;
    int folded = -1; // the last line of the previous fold
    for (int line = 0; line < count; ++line) {
        const int page = footerPage(lines[size_t(line)]);
        if (page < 0)
            continue;
        int first = line;
        while (first - 1 > folded && isBlank(lines[size_t(first - 1)]))
            --first;
        int last = line + 1;
        while (last < count && isBlank(lines[size_t(last)]))
            ++last;
        if (last < count && footerPage(lines[size_t(last)]) < 0 && isRunningHeader(lines[size_t(last)])) {
            last = headerEnd(lines, last) + 1;
            while (last < count && isBlank(lines[size_t(last)]))
                ++last;
        }
        folds.push_back({first, last - 1, page});
        folded = last - 1;
        line = folded;
    }
    return folds;
}

int firstLineOfPage(const std::vector<PageFold> &folds, int lineCount, int page)
{
    if (page < 1)
        return -1;
    auto fold = folds.begin();
    int line = 0;
    if (page > 1) {
        fold = std::find_if(folds.begin(), folds.end(), [page](const PageFold &f) { return f.pageNumber == page - 1; });
        if (fold == folds.end())
            return -1;
        line = fold->lastLine + 1;
        ++fold;
    }
    // A blank page's fold follows right behind the previous one.
    for (; fold != folds.end() && fold->firstLine <= line; ++fold)
        line = std::max(line, fold->lastLine + 1);
    return line < lineCount ? line : -1;
}
