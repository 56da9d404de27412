#pragma once

#include <QStringView>

#include <optional>
#include <vector>

// The section number a heading or a table-of-contents line starts with, and
// the title after it, as views into that line.
struct SectionLabel
{
    QStringView number; // "4.2.1", "A", "A.1": without the final '.' or ':'
    QStringView title;  // from the first character after the gap, trailing blanks cut
};

enum class LabelForms
{
    // "4.2.1  Title", "4.2.1.  Title", "A.1.  Title", "Appendix A.  Title",
    // "APPENDIX A:  Title".
    Numbered,
    // Also a bare appendix letter, as in "A  Table of Timer Values".
    WithBareLetter,
};

// Reads the label at the very start of text (indentation is the caller's).
// A label is followed by at least one blank and a title.
std::optional<SectionLabel> readSectionLabel(QStringView text, LabelForms forms = LabelForms::Numbered);

// Whether prefix names an enclosing section of number: "13" of "13.2" and of
// "13.2.1", not of "132", "13" or "1".
bool isNumberPrefix(QStringView prefix, QStringView number);

// The number of parts of a section number: "13.2" is 2, "A" is 1, "A.1" is 2.
int numberDepth(QStringView number);

// For each number in order, the index of the nearest number before it that
// is its prefix, or -1: where a numbered section goes in a tree, whether or
// not the sections between are there ("13.2" under "13" without "13.1").
std::vector<int> enclosingNumbers(const std::vector<QStringView> &numbers);
