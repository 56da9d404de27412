#include "fontinfo.h"

#include "settingskey.h"
#include "usersettings.h"

#include <QColor>
#include <QFont>
#include <QPalette>

// Defined in this order so that header_font is destroyed, and written, first.
Tfont_info text_font;
Tfont_info header_font;

namespace {

const QString DefaultFaceName = QStringLiteral("Courier New");
constexpr qint32 DefaultSize = 9;

// The system colours a stored colour may name, by index.
QColor systemColor(int index, const QPalette &palette)
{
    switch (index) {
    case 5: // window
        return palette.color(QPalette::Base);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlight text
        return palette.color(QPalette::HighlightedText);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 17: // grey text
        return palette.color(QPalette::PlaceholderText);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    default: // window text and everything else
        return palette.color(QPalette::Text);
    }
}

} // namespace

Tfont_info::~Tfont_info()
{
    if (m_store)
        write_settings();
}

QString Tfont_info::keyPath() const
{
    return SettingsKeyPath + key_name;
}

void Tfont_info::load(std::shared_ptr<UserSettings> store, const QString &keyName)
{
    m_store = std::move(store);
    key_name = keyName;
    read_settings();
}

void Tfont_info::read_settings()
{
    if (!m_store)
        return;
    const QString key = keyPath();
    m_store->openKey(key);
    const auto readInt = [&](const char *value, qint32 fallback) {
        return m_store->readInteger(key, QLatin1String(value)).value_or(fallback);
    };
    name = m_store->readString(key, QStringLiteral("name")).value_or(QString());
    if (name.isEmpty())
        name = DefaultFaceName;
    charset = readInt("charset", 0);
    size = readInt("size", DefaultSize);
    color = readInt("color", 0);
    bold = readInt("bold", 0) != 0;
    italic = readInt("italic", 0) != 0;
    underline = readInt("underline", 0) != 0;
    strike_out = readInt("StrikeOut", 0) != 0;
}

bool Tfont_info::write_settings()
{
    if (!m_store)
        return false;
    const QString key = keyPath();
    const auto writeInt = [&](const char *value, qint32 number) {
        return m_store->writeInteger(key, QLatin1String(value), number);
    };
    return m_store->openKey(key) && m_store->writeString(key, QStringLiteral("name"), name)
           && writeInt("charset", charset) && writeInt("size", size) && writeInt("color", color)
           && writeInt("bold", bold) && writeInt("italic", italic)
           && writeInt("underline", underline) && writeInt("StrikeOut", strike_out);
}

void Tfont_info::assign_from(const QFont &font, const QColor &fontColor)
{
    name = font.family();
    size = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    color = qint32(fontColor.red() | (fontColor.green() << 8) | (fontColor.blue() << 16));
    bold = font.bold();
    italic = font.italic();
    underline = font.underline();
    strike_out = font.strikeOut();
}

void Tfont_info::apply_to(QFont &font) const
{
    font.setFamily(name);
    // RFCs are laid out in columns: whatever face stands in for a missing one
    // must be fixed-pitch too.
    font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    font.setFixedPitch(true);
    if (size > 0)
        font.setPointSize(size);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strike_out);
}

QColor Tfont_info::qtColor(const QPalette &palette) const
{
    if (color < 0)
        return systemColor(color & 0xff, palette);
    return QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff);
}
