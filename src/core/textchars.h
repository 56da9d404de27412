#pragma once

#include <QChar>
#include <QString>

// Character classes of plain-text RFCs: only ASCII digits number sections
// and pages; which characters a view cannot show. Blanks are RfcLayout's.
namespace TextChars {

inline bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Characters a view would show as boxes, or that would start a new line
// there but not in the file (a lone carriage return, the Unicode line and
// paragraph separators, the frame marks U+FDD0 and U+FDD1).
inline bool isUnshowable(QChar c)
{
    switch (c.unicode()) {
    case QChar::LineSeparator:
    case QChar::ParagraphSeparator:
    case 0xfdd0:
    case 0xfdd1:
        return true;
    default:
        return c.unicode() < 0x20 && c != u'\n' && c != u'\t';
    }
}

// The text as a view shows it: a blank of the same length for each
// unshowable character keeps positions and line numbers.
inline void blankUnshowable(QString &text)
{
    for (QChar &c : text) {
        if (isUnshowable(c))
            c = u' ';
    }
}

} // namespace TextChars
