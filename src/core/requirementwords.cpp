#include "requirementwords.h"

#include "textchars.h"

#include <algorithm>
#include <array>

namespace {

using TextChars::isDigit;

bool isWordChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_';
    return c.isLetterOrNumber();
}

// The end of the word that starts at from, or from itself.
qsizetype wordEnd(QStringView text, qsizetype from)
{
    while (from < text.size() && isWordChar(text[from]))
        ++from;
    return from;
}

// The end of word when it follows from after blanks on the same line, else -1.
qsizetype nextWordEnd(QStringView text, qsizetype from, QStringView word)
{
    qsizetype start = from;
    while (start < text.size() && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    if (start == from || !text.sliced(start).startsWith(word))
        return -1;
    const qsizetype end = start + word.size();
    return wordEnd(text, end) == end ? end : -1;
}

// The number that follows the name at [start, end) after optional white
// space, as in "RFC 2119" or "BCP14", or -1.
int citedNumber(QStringView text, qsizetype start, qsizetype end)
{
    if (start > 0 && isWordChar(text[start - 1]))
        return -1;
    while (end < text.size() && text[end].isSpace())
        ++end;
    int number = 0;
    qsizetype digits = 0;
    for (; end < text.size() && isDigit(text[end]) && digits < 6; ++end, ++digits)
        number = number * 10 + (text[end].unicode() - u'0');
    return digits == 0 || (end < text.size() && isWordChar(text[end])) ? -1 : number;
}

} // namespace

bool citesRequirementLevels(QStringView text)
{
    // One pass over the rare capital C that "RFC" and "BCP" share.
    for (qsizetype c = text.indexOf(u'C'); c >= 0; c = text.indexOf(u'C', c + 1)) {
        if (c >= 2 && text[c - 2] == u'R' && text[c - 1] == u'F') {
            const int number = citedNumber(text, c - 2, c + 1);
            if (number == 2119 || number == 8174)
                return true;
        } else if (c >= 1 && c + 1 < text.size() && text[c - 1] == u'B' && text[c + 1] == u'P') {
            if (citedNumber(text, c - 1, c + 2) == 14)
                return true;
        }
    }
    return false;
}

std::vector<TextSpan> findRequirementWords(QStringView text)
{
    static constexpr std::array<QStringView, 7> alone = {u"MUST", u"SHALL", u"SHOULD", u"REQUIRED",
                                                           u"RECOMMENDED", u"MAY", u"OPTIONAL"};
    std::vector<TextSpan> spans;
    for (qsizetype at = 0; at + 2 < text.size(); ++at) {
        // Keywords start with M, N, O, R or S and go on in capitals; one
        // comparison turns away most characters.
        if (char16_t(text[at].unicode() - u'M') > u'S' - u'M' || text[at + 1] < u'A' || text[at + 1] > u'Z'
            || (at > 0 && isWordChar(text[at - 1])))
            continue;
        const qsizetype wordStop = wordEnd(text, at);
        const QStringView word = text.sliced(at, wordStop - at);
        qsizetype end = -1;
        if (word == u"NOT") {
            end = nextWordEnd(text, wordStop, u"RECOMMENDED");
        } else if (std::find(alone.begin(), alone.end(), word) != alone.end()) {
            end = wordStop;
            if (word == u"MUST" || word == u"SHALL" || word == u"SHOULD")
                end = std::max(end, nextWordEnd(text, wordStop, u"NOT"));
        }
        if (end > 0)
            spans.push_back({qint32(at), qint32(end - at)});
        at = std::max(end, wordStop) - 1; // the loop steps past the word
    }
    return spans;
}
