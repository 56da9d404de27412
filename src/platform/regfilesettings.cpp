#include "regfilesettings.h"

#include "userfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

namespace {

const QString rootKey = QStringLiteral("HKEY_CURRENT_USER");

// monostate: a value of a type we do not read (hex:, a damaged dword, ...).
using Value = std::variant<std::monostate, QString, qint32>;

struct Line
{
    QByteArray raw;              // as read, or as last written; no line break
    std::optional<QString> name; // none when the line is not a "name"=value line
    Value value;
};

struct Section
{
    QByteArray raw;             // the "[...]" line; empty for the lines before the first one
    std::optional<QString> key; // the path below HKEY_CURRENT_USER; none for other hives
    std::vector<Line> lines;
};

QString normalisedKey(const QString &path)
{
    qsizetype begin = 0;
    qsizetype end = path.size();
    while (begin < end && path[begin] == u'\\')
        ++begin;
    while (end > begin && path[end - 1] == u'\\')
        --end;
    return path.mid(begin, end - begin);
}

bool isKey(const Section &section, const QString &key)
{
    return section.key && section.key->compare(key, Qt::CaseInsensitive) == 0;
}

std::optional<QString> hkcuKey(const QString &header)
{
    if (!header.startsWith(rootKey, Qt::CaseInsensitive))
        return {};
    const QString rest = header.mid(rootKey.size());
    if (!rest.isEmpty() && !rest.startsWith(u'\\'))
        return {};
    return normalisedKey(rest);
}

QString quoted(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + text + u'"';
}

// Reads a quoted string starting at text[pos]; pos ends past the closing quote.
// Only \\ and \" are escapes, as in regedit's own files.
std::optional<QString> readQuoted(QStringView text, qsizetype &pos)
{
    if (pos >= text.size() || text[pos] != u'"')
        return {};
    QString result;
    for (++pos; pos < text.size(); ++pos) {
        QChar c = text[pos];
        if (c == u'"') {
            ++pos;
            return result;
        }
        if (c == u'\\') {
            if (++pos == text.size() || (text[pos] != u'\\' && text[pos] != u'"'))
                return {};
            c = text[pos];
        }
        result += c;
    }
    return {};
}

void skipBlanks(QStringView text, qsizetype &pos)
{
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t'))
        ++pos;
}

Value parseValue(QStringView text)
{
    if (text.startsWith(u'"')) {
        qsizetype end = 0;
        const std::optional<QString> string = readQuoted(text, end);
        if (string && end == text.size())
            return *string;
    } else if (text.startsWith(u"dword:", Qt::CaseInsensitive) && text.size() == 14) {
        const QStringView digits = text.mid(6);
        const bool hex = std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        });
        if (hex)
            return qint32(digits.toUInt(nullptr, 16)); // two's complement for negatives
    }
    return {};
}

// text is raw decoded from UTF-8 and trimmed.
Line parseLine(const QByteArray &raw, const QString &text)
{
    qsizetype pos = 0;
    const std::optional<QString> name = readQuoted(text, pos);
    if (!name)
        return {raw, {}, {}};
    skipBlanks(text, pos);
    if (pos == text.size() || text[pos] != u'=')
        return {raw, {}, {}};
    skipBlanks(text, ++pos);
    return {raw, name, parseValue(QStringView(text).mid(pos))};
}

QByteArray valueLine(const QString &name, const Value &value)
{
    QString text = quoted(name) + u'=';
    if (const QString *string = std::get_if<QString>(&value))
        text += quoted(*string);
    else
        text += QStringLiteral("dword:%1").arg(quint32(std::get<qint32>(value)), 8, 16, QChar(u'0'));
    return text.toUtf8();
}

} // namespace

class RegFileSettings::Private
{
public:
    QString filePath;
    std::vector<Section> sections; // sections[0] holds the lines before the first "[...]"

    void load();
    bool save() const;
    Section *findSection(const QString &keyPath);
    Section &keySection(const QString &keyPath);
    Line *findLine(const QString &keyPath, const QString &name);
    bool write(const QString &keyPath, const QString &name, const Value &value);
};

