#include "citation.h"

#include "documentname.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

// "RFC 793" for "rfc0793.txt" or "RFC793", else an empty string: only a file
// named "rfc" and its number, with nothing else around it, is cited as an RFC.
QString rfcName(QStringView name)
{
    if (!name.startsWith(u"rfc", Qt::CaseInsensitive) || std::any_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); }))
        return {};
    const std::optional<DocumentName> document = DocumentName::parse(name);
    return document && document->kind() == DocumentName::Kind::Rfc ? document->displayName() : QString();
}

QString documentName(QStringView fileName)
{
    const QStringView name = fileName.sliced(fileName.lastIndexOf(u'/') + 1);
    const QString rfc = rfcName(name);
    if (!rfc.isEmpty())
        return rfc;
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > 0 ? name.first(dot) : name).toString();
}

QStringView withoutTrailingBlanks(QStringView line)
{
    while (!line.isEmpty() && (line.back().isSpace()))
        line.chop(1);
    return line;
}

qsizetype indentOf(QStringView line)
{
    qsizetype indent = 0;
    while (indent < line.size() && line[indent].isSpace())
        ++indent;
    return indent;
}

} // namespace

QString citation(QStringView fileName, QStringView section)
{
    QString result = documentName(fileName);
    section = section.trimmed();
    while (section.endsWith(u'.'))
        section.chop(1);
    if (section.isEmpty())
        return result;
    result += section.front().isLetter() ? u", Appendix " : u", Section ";
    result += section;
    return result;
}

QString quotedCitation(QStringView citation, QStringView selectedText)
{
    QList<QStringView> lines;
    for (QStringView line : selectedText.split(u'\n'))
        lines.append(withoutTrailingBlanks(line));
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    while (!lines.isEmpty() && lines.front().isEmpty())
        lines.removeFirst();
    if (lines.isEmpty())
        return citation.toString();

    // Blank lines are empty by now; form feeds and tabs count as blanks.
    qsizetype shared = std::numeric_limits<qsizetype>::max();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines[i].isEmpty())
            shared = std::min(shared, indentOf(lines[i]));
    }
    QString quoted = citation.toString();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i].sliced(i == 0 ? indentOf(lines[i]) : std::min(shared, lines[i].size()));
        quoted += line.isEmpty() ? u"\n>" : u"\n> ";
        quoted += line;
    }
    return quoted;
}
