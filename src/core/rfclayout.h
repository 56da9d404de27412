#pragma once

#include <QChar>
#include <QStringView>

// The furniture of a plain-text RFC or Internet-Draft page, one rule each for
// every reader of the text: blanks, page footers, running headers and the
// titles of a table of contents.
namespace RfcLayout {

// Form feeds between pages and stray carriage returns and vertical tabs
// stand where blanks would.
inline bool isBlankChar(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\f' || c == u'\v' || c == u'\r';
}

// The line without its indentation and trailing blanks; inline, unlike
// QStringView::trimmed(), which costs more than the rest of a line's reading.
inline QStringView withoutBlanks(QStringView line)
{
    qsizetype start = 0;
    qsizetype end = line.size();
    while (start < end && isBlankChar(line[start]))
        ++start;
    while (end > start && isBlankChar(line[end - 1]))
        --end;
    return line.sliced(start, end - start);
}

inline bool isBlankLine(QStringView line)
{
    return withoutBlanks(line).isEmpty();
}

// The page number of a footer line, or -1 for any other line: a line that
// ends in "[Page N]" set apart by two blanks (or, on old left-hand pages,
// starts with "[Page N]" and two blanks).
int footerPage(QStringView line);
// The same for the usual footer only, the one that ends in "[Page N]".
int trailingFooterPage(QStringView line);

// Whether a line may be the running header at the top of a page: it carries a
// year or starts with "RFC" or "Internet-Draft".
bool isRunningHeader(QStringView line);

enum class ContentsTitle {
    None,
    Contents, // "Table of Contents", "Contents"
    Summary,  // "Summary of Contents": a short list of chapters before the full one (RFC 1001)
};

// What a line titles, in any letter case and with any indentation.
ContentsTitle contentsTitle(QStringView line);

} // namespace RfcLayout
