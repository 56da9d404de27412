#include "fontsettings.h"

#include "usersettings.h"

namespace {
const QString TextKeyName = QLatin1String(SettingNames::TextFontKey);
const QString HeaderKeyName = QLatin1String(SettingNames::HeaderFontKey);
} // namespace

using namespace SettingNames;

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
    record.name = m_store.readString(key, QLatin1String(FontName)).value_or(QString());
    if (record.name.isEmpty())
        record.name = FontRecord::DefaultFaceName;
    record.charset = readInt(FontCharset, 0);
    record.size = readInt(FontSize, DefaultFontSize);
    record.color = readInt(FontColor, 0);
    record.bold = readInt(FontBold, 0) != 0;
    record.italic = readInt(FontItalic, 0) != 0;
    record.underline = readInt(FontUnderline, 0) != 0;
    record.strikeOut = readInt(FontStrikeOut, 0) != 0;
    return record;
}

bool FontSettings::writeRecord(const QString &keyName, const FontRecord &record)
{
    const QString key = SettingsKeyPath + keyName;
    const auto writeInt = [&](const char *value, qint32 number) {
        return m_store.writeInteger(key, QLatin1String(value), number);
    };
    return m_store.openKey(key) && m_store.writeString(key, QLatin1String(FontName), record.name)
           && writeInt(FontCharset, record.charset) && writeInt(FontSize, record.size)
           && writeInt(FontColor, record.color) && writeInt(FontBold, record.bold)
           && writeInt(FontItalic, record.italic) && writeInt(FontUnderline, record.underline)
           && writeInt(FontStrikeOut, record.strikeOut);
}
