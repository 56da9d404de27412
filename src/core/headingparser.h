#pragma once

#include <QString>
#include <QStringView>

#include <vector>

class DocumentText;

// One numbered section heading of a document.
struct Heading
{
    qint32 position = 0; // view position of the heading's first character
    qint32 line = 0;     // counted from 1
    qint32 length = 0;   // to the line's end, without the line end
    int level = 0;       // section depth: "4.2.1" is 3, "A.1" is 2
    int parent = -1;     // index of the enclosing heading, -1 at the top level
    QString number;      // "4.2.1", "A" (for "Appendix A."), "A.1"; no final dot
    QString text;        // the line from its first non-blank character
};

// What the parser finds in a document: its line count and its headings in
// file order, each pointing at its parent.
//
// A heading is a line whose first word is a section number ("4.2.1"), or an
// appendix ("Appendix A.  Title", "A.1.  Title"), in column 0. When the
// document has a table of contents, its lines are no headings, nor are lines
// elsewhere that end like its entries (a leader and a page number); and each
// of its numbered entries makes a heading of the first line after it that
// carries the entry's number (or it with ".0" after it) and title, at any
// indentation; the heading takes the entry's number. A heading goes under the
// nearest heading before it whose number encloses its own.
struct Outline
{
    qint32 lineCount = 0;
    std::vector<Heading> headings;

    // The depth of a heading in the tree, 0 at the top level.
    int depthOf(int index) const;
    // The last heading at or above line (counted from 1), or -1.
    int headingAtLine(int line) const;
    // The first heading numbered number ("3.2", "A.1"; a final '.' is
    // ignored), or -1.
    int findSection(QStringView number) const;
};

// The section depth of a line's first word ("4.2.1" is 3), or 0 when the
// word is not a section number.
int sectionLevel(QStringView word);

// The lines the index reads, as views into the text: every line that ends
// with a line end (a last line without one is neither counted nor examined).
std::vector<QStringView> indexedLines(const DocumentText &text);

Outline parseOutline(const DocumentText &text);
