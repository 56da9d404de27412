#pragma once

#include <QChar>

// Character classes of plain-text RFCs: only ASCII digits number sections
// and pages. Blanks are RfcLayout's.
namespace TextChars {

inline bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace TextChars