void RegFileSettings::Private::load()
{
    sections.push_back({});
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray data = file.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    bool first = true;
    for (QByteArray raw : data.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString text = QString::fromUtf8(raw).trimmed();
        // Blank lines are layout only: save() puts one before each section.
        if (text.isEmpty())
            continue;
        if (std::exchange(first, false) && text == u"REGEDIT4")
            continue;
        if (text.startsWith(u'[') && text.endsWith(u']'))
            sections.push_back({raw, hkcuKey(text.mid(1, text.size() - 2).trimmed()), {}});
        else
            sections.back().lines.push_back(parseLine(raw, text));
    }
}

bool RegFileSettings::Private::save() const
{
    QByteArray out = "REGEDIT4\n";
    for (const Section &section : sections) {
        if (!section.raw.isEmpty())
            out += '\n' + section.raw + '\n';
        for (const Line &line : section.lines)
            out += line.raw + '\n';
    }
    if (!QDir().mkpath(QFileInfo(filePath).absolutePath()))
        return false;
    QSaveFile file(filePath);
    // commit() alone does not notice a flush that failed (QTBUG-75077) and
    // would put a truncated file in place; without commit() nothing is replaced.
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.flush() && file.commit();
}

Section *RegFileSettings::Private::findSection(const QString &keyPath)
{
    const QString key = normalisedKey(keyPath);
    Section *found = nullptr;
    for (Section &section : sections) {
        if (isKey(section, key))
            found = &section;
    }
    return found;
}

Section &RegFileSettings::Private::keySection(const QString &keyPath)
{
    if (Section *section = findSection(keyPath))
        return *section;
    const QString key = normalisedKey(keyPath);
    const QString header = key.isEmpty() ? rootKey : rootKey + u'\\' + key;
    return sections.emplace_back(Section{'[' + header.toUtf8() + ']', key, {}});
}

// Of repeated values the last one counts, as when such a file is imported.
Line *RegFileSettings::Private::findLine(const QString &keyPath, const QString &name)
{
    const QString key = normalisedKey(keyPath);
    Line *found = nullptr;
    for (Section &section : sections) {
        if (!isKey(section, key))
            continue;
        for (Line &line : section.lines) {
            if (line.name && line.name->compare(name, Qt::CaseInsensitive) == 0)
                found = &line;
        }
    }
    return found;
}

bool RegFileSettings::Private::write(const QString &keyPath, const QString &name, const Value &value)
{
    const std::vector<Section> before = sections;
    if (Line *line = findLine(keyPath, name)) {
        line->raw = valueLine(*line->name, value);
        line->value = value;
    } else {
        keySection(keyPath).lines.push_back({valueLine(name, value), name, value});
    }
    if (save())
        return true;
    sections = before; // memory keeps agreeing with the file
    return false;
}

RegFileSettings::RegFileSettings(const QString &filePath)
    : d(std::make_unique<Private>())
{
    d->filePath = filePath;
    d->load();
}

RegFileSettings::~RegFileSettings() = default;

QString RegFileSettings::defaultFilePath()
{
    return folivaneFolder(UserFolder::Config) + QStringLiteral("/settings.reg");
}

QString RegFileSettings::filePath() const
{
    return d->filePath;
}

bool RegFileSettings::openKey(const QString &keyPath)
{
    if (d->findSection(keyPath))
        return true;
    d->keySection(keyPath);
    if (d->save())
        return true;
    d->sections.pop_back();
    return false;
}

std::optional<QString> RegFileSettings::readString(const QString &keyPath, const QString &name) const
{
    if (const Line *line = d->findLine(keyPath, name)) {
        if (const QString *string = std::get_if<QString>(&line->value))
            return *string;
    }
    return {};
}

std::optional<qint32> RegFileSettings::readInteger(const QString &keyPath, const QString &name) const
{
    if (const Line *line = d->findLine(keyPath, name)) {
        if (const qint32 *number = std::get_if<qint32>(&line->value))
            return *number;
    }
    return {};
}

bool RegFileSettings::writeString(const QString &keyPath, const QString &name, const QString &value)
{
    // A line break would split the "name"="text" line; REGEDIT4 text has no escape for it.
    if (value.contains(u'\n') || value.contains(u'\r'))
        return false;
    return d->write(keyPath, name, value);
}

bool RegFileSettings::writeInteger(const QString &keyPath, const QString &name, qint32 value)
{
    return d->write(keyPath, name, value);
}
