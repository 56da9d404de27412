#include "headingparser.h"

#include "documenttext.h"
#include "sectionlabel.h"
#include "tableofcontents.h"
#include "textchars.h"

#include <QList>

#include <algorithm>

namespace {

using TextChars::isDigit;

constexpr qsizetype MaxWordLength = 255;

qsizetype indentOf(QStringView line)
{
    qsizetype indent = 0;
    while (indent < line.size() && (line[indent] == u' ' || line[indent] == u'\t' || line[indent] == u'\f'))
        ++indent;
    return indent;
}

// The number of a first word that sectionLevel() accepts, with as many parts
// as its level: "4.2.1." is "4.2.1", "1..2" is "1.2", "1.2a" is "1".
QString wordNumber(QStringView word)
{
    qsizetype run = 0;
    while (run < word.size() && (isDigit(word[run]) || word[run] == u'.'))
        ++run;
    QList<QStringView> parts = word.first(run).split(u'.', Qt::SkipEmptyParts);
    if (run < word.size())
        parts.removeLast();
    QString number;
    for (const QStringView part : parts) {
        if (!number.isEmpty())
            number += u'.';
        number += part;
    }
    return number;
}

// The number of a line that makes a heading in column 0, or an empty string.
QString columnZeroNumber(QStringView line)
{
    const qsizetype blank = line.indexOf(u' ');
    if (blank <= 0)
        return {};
    const QStringView word = line.first(std::min(blank, MaxWordLength));
    if (sectionLevel(word) > 0)
        return wordNumber(word);
    const std::optional<SectionLabel> appendix = readSectionLabel(line);
    return appendix && !isDigit(appendix->number[0]) ? appendix->number.toString() : QString();
}

// Where the table of contents puts its sections in the body: each entry's
// heading is the first line after the table that carries the entry's number
// and title, at any indentation.
class ContentsGuide
{
public:
    ContentsGuide(const TableOfContents &contents, const std::vector<QStringView> &lines)
        : m_contents(contents), m_placed(contents.entries().size(), false), m_entryAt(lines.size(), -1)
    {
        for (size_t index = size_t(contents.lastLine()); index < lines.size(); ++index) {
            const QStringView line = lines[index];
            const std::optional<SectionLabel> label =
                readSectionLabel(line.sliced(indentOf(line)), LabelForms::WithBareLetter);
            if (!label)
                continue;
            const int entry = contents.entryNumbered(label->number);
            if (entry < 0 || m_placed[size_t(entry)])
                continue;
            const QStringView next = index + 1 < lines.size() ? lines[index + 1] : QStringView();
            if (contents.titleMatches(entry, label->title, next)) {
                m_placed[size_t(entry)] = true;
                m_entryAt[index] = entry;
            }
        }
    }

    // The entry whose heading is the line (counted from 0), or -1.
    int entryAt(size_t line) const { return m_entryAt[line]; }

    // Whether the section numbered number has its heading at some line: a
    // numbered list item that reuses the number is no heading.
    bool isPlaced(QStringView number) const
    {
        const int entry = m_contents.entryNumbered(number);
        return entry >= 0 && m_placed[size_t(entry)];
    }

private:
    const TableOfContents &m_contents;
    std::vector<bool> m_placed;
    std::vector<int> m_entryAt;
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

int Outline::findSection(QStringView number) const
{
    if (number.endsWith(u'.'))
        number.chop(1);
    const auto found = std::find_if(headings.begin(), headings.end(),
                                    [number](const Heading &heading) { return heading.number == number; });
    return found == headings.end() ? -1 : int(found - headings.begin());
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
    const std::vector<QStringView> lines = indexedLines(text);
    const TableOfContents contents = TableOfContents::read(lines);
    const ContentsGuide guide(contents, lines);

    Outline outline;
    outline.lineCount = qint32(lines.size());
    const QChar *const start = text.text().constData();
    for (size_t index = 0; index < lines.size(); ++index) {
        const QStringView line = lines[index];
        const int lineNumber = int(index) + 1;
        QString number;
        qsizetype indent = 0;
        if (const int entry = guide.entryAt(index); entry >= 0) {
            number = contents.entries()[size_t(entry)].number;
            indent = indentOf(line);
        } else if (!contents.contains(lineNumber)) {
            number = columnZeroNumber(line);
            // A list of chapters outside the table proper, or a list item.
            if (!contents.isEmpty() && !number.isEmpty() && (titleBeforePage(line) || guide.isPlaced(number)))
                number.clear();
        }
        if (number.isEmpty())
            continue;
        Heading heading;
        // A line end counts two positions.
        heading.position = qint32(line.data() - start + qsizetype(index) + indent);
        heading.line = lineNumber;
        heading.length = qint32(line.size() - indent);
        heading.level = numberDepth(number);
        heading.number = std::move(number);
        heading.text = line.sliced(indent).toString();
        outline.headings.push_back(std::move(heading));
    }

    std::vector<QStringView> numbers;
    numbers.reserve(outline.headings.size());
    for (const Heading &heading : outline.headings)
        numbers.push_back(heading.number);
    const std::vector<int> parents = enclosingNumbers(numbers);
    for (size_t index = 0; index < parents.size(); ++index)
        outline.headings[index].parent = parents[index];
    return outline;
}
