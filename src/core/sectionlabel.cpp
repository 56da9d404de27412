#include "sectionlabel.h"

#include "textchars.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace {

using TextChars::isDigit;

bool isCapital(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\f' || c == u'\r';
}

// The end of ".N.N" parts from at; at itself when there are none.
qsizetype skipParts(QStringView text, qsizetype at)
{
    while (at + 1 < text.size() && text[at] == u'.' && isDigit(text[at + 1])) {
        at += 2;
        while (at < text.size() && isDigit(text[at]))
            ++at;
    }
    return at;
}

// The label whose number is text[numberStart, numberEnd) and whose gap starts
// at gap, past one final '.' or ':' of the number.
std::optional<SectionLabel> labelAt(QStringView text, qsizetype numberStart, qsizetype numberEnd, qsizetype gap)
{
    if (gap >= text.size() || text[gap] != u' ')
        return std::nullopt;
    qsizetype title = gap;
    while (title < text.size() && isBlank(text[title]))
        ++title;
    qsizetype end = text.size();
    while (end > title && isBlank(text[end - 1]))
        --end;
    if (title == end)
        return std::nullopt;
    return SectionLabel{text.sliced(numberStart, numberEnd - numberStart), text.sliced(title, end - title)};
}

} // namespace

std::optional<SectionLabel> readSectionLabel(QStringView text, LabelForms forms)
{
    if (text.isEmpty())
        return std::nullopt;
    if (isDigit(text[0])) {
        qsizetype end = 1;
        while (end < text.size() && isDigit(text[end]))
            ++end;
        end = skipParts(text, end);
        const bool finalDot = end < text.size() && text[end] == u'.';
        return labelAt(text, 0, end, finalDot ? end + 1 : end);
    }
    constexpr QStringView appendix = u"Appendix ";
    if (text.startsWith(appendix, Qt::CaseInsensitive)) {
        const qsizetype letter = appendix.size();
        if (letter + 1 >= text.size() || !isCapital(text[letter])
            || (text[letter + 1] != u'.' && text[letter + 1] != u':'))
            return std::nullopt;
        return labelAt(text, letter, letter + 1, letter + 2);
    }
    if (!isCapital(text[0]) || text.size() < 2)
        return std::nullopt;
    if (text[1] == u'.') {
        const qsizetype end = skipParts(text, 1);
        if (end == 1)
            return std::nullopt; // "A. " is a list item, not an appendix
        const bool finalDot = end < text.size() && text[end] == u'.';
        return labelAt(text, 0, end, finalDot ? end + 1 : end);
    }
    if (text[1] == u' ' && forms == LabelForms::WithBareLetter)
        return labelAt(text, 0, 1, 1);
    return std::nullopt;
}

bool isNumberPrefix(QStringView prefix, QStringView number)
{
    return number.size() > prefix.size() && number.startsWith(prefix) && number[prefix.size()] == u'.';
}

int numberDepth(QStringView number)
{
    return number.isEmpty() ? 0 : int(std::count(number.begin(), number.end(), u'.')) + 1;
}

std::vector<int> enclosingNumbers(const std::vector<QStringView> &numbers)
{
    const auto key = [](QStringView number) { return std::u16string_view(number.utf16(), size_t(number.size())); };
    std::vector<int> parents(numbers.size(), -1);
    // Each number's last index so far. (QHash hashes QStringView keys several times slower.)
    std::unordered_map<std::u16string_view, int> latest;
    latest.reserve(numbers.size());
    for (size_t index = 0; index < numbers.size(); ++index) {
        const QStringView number = numbers[index];
        for (qsizetype dot = number.indexOf(u'.'); dot >= 0; dot = number.indexOf(u'.', dot + 1)) {
            const auto found = latest.find(key(number.first(dot)));
            if (found != latest.end())
                parents[index] = std::max(parents[index], found->second);
        }
        latest[key(number)] = int(index);
    }
    return parents;
}
