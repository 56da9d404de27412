#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QColor;
class QFont;
class QPalette;
class UserSettings;

// One font setting, kept in a subkey of the settings key.
class Tfont_info
{
public:
    Tfont_info() = default;
    Tfont_info(const Tfont_info &) = delete;
    Tfont_info &operator=(const Tfont_info &) = delete;
    // Writes the record back when it was loaded from a store.
    virtual ~Tfont_info();

    // Remembers the store and key name, then reads the settings.
    void load(std::shared_ptr<UserSettings> store, const QString &keyName);
    void read_settings();
    // False when a value could not be written.
    bool write_settings();

    void assign_from(const QFont &font, const QColor &color);
    // Sets the font from the record; the colour goes separately, see qtColor().
    void apply_to(QFont &font) const;
    // The record's colour: 0x00BBGGRR, or a system colour when the top bit is set.
    QColor qtColor(const QPalette &palette) const;

    QString name;
    qint32 charset = 0;
    qint32 size = 0;
    qint32 color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
    QString key_name;

private:
    QString keyPath() const;

    std::shared_ptr<UserSettings> m_store;
};

// Process-wide: the font of each document's text and of its section headings.
extern Tfont_info text_font;
extern Tfont_info header_font;
