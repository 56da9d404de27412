#pragma once

#include <QString>
#include <QStringView>

#include <vector>

class DocumentText;

// One numbered section heading of a document.
struct Heading
{
    qint32 position = 0; // view position of the line's first character
    qint32 line = 0;     // counted from 1
    qint32 length = 0;   // without the line end
    int level = 0;       // section depth: "4.2.1" is 3
    int parent = -1;     // index of the enclosing heading, -1 at the top level
    QString text;
};

// What the parser finds in a document: its line count and its headings in
// file order, each pointing at its parent.
struct Outline
{
    qint32 lineCount = 0;
    std::vector<Heading> headings;

    // The depth of a heading in the tree, 0 at the top level.
    int depthOf(int index) const;
    // The last heading at or above line (counted from 1), or -1.
    int headingAtLine(int line) const;
};

// The section depth of a line's first word ("4.2.1" is 3), or 0 when the
// word is not a section number.
int sectionLevel(QStringView word);

// The lines the index reads, as views into the text: every line that ends
// with a line end (a last line without one is neither counted nor examined).
std::vector<QStringView> indexedLines(const DocumentText &text);

Outline parseOutline(const DocumentText &text);
