#include "linkcard.h"

#include "headingparser.h"

namespace LinkCard {

QString referenceEntry(QStringView text, qint32 position)
{
    if (position < 0 || position >= text.size())
        return {};
    QString entry;
    qsizetype at = position;
    bool firstLine = true;
    while (at < text.size() && entry.size() < MaxLength) {
        qsizetype end = text.indexOf(u'\n', at);
        if (end < 0)
            end = text.size();
        const QStringView line = text.mid(at, end - at);
        const QStringView words = line.trimmed();
        // The next entry starts with its own tag at the indentation of this one.
        if (words.isEmpty() || words.contains(u'\f') || (!firstLine && words.startsWith(u'[')))
            break;
        if (!entry.isEmpty())
            entry += u' ';
        entry += words.toString().simplified();
        firstLine = false;
        at = end + 1;
    }
    if (entry.size() > MaxLength)
        entry = entry.left(MaxLength - 1) + u'…';
    return entry;
}

QString section(const Outline &outline, QStringView number)
{
    const int heading = outline.findSection(number);
    if (heading < 0)
        return {};
    const QString &title = outline.headings[size_t(heading)].text;
    return title.startsWith(QStringLiteral("Appendix")) ? title : QStringLiteral("Section ") + title;
}

} // namespace LinkCard
