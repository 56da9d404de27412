#include "fontsettings.h"

#include "usersettings.h"

namespace {
const QString TextKeyName = QStringLiteral("text");
const QString HeaderKeyName = QStringLiteral("header");
} // namespace

FontSettings::FontSettings(UserSettings &store)
    : m_store(store)
{
}

void FontSettings::read()
{
    text = readRecord(TextKeyName);
    header = readRecord(HeaderKeyName);
}

bool FontSettings::write()
{
    return writeRecord(HeaderKeyName, header) && writeRecord(TextKeyName, text);
}

FontRecord FontSettings::readRecord(const QString &keyName) const
{
    const QString key = SettingsKeyPath + keyName;
    m_store.openKey(key);
    const auto readInt = [&](const char *value, qint32 fallback) {
        return m_store.readInteger(key, QLatin1String(value)).value_or(fallback);
    };
    FontRecord record;
    record.name = m_store.readString(key, QStringLiteral("name")).value_or(QString());
    if (record.name.isEmpty())
        record.name = FontRecord::DefaultFaceName;
    record.charset = readInt("charset", 0);
    record.size = readInt("size", FontRecord::DefaultSize);
    record.color = readInt("color", 0);
    record.bold = readInt("bold", 0) != 0;
    record.italic = readInt("italic", 0) != 0;
    record.underline = readInt("underline", 0) != 0;
    record.strikeOut = readInt("StrikeOut", 0) != 0;
    return record;
}

bool FontSettings::writeRecord(const QString &keyName, const FontRecord &record)
{
    const QString key = SettingsKeyPath + keyName;
    const auto writeInt = [&](const char *value, qint32 number) {
        return m_store.writeInteger(key, QLatin1String(value), number);
    };
    return m_store.openKey(key) && m_store.writeString(key, QStringLiteral("name"), record.name)
           && writeInt("charset", record.charset) && writeInt("size", record.size)
           && writeInt("color", record.color) && writeInt("bold", record.bold)
           && writeInt("italic", record.italic) && writeInt("underline", record.underline)
           && writeInt("StrikeOut", record.strikeOut);
}
