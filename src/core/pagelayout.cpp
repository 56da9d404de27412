#include "pagelayout.h"

#include "rfclayout.h"
#include "textchars.h"

#include <algorithm>

namespace {

using TextChars::isDigit;
using RfcLayout::footerPage;
using RfcLayout::isBlankLine;
using RfcLayout::isRunningHeader;
using RfcLayout::withoutBlanks;

// Old RFCs indent body text a few columns; furniture is flush left or pushed
// far to the right.
constexpr qsizetype FurnitureIndent = 20;
constexpr int MaxHeaderContinuation = 3;

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

// A document title or chapter name that old RFCs print below the date line.
bool mayContinueHeader(QStringView line)
{
    const QStringView text = withoutBlanks(line);
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
    if (next == count || isBlankLine(lines[size_t(next)]) || footerPage(lines[size_t(next)]) >= 0)
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
        while (first - 1 > folded && isBlankLine(lines[size_t(first - 1)]))
            --first;
        int last = line + 1;
        while (last < count && isBlankLine(lines[size_t(last)]))
            ++last;
        if (last < count && footerPage(lines[size_t(last)]) < 0 && isRunningHeader(lines[size_t(last)])) {
            last = headerEnd(lines, last) + 1;
            while (last < count && isBlankLine(lines[size_t(last)]))
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
