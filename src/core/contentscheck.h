#pragma once

#include <QStringView>

#include <span>
#include <vector>

struct Outline;
class TableOfContents;

// How far a section index agrees with the document's own table of contents.
struct ContentsCheck
{
    enum class Verdict
    {
        Ok,
        Missing,   // no heading after the table carries the entry's number and title
        Misplaced, // the heading is there, under another parent than the entry's
    };
    std::vector<Verdict> verdicts; // one per entry
    int ok = 0;
    int missing = 0;
    int misplaced = 0;
    int stray = 0; // headings inside the table itself
};

// Judges an outline of lines against their table of contents. Headings are
// read back from their text (number, title), so any outline can be judged,
// whatever made it.
ContentsCheck checkAgainstContents(const Outline &outline, const TableOfContents &contents,
                                   std::span<const QStringView> lines);
