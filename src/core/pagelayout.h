#pragma once

#include <QStringView>

#include <vector>

// Lines [firstLine, lastLine] (counted from 0) that a view may hide at one
// page break of a paginated RFC or Internet-Draft; pageNumber is the number
// printed in the footer, that is of the page that ends there.
struct PageFold
{
    int firstLine;
    int lastLine;
    int pageNumber;
};

// The page breaks of text (lines separated by "\n"; a final "\n" ends the last
// line), in order. A footer is a line that ends in "[Page N]" (or, on old
// left-hand pages, starts with "[Page N]" and two blanks). Each fold holds:
// - the blank lines before the footer (page padding or a paragraph gap),
// - the footer, and the blank and form-feed lines after it,
// - the next page's running header: the first non-blank line when it carries
//   a year or starts with "RFC" or "Internet-Draft", plus up to three lines
//   right below it that old RFCs add (document title, chapter name) when they
//   are flush left or indented 20 columns or more, hold no '.', ',' or ';',
//   start with no digit, and are followed by a blank line,
// - the blank lines after the header.
// A fold never reaches a non-blank line that is not footer or header; when no
// header follows (the last page), the fold ends before the next text.
std::vector<PageFold> findPageFolds(QStringView text);

// The first line after the page break whose footer reads page - 1 (line 0 for
// page 1), past any fold right behind it; -1 when the document has no such
// page. lineCount is the number of lines of the text the folds came from.
int firstLineOfPage(const std::vector<PageFold> &folds, int lineCount, int page);
