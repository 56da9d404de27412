#include "passages.h"

#include "documenttext.h"
#include "headingparser.h"
#include "pagelayout.h"

#include <algorithm>

namespace {

constexpr qsizetype MinHardLimit = 8192;

bool isBlank(QStringView line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.isSpace(); });
}

} // namespace

std::vector<Passage> splitPassages(const DocumentText &document, const Outline &outline, int maxLength)
{
    const std::vector<PageFold> folds = findPageFolds(document.text());
    const qsizetype hardLimit = std::max(4 * qsizetype(maxLength), MinHardLimit);
    std::vector<Passage> passages;
    Passage current;
    const auto flush = [&] {
        if (!current.lines.empty())
            passages.push_back(std::exchange(current, {}));
    };
    auto fold = folds.begin();
    auto heading = outline.headings.begin();
    int line = 0; // counted from 1 once incremented
    document.forEachLine([&](QStringView text, bool) {
        ++line;
        while (fold != folds.end() && fold->lastLine < line - 1)
            ++fold;
        if (fold != folds.end() && fold->firstLine <= line - 1)
            return; // page furniture: a paragraph goes on across it
        while (heading != outline.headings.end() && heading->line < line)
            ++heading;
        if (heading != outline.headings.end() && heading->line == line) {
            flush();
        } else if (isBlank(text)) {
            if (current.text.size() >= maxLength)
                flush();
            return;
        } else if (current.text.size() >= hardLimit) {
            flush();
        }
        if (!current.lines.empty())
            current.text += u'\n';
        current.text += text;
        current.lines.push_back(line);
    });
    flush();
    return passages;
}
