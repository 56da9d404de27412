#include "textsearch.h"

#include <QStringMatcher>

namespace TextSearch {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

bool isWholeWord(QStringView text, qsizetype at, qsizetype length)
{
    const qsizetype end = at + length;
    return (at == 0 || !isWordCharacter(text[at - 1])) && (end == text.size() || !isWordCharacter(text[end]));
}

std::vector<qsizetype> findAll(QStringView text, QStringView needle, SearchOptions options)
{
    std::vector<qsizetype> matches;
    if (needle.isEmpty())
        return matches;
    const QStringMatcher matcher(needle, options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    for (qsizetype at = matcher.indexIn(text); at >= 0; at = matcher.indexIn(text, at + 1)) {
        if (!options.wholeWord || isWholeWord(text, at, needle.size()))
            matches.push_back(at);
    }
    return matches;
}

} // namespace TextSearch
