#include "revisioncomparison.h"

#include "pagelayout.h"
#include "rfclayout.h"
#include "worddiff.h"

#include <QHash>

#include <dtl/dtl.hpp>

#include <algorithm>
#include <optional>

namespace {

constexpr int Context = 3;
// Beyond this many characters on both sides of a change, its lines are
// marked whole: a word difference of two whole sections tells nothing more.
constexpr qsizetype MaxWordMarkedChars = 200'000;

std::vector<QStringView> splitLines(QStringView text)
{
    std::vector<QStringView> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.sliced(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

QStringView withoutTrailingBlanks(QStringView line)
{
    while (!line.isEmpty() && RfcLayout::isBlankChar(line.back()))
        line.chop(1);
    return line;
}

// The file lines that are compared: neither blank nor page furniture.
std::vector<int> comparedLines(QStringView text, const std::vector<QStringView> &lines)
{
    std::vector<bool> furniture(lines.size(), false);
    for (const PageFold &fold : findPageFolds(text))
        for (int line = fold.firstLine; line <= fold.lastLine && size_t(line) < lines.size(); ++line)
            furniture[size_t(line)] = true;
    std::vector<int> compared;
    for (size_t line = 0; line < lines.size(); ++line)
        if (!furniture[line] && !RfcLayout::isBlankLine(lines[line]))
            compared.push_back(int(line));
    return compared;
}

// Equal lines get equal numbers, so that the diff compares integers.
std::vector<int> lineKeys(const std::vector<int> &compared, const std::vector<QStringView> &lines,
                          QHash<QStringView, int> &keys)
{
    std::vector<int> result;
    result.reserve(compared.size());
    for (int line : compared) {
        const QStringView key = withoutTrailingBlanks(lines[size_t(line)]);
        auto found = keys.constFind(key);
        if (found == keys.constEnd())
            found = keys.insert(key, int(keys.size()));
        result.push_back(*found);
    }
    return result;
}

// The ranges of a text joined from lines by "\n", cut at the line ends.
void appendMarks(std::vector<LineMark> &marks, const std::vector<ChangedWords::Range> &ranges,
                 const std::vector<int> &lines, const std::vector<qsizetype> &lineStarts)
{
    for (const ChangedWords::Range &range : ranges) {
        const qsizetype end = range.start + range.length;
        auto at = std::upper_bound(lineStarts.begin(), lineStarts.end(), range.start) - 1;
        for (; at != lineStarts.end() && *at < end; ++at) {
            const size_t index = size_t(at - lineStarts.begin());
            const qsizetype lineEnd = index + 1 < lineStarts.size() ? lineStarts[index + 1] - 1 : end;
            const qsizetype from = std::max(range.start, *at);
            const qsizetype to = std::min(end, lineEnd);
            if (to > from)
                marks.push_back({lines[index], int(from - *at), int(to - from)});
        }
    }
}

QString joined(const std::vector<int> &lines, const std::vector<QStringView> &text, std::vector<qsizetype> &starts)
{
    QString result;
    for (int line : lines) {
        if (!result.isEmpty())
            result += u'\n';
        starts.push_back(result.size());
        result += text[size_t(line)];
    }
    return result;
}

} // namespace

RevisionComparison::RevisionComparison(QStringView oldText, QStringView newText)
    : m_oldLines(splitLines(oldText))
    , m_newLines(splitLines(newText))
    , m_oldCompared(comparedLines(oldText, m_oldLines))
    , m_newCompared(comparedLines(newText, m_newLines))
{
    QHash<QStringView, int> keys;
    const std::vector<int> a = lineKeys(m_oldCompared, m_oldLines, keys);
    const std::vector<int> b = lineKeys(m_newCompared, m_newLines, keys);
    dtl::Diff<int, std::vector<int>> diff(a, b);
    // Keeps memory bounded for long documents that differ much.
    diff.onHuge();
    diff.compose();

    int oldAt = 0;
    int newAt = 0;
    std::optional<Span> open;
    const auto close = [&] {
        if (!open)
            return;
        open->oldEnd = oldAt;
        open->newEnd = newAt;
        TextChange change;
        change.oldLines.assign(m_oldCompared.begin() + open->oldBegin, m_oldCompared.begin() + oldAt);
        change.newLines.assign(m_newCompared.begin() + open->newBegin, m_newCompared.begin() + newAt);
        change.oldAt = size_t(oldAt) < m_oldCompared.size() ? m_oldCompared[size_t(oldAt)] : oldLineCount();
        change.newAt = size_t(newAt) < m_newCompared.size() ? m_newCompared[size_t(newAt)] : newLineCount();
        markWords(change);
        m_changes.push_back(std::move(change));
        m_spans.push_back(*open);
        open.reset();
    };
    for (const auto &[key, info] : diff.getSes().getSequence()) {
        if (info.type == dtl::SES_COMMON) {
            close();
            m_anchors.push_back({m_oldCompared[size_t(oldAt)], m_newCompared[size_t(newAt)]});
            ++oldAt;
            ++newAt;
            continue;
        }
        if (!open)
            open = Span{oldAt, 0, newAt, 0};
        if (info.type == dtl::SES_DELETE)
            ++oldAt;
        else
            ++newAt;
    }
    close();
}

void RevisionComparison::markWords(const TextChange &change)
{
    if (change.oldLines.empty() || change.newLines.empty())
        return;
    std::vector<qsizetype> oldStarts;
    std::vector<qsizetype> newStarts;
    const QString before = joined(change.oldLines, m_oldLines, oldStarts);
    const QString after = joined(change.newLines, m_newLines, newStarts);
    if (before.size() > MaxWordMarkedChars && after.size() > MaxWordMarkedChars)
        return;
    const ChangedWords words = changedWords(before, after);
    appendMarks(m_oldWords, words.removed, change.oldLines, oldStarts);
    appendMarks(m_newWords, words.added, change.newLines, newStarts);
}

int RevisionComparison::newLineFor(int oldLine) const
{
    return levelLine(oldLine, &Anchor::oldLine, &Anchor::newLine, oldLineCount(), newLineCount());
}

int RevisionComparison::oldLineFor(int newLine) const
{
    return levelLine(newLine, &Anchor::newLine, &Anchor::oldLine, newLineCount(), oldLineCount());
}

int RevisionComparison::levelLine(int line, int Anchor::*side, int Anchor::*other, int sideCount,
                                  int otherCount) const
{
    const auto next = std::upper_bound(m_anchors.begin(), m_anchors.end(), line,
                                       [side](int value, const Anchor &anchor) { return value < anchor.*side; });
    const Anchor before = next == m_anchors.begin() ? Anchor{-1, -1} : *(next - 1);
    if (before.*side == line)
        return before.*other;
    Anchor after{};
    after.*side = sideCount;
    after.*other = otherCount;
    if (next != m_anchors.end())
        after = *next;
    return before.*other
           + int(qint64(line - before.*side) * (after.*other - before.*other) / (after.*side - before.*side));
}

QString unifiedDiff(const RevisionComparison &comparison, const QString &oldName, const QString &newName)
{
    using Span = RevisionComparison::Span;
    const std::vector<Span> &spans = comparison.m_spans;
    const std::vector<int> &oldCompared = comparison.m_oldCompared;
    const std::vector<int> &newCompared = comparison.m_newCompared;
    QString out = QStringLiteral("--- %1\n+++ %2\n").arg(oldName, newName);
    const auto append = [&out](QChar sign, QStringView line) {
        out += sign;
        out += line;
        out += u'\n';
    };
    // The first file line (from 1) of a hunk side, or the one before it when the side is empty.
    const auto start = [](const std::vector<int> &compared, int begin, int count) {
        if (count > 0)
            return compared[size_t(begin)] + 1;
        return begin > 0 ? compared[size_t(begin - 1)] + 1 : 0;
    };
    for (size_t first = 0; first < spans.size();) {
        size_t last = first;
        while (last + 1 < spans.size() && spans[last + 1].oldBegin - spans[last].oldEnd <= 2 * Context)
            ++last;
        const int lead = std::min(Context, spans[first].oldBegin - (first ? spans[first - 1].oldEnd : 0));
        const int commonAfter =
            (last + 1 < spans.size() ? spans[last + 1].oldBegin : int(oldCompared.size())) - spans[last].oldEnd;
        const int trail = std::min(Context, commonAfter);
        QString body;
        std::swap(out, body);
        int o = spans[first].oldBegin - lead;
        int n = spans[first].newBegin - lead;
        const int oldFrom = o;
        const int newFrom = n;
        for (size_t index = first; index <= last; ++index) {
            for (; o < spans[index].oldBegin; ++o, ++n)
                append(u' ', comparison.oldLine(oldCompared[size_t(o)]));
            for (; o < spans[index].oldEnd; ++o)
                append(u'-', comparison.oldLine(oldCompared[size_t(o)]));
            for (; n < spans[index].newEnd; ++n)
                append(u'+', comparison.newLine(newCompared[size_t(n)]));
        }
        for (int count = 0; count < trail; ++count, ++o, ++n)
            append(u' ', comparison.oldLine(oldCompared[size_t(o)]));
        std::swap(out, body);
        out += QStringLiteral("@@ -%1,%2 +%3,%4 @@\n")
                   .arg(start(oldCompared, oldFrom, o - oldFrom))
                   .arg(o - oldFrom)
                   .arg(start(newCompared, newFrom, n - newFrom))
                   .arg(n - newFrom);
        out += body;
        first = last + 1;
    }
    return out;
}

QString oldNewListing(const RevisionComparison &comparison, const std::function<QString(int)> &sectionOf)
{
    QString out;
    const auto block = [&out](const char *title, const std::vector<int> &lines, auto lineText) {
        out += QLatin1String(title) + QStringLiteral(":\n\n");
        if (lines.empty())
            out += QStringLiteral("   (nothing)\n");
        for (int line : lines)
            out += lineText(line) + u'\n';
        out += u'\n';
    };
    for (const TextChange &change : comparison.changes()) {
        const int line = change.newLines.empty() ? change.newAt : change.newLines.front();
        const QString section = sectionOf(line);
        out += section.isEmpty() ? QStringLiteral("Line %1:\n\n").arg(line + 1)
                                 : QStringLiteral("Section %1, line %2:\n\n").arg(section).arg(line + 1);
        block("OLD", change.oldLines, [&](int at) { return comparison.oldLine(at).toString(); });
        block("NEW", change.newLines, [&](int at) { return comparison.newLine(at).toString(); });
    }
    return out;
}
