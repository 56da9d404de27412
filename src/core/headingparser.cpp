#include "headingparser.h"

#include "documenttext.h"

#include <algorithm>

namespace {

constexpr qsizetype MaxWordLength = 255;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Finds the parent of each heading from its level and the previous heading's.
class ParentFinder
{
public:
    explicit ParentFinder(const std::vector<Heading> &headings) : m_headings(headings) {}

    int parentFor(int level)
    {
        int parent = -1;
        if (level == 1 || m_current < 0) {
            parent = -1;
        } else if (level > m_previousLevel) {
            parent = m_current;
        } else {
            // Climb one step per level, not per tree depth; past the top
            // level the heading goes to the top level.
            int sibling = m_current;
            for (int step = level; step < m_previousLevel && sibling >= 0; ++step)
                sibling = m_headings[size_t(sibling)].parent;
            parent = sibling >= 0 ? m_headings[size_t(sibling)].parent : -1;
        }
        m_previousLevel = level;
        return parent;
    }

    void placed(int index) { m_current = index; }

private:
    const std::vector<Heading> &m_headings;
    int m_current = -1;
    int m_previousLevel = 0;
};

} // namespace

int Outline::depthOf(int index) const
{
    int depth = 0;
    for (int up = headings[size_t(index)].parent; up >= 0; up = headings[size_t(up)].parent)
        ++depth;
    return depth;
}

int Outline::headingAtLine(int line) const
{
    const auto after = std::upper_bound(headings.begin(), headings.end(), line,
                                        [](int l, const Heading &heading) { return l < heading.line; });
    return int(after - headings.begin()) - 1;
}

int sectionLevel(QStringView word)
{
    const qsizetype n = word.size();
    if (n == 0 || n > MaxWordLength || !isDigit(word[0]))
        return 0;
    int count = 0;
    for (qsizetype i = 1; i < n; ++i) {
        const QChar c = word[i];
        if (!isDigit(c) && c != u'.')
            return count;
        if (c == u'.' && i + 1 < n && isDigit(word[i + 1]))
            ++count;
    }
    return count + 1;
}

std::vector<QStringView> indexedLines(const DocumentText &text)
{
    std::vector<QStringView> lines;
    text.forEachLine([&lines](QStringView line, bool hasLineEnd) {
        if (hasLineEnd)
            lines.push_back(line);
    });
    return lines;
}

Outline parseOutline(const DocumentText &text)
{
    Outline outline;
    ParentFinder parents(outline.headings);
    qint64 position = 0;
    text.forEachLine([&](QStringView line, bool hasLineEnd) {
        // A last line without a line end is neither counted nor examined.
        if (!hasLineEnd)
            return;
        ++outline.lineCount;
        const qsizetype blank = line.indexOf(u' ');
        if (blank > 0) {
            const int level = sectionLevel(line.first(std::min(blank, MaxWordLength)));
            if (level > 0) {
                Heading heading;
                heading.position = qint32(position);
                heading.line = outline.lineCount;
                heading.length = qint32(line.size());
                heading.level = level;
                heading.parent = parents.parentFor(level);
                heading.text = line.toString();
                outline.headings.push_back(std::move(heading));
                parents.placed(int(outline.headings.size()) - 1);
            }
        }
        position += line.size() + 2;
    });
    return outline;
}
