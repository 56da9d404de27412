#pragma once

#include <QChar>

// Character classes of plain-text RFCs: only ASCII digits number sections
// and pages, and form feeds and stray carriage returns stand where blanks would.
namespace TextChars {

inline bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

inline bool isBlankChar(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\f' || c == u'\v' || c == u'\r';
}

} // namespace TextChars
