#pragma once

#include <QString>
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
        Missing,   // no heading after the table carries the entry's number
        Misplaced, // the heading is there, under another parent than the entry's
    };
    std::vector<Verdict> verdicts; // one per entry
    // One per entry: the title of its heading where that reads otherwise than
    // the entry's, else empty.
    std::vector<QString> bodyTitles;
    int ok = 0;
    int missing = 0;
    int misplaced = 0;
    int stray = 0; // headings inside the table itself
};

// Judges an outline of lines against their table of contents. Headings are
// read back from their text (number, title), so any outline can be judged,
// whatever made it. An entry's heading is the first after the table with its
// number and title, else the first with its number: the check judges where
// sections are, not how they are worded.
ContentsCheck checkAgainstContents(const Outline &outline, const TableOfContents &contents,
                                   std::span<const QStringView> lines);
