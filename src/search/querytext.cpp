#include "querytext.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// What FTS5 takes as part of a bare word.
bool isBarewordCharacter(QChar c)
{
    return c.unicode() >= 0x80 || c.isLetterOrNumber() || c == u'_' || c == QChar(0x1a);
}

bool endsWord(QChar c)
{
    return c.isSpace() || c == u'"' || c == u'(' || c == u')';
}

QString quotedIfNeeded(QStringView word)
{
    const bool prefix = word.endsWith(u'*');
    const QStringView core = prefix ? word.chopped(1) : word;
    const bool bare = std::all_of(core.begin(), core.end(), isBarewordCharacter);
    // Syntax of its own (a column filter, "^", "+", a leading "-") is FTS5's to read.
    const bool syntax = core.isEmpty() || core.startsWith(u'-')
                        || std::any_of(core.begin(), core.end(), [](QChar c) {
                               return c == u':' || c == u'^' || c == u'+' || c == u'*' || c == u'{' || c == u'}';
                           });
    if (bare || syntax)
        return word.toString();
    return u'"' + core.toString() + u'"' + (prefix ? QStringLiteral("*") : QString());
}

} // namespace

QString ftsQuery(QStringView userQuery)
{
    QString query;
    const qsizetype n = userQuery.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = userQuery[i];
        if (c == u'"') {
            const qsizetype close = userQuery.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            query += userQuery.mid(i, end - i);
            i = end;
        } else if (endsWord(c)) {
            query += c;
            ++i;
        } else {
            qsizetype end = i;
            while (end < n && !endsWord(userQuery[end]))
                ++end;
            query += quotedIfNeeded(userQuery.mid(i, end - i));
            i = end;
        }
    }
    return query;
}

QString rejectionText(const QString &ftsMessage)
{
    static const QRegularExpression syntax(QStringLiteral("syntax error near \"(.*)\""));
    static const QRegularExpression column(QStringLiteral("no such column: (.*)"));
    const QString understood =
        QStringLiteral("use words, \"quoted phrases\", prefix*, AND, OR, NOT and parentheses");
    if (const QRegularExpressionMatch match = syntax.match(ftsMessage); match.hasMatch()) {
        return match.captured(1).isEmpty()
                   ? QStringLiteral("The search ends too soon: AND, OR, NOT or \"(\" wants more after it")
                   : QStringLiteral("The search cannot be read at \"%1\": %2").arg(match.captured(1), understood);
    }
    if (const QRegularExpressionMatch match = column.match(ftsMessage); match.hasMatch())
        return QStringLiteral("\"%1:\" reads as a column name: put words with a colon in quotes")
            .arg(match.captured(1));
    if (ftsMessage.contains(QLatin1String("unterminated string")))
        return QStringLiteral("A quotation mark is not closed");
    return QStringLiteral("The search cannot be read (%1): %2").arg(ftsMessage, understood);
}
