#include "inifile.h"

// Debian's libsimpleini is built with ICU conversion; its header must be set
// up the same way. Only the char interface is used, which passes UTF-8 through.
#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

#include <limits>
#include <string>
#include <utility>

namespace {

// Loads the file if there is one; false when it exists but cannot be read.
bool load(CSimpleIniA &ini, const QString &path)
{
    ini.SetUnicode(true);
    ini.SetSpaces(false); // "key=value", as Windows writes it
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return !file.exists();
    QByteArray data = file.readAll();
    // SimpleIni stops at a NUL byte; this lets it read on past binary garbage.
    data.replace('\0', '\n');
    ini.LoadData(data.constData(), size_t(data.size()));
    return true;
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

std::optional<QString> readValue(const QString &path, const QString &section, const QString &key)
{
    CSimpleIniA ini;
    load(ini, path);
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

bool writeValue(const QString &path, const QString &section, const QString &key, const QString &value)
{
    CSimpleIniA ini;
    std::string data;
    QSaveFile file(path);
    // SimpleIni saves sections and keys in load order, new ones last.
    const bool written = load(ini, path)
            && ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(),
                            value.toUtf8().constData()) >= 0
            && ini.Save(data) >= 0
            && file.open(QIODevice::WriteOnly)
            && file.write(data.data(), qint64(data.size())) == qint64(data.size())
            && file.flush() // commit() misses a failed flush (QTBUG-75077)
            && file.commit();
    return written;
}

} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{
}

qint32 IniFile::readInteger(const QString &section, const QString &key, qint32 defaultValue) const
{
    const std::optional<QString> value = readValue(m_path, section, key);
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

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    QString text = readValue(m_path, section, key).value_or(defaultValue);
    if (text.size() > MaxStringLength) {
        text.truncate(MaxStringLength);
        if (text.back().isHighSurrogate())
            text.chop(1); // never half a character
    }
    return text;
}

bool IniFile::writeInteger(const QString &section, const QString &key, qint32 value)
{
    return writeValue(m_path, section, key, QString::number(value));
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    return writeValue(m_path, section, key, stored(value));
}
