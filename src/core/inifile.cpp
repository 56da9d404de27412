#include "inifile.h"

// Debian's libsimpleini is built with ICU conversion; its header must be set
// up the same way. Only the char interface is used, which passes UTF-8 through.
#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include <QByteArrayView>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace {

// The data without the entries past each section's first MaxSectionEntries:
// SimpleIni would hold them all, however many. Lines are read as SimpleIni
// reads them; *cut tells whether any entry was left out.
QByteArray firstEntries(const QByteArray &data, bool *cut)
{
    QByteArray kept;
    kept.reserve(data.size());
    QHash<QByteArray, int> entries; // by section, in SimpleIni's letter case
    QByteArray section;
    const auto lineEnd = [](char c) { return c == '\n' || c == '\r'; };
    for (qsizetype at = 0; at < data.size();) {
        qsizetype end = at;
        while (end < data.size() && !lineEnd(data[end]))
            ++end;
        end = std::min(end + 1, data.size()); // with its line break
        const QByteArrayView line = QByteArrayView(data).sliced(at, end - at).trimmed();
        bool keep = true;
        if (line.startsWith('[')) {
            if (const qsizetype close = line.indexOf(']'); close > 0)
                section = line.sliced(1, close - 1).trimmed().toByteArray().toLower();
        } else if (!line.isEmpty() && line[0] != ';' && line[0] != '#' && line[0] != '=' && line.contains('=')) {
            keep = ++entries[section] <= IniContents::MaxSectionEntries;
        }
        if (keep)
            kept.append(data.constData() + at, end - at);
        else
            *cut = true;
        at = end;
    }
    return kept;
}

bool isQuoted(const QString &text)
{
    return text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"');
}

// SimpleIni trims blanks around a value, so such a value is stored in double
// quotes, and reading strips one surrounding pair (as Windows does). A value
// that itself begins and ends with a quote is quoted too, so it keeps them.
QString stored(QString value)
{
    // An entry is one line: line breaks in the value become blanks.
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    if (!value.isEmpty() && (blank(value.front()) || blank(value.back()) || isQuoted(value)))
        return u'"' + value + u'"';
    return value;
}

} // namespace

struct IniContents::Data
{
    CSimpleIniA ini;
    bool readable = true;
    bool cut = false;
    bool setFailed = false;

    std::optional<QString> value(const QString &section, const QString &key) const
    {
        const char *value = ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
        if (!value)
            return {};
        // Not fromUtf8(): it drops a leading U+FEFF as a byte order mark, and a
        // value that begins with one would not read back as written.
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString text = utf8.decode(QByteArrayView(value));
        return isQuoted(text) ? text.mid(1, text.size() - 2) : text;
    }

    void setValue(const QString &section, const QString &key, const QString &value)
    {
        // SimpleIni saves sections and keys in load order, new ones last.
        if (ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(), value.toUtf8().constData()) < 0)
            setFailed = true;
    }
};

IniContents::IniContents(QString path)
    : m_path(std::move(path))
    , m_data(std::make_unique<Data>())
{
    m_data->ini.SetUnicode(true);
    m_data->ini.SetSpaces(false); // "key=value", as Windows writes it
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_data->readable = !file.exists();
        return;
    }
    QByteArray data = file.readAll();
    // SimpleIni stops at a NUL byte; this lets it read on past binary garbage.
    data.replace('\0', '\n');
    data = firstEntries(data, &m_data->cut);
    m_data->ini.LoadData(data.constData(), size_t(data.size()));
}

IniContents::~IniContents() = default;

bool IniContents::isReadable() const
{
    return m_data->readable;
}

bool IniContents::isCut() const
{
    return m_data->cut;
}

qint32 IniContents::readInteger(const QString &section, const QString &key, qint32 defaultValue) const
{
    const std::optional<QString> value = m_data->value(section, key);
    if (!value)
        return defaultValue;
    static const QRegularExpression integer(QStringLiteral("\\A[+-]?[0-9]+\\z"));
    const QString text = value->trimmed();
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok, 10);
    if (!ok || !integer.match(text).hasMatch() || number < std::numeric_limits<qint32>::min()
        || number > std::numeric_limits<qint32>::max())
        return defaultValue;
    return qint32(number);
}

QString IniContents::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    QString text = m_data->value(section, key).value_or(defaultValue);
    if (text.size() > MaxStringLength) {
        text.truncate(MaxStringLength);
        if (text.back().isHighSurrogate())
            text.chop(1); // never half a character
    }
    return text;
}

void IniContents::writeInteger(const QString &section, const QString &key, qint32 value)
{
    m_data->setValue(section, key, QString::number(value));
}

void IniContents::writeString(const QString &section, const QString &key, const QString &value)
{
    m_data->setValue(section, key, stored(value));
}

bool IniContents::save() const
{
    std::string data;
    QSaveFile file(m_path);
    return m_data->readable && !m_data->setFailed
            && m_data->ini.Save(data) >= 0
            && file.open(QIODevice::WriteOnly)
            && file.write(data.data(), qint64(data.size())) == qint64(data.size())
            && file.flush() // commit() misses a failed flush (QTBUG-75077)
            && file.commit();
}

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{
}

qint32 IniFile::readInteger(const QString &section, const QString &key, qint32 defaultValue) const
{
    return IniContents(m_path).readInteger(section, key, defaultValue);
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return IniContents(m_path).readString(section, key, defaultValue);
}

bool IniFile::writeInteger(const QString &section, const QString &key, qint32 value)
{
    IniContents contents(m_path);
    contents.writeInteger(section, key, value);
    return contents.save();
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    IniContents contents(m_path);
    contents.writeString(section, key, value);
    return contents.save();
}
