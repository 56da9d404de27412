#include "rfclayout.h"

#include "textchars.h"

#include <QString> // QStringView::toInt is defined there

#include <algorithm>

namespace RfcLayout {

namespace {

using TextChars::isDigit;

// The N of "[Page N]" filling all of mark, or -1.
int pageMarkNumber(QStringView mark)
{
    if (mark.size() < 8 || mark.front() != u'[' || mark.back() != u']')
        return -1;
    const QStringView word = mark.sliced(1, 4);
    if (word.compare(u"Page", Qt::CaseInsensitive) != 0 || mark[5] != u' ')
        return -1;
    const QStringView digits = mark.sliced(6, mark.size() - 7);
    if (digits.isEmpty() || digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), isDigit))
        return -1;
    return digits.toInt();
}

bool hasYear(QStringView text)
{
    for (qsizetype i = 0; i + 4 <= text.size(); ++i) {
        const QStringView word = text.sliced(i, 4);
        if ((word.startsWith(u"19") || word.startsWith(u"20")) && isDigit(word[2]) && isDigit(word[3])
            && (i == 0 || !isDigit(text[i - 1])) && (i + 4 == text.size() || !isDigit(text[i + 4])))
            return true;
    }
    return false;
}

} // namespace

int trailingFooterPage(QStringView line)
{
    const QStringView text = withoutBlanks(line);
    if (text.size() < 8 || text.back() != u']')
        return -1;
    const qsizetype open = text.lastIndexOf(u'[');
    // "see [Page 3]" in a sentence is not a footer: furniture stands apart.
    if (open == 0 || (open >= 2 && text[open - 1] == u' ' && text[open - 2] == u' '))
        return pageMarkNumber(text.sliced(open));
    return -1;
}

int footerPage(QStringView line)
{
    const QStringView text = withoutBlanks(line);
    if (text.size() < 8)
        return -1;
    if (text.back() == u']')
        return trailingFooterPage(text);
    if (text.front() == u'[') {
        const qsizetype close = text.indexOf(u"]  ");
        if (close > 0)
            return pageMarkNumber(text.first(close + 1));
    }
    return -1;
}

bool isRunningHeader(QStringView line)
{
    const QStringView text = withoutBlanks(line);
    return hasYear(text) || text.startsWith(u"RFC", Qt::CaseInsensitive)
        || text.startsWith(u"Internet-Draft", Qt::CaseInsensitive);
}

ContentsTitle contentsTitle(QStringView line)
{
    const QStringView text = withoutBlanks(line);
    // Rules out most lines before any comparison.
    if (text.size() > 20 || !(text.endsWith(u's') || text.endsWith(u'S')))
        return ContentsTitle::None;
    if (text.compare(u"Table of Contents", Qt::CaseInsensitive) == 0
        || text.compare(u"Contents", Qt::CaseInsensitive) == 0)
        return ContentsTitle::Contents;
    if (text.compare(u"Summary of Contents", Qt::CaseInsensitive) == 0)
        return ContentsTitle::Summary;
    return ContentsTitle::None;
}

} // namespace RfcLayout
