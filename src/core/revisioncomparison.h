#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

// Words changed inside a line: columns [column, column + length) of a file
// line counted from 0.
struct LineMark
{
    int line;
    int column;
    int length;

    friend bool operator==(const LineMark &, const LineMark &) = default;
};

// One change between two revisions: the lines of the old text it removes and
// the lines of the new text it adds, as file lines counted from 0, in order.
// Either side may be empty. Blank lines and page furniture are never part of
// a change.
struct TextChange
{
    std::vector<int> oldLines;
    std::vector<int> newLines;
    // Where the change stands on the other side when that side is empty: the
    // file line of the first line after it (or the line count).
    int oldAt = 0;
    int newAt = 0;
};

// The differences between two revisions of a plain-text RFC or draft, with
// page footers, running headers, form feeds and blank lines left out, so that
// re-pagination alone is no change. Lines are compared as they stand,
// indentation included; inside a change the words that differ are marked,
// so a re-wrapped paragraph is one change with its edited words marked.
class RevisionComparison
{
public:
    RevisionComparison(QStringView oldText, QStringView newText);

    const std::vector<TextChange> &changes() const { return m_changes; }
    // The words each side lacks, inside the changed lines.
    const std::vector<LineMark> &oldWords() const { return m_oldWords; }
    const std::vector<LineMark> &newWords() const { return m_newWords; }

    // The line of the other side level with a line of this side: the same
    // line where it is common, else in proportion between common lines.
    int newLineFor(int oldLine) const;
    int oldLineFor(int newLine) const;

    // The file lines compared, in order: neither blank nor furniture.
    const std::vector<int> &comparedOldLines() const { return m_oldCompared; }
    const std::vector<int> &comparedNewLines() const { return m_newCompared; }

    int oldLineCount() const { return int(m_oldLines.size()); }
    int newLineCount() const { return int(m_newLines.size()); }
    QStringView oldLine(int line) const { return m_oldLines[size_t(line)]; }
    QStringView newLine(int line) const { return m_newLines[size_t(line)]; }

private:
    struct Anchor
    {
        int oldLine;
        int newLine;
    };
    // A change as indices into the compared lines: [begin, end) on each side.
    struct Span
    {
        int oldBegin;
        int oldEnd;
        int newBegin;
        int newEnd;
    };
    void markWords(const TextChange &change);
    int levelLine(int line, int Anchor::*side, int Anchor::*other, int sideCount, int otherCount) const;
    friend QString unifiedDiff(const RevisionComparison &, const QString &, const QString &);

    std::vector<QStringView> m_oldLines;
    std::vector<QStringView> m_newLines;
    // The file lines compared: neither blank nor furniture.
    std::vector<int> m_oldCompared;
    std::vector<int> m_newCompared;
    std::vector<Span> m_spans;
    std::vector<TextChange> m_changes;
    std::vector<LineMark> m_oldWords;
    std::vector<LineMark> m_newWords;
    // Common lines, in order on both sides.
    std::vector<Anchor> m_anchors;
};

// A unified diff ("--- ", "+++ ", "@@ -a,b +c,d @@" hunks with up to three
// common lines around each change) of the compared lines, furniture left out;
// the hunk headers give file lines.
QString unifiedDiff(const RevisionComparison &comparison, const QString &oldName, const QString &newName);

// Each change as "OLD:" and "NEW:" blocks in the style of errata reports,
// headed by its place ("Line 120" or "Section 3.2, line 120") in the new text.
// sectionOf gives the section number of a new-text line (from 0), or empty.
QString oldNewListing(const RevisionComparison &comparison, const std::function<QString(int)> &sectionOf);
