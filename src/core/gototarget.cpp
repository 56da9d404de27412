#include "gototarget.h"

#include <QRegularExpression>

std::optional<GoToTarget> parseGoToTarget(const QString &text, const QStringList &bookmarkNames)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return std::nullopt;
    for (qsizetype slot = 0; slot < bookmarkNames.size(); ++slot) {
        if (bookmarkNames[slot].trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return GoToTarget{GoToTarget::Kind::Bookmark, int(slot), {}};
    }
    static const QRegularExpression page(QStringLiteral("^p(?:age)?\\.?\\s*(\\d{1,9})$"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch match = page.match(wanted); match.hasMatch())
        return GoToTarget{GoToTarget::Kind::Page, match.captured(1).toInt(), {}};
    static const QRegularExpression line(QStringLiteral("^\\d{1,9}$"));
    if (line.match(wanted).hasMatch())
        return GoToTarget{GoToTarget::Kind::Line, wanted.toInt(), {}};
    // A bare number is a line; a section shows itself by its dot, its
    // letter or a word before it. A title may follow a final dot, as the
    // index lists the entry ("3.8.1.  Title").
    static const QRegularExpression section(
        QStringLiteral("^(?:(?:section|appendix|sec\\.?|§)\\s*)?(\\d{1,4}(?:\\.\\d{1,4})*|[A-Z](?:\\.\\d{1,4})*)"
                       "(\\.?)(\\s.*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch match = section.match(wanted);
        match.hasMatch() && (match.captured(3).isEmpty() || !match.captured(2).isEmpty()))
        return GoToTarget{GoToTarget::Kind::Section, 0, match.captured(1).toUpper()};
    return std::nullopt;
}
