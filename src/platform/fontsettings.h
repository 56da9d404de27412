#pragma once

#include "fontrecord.h"

#include <QString>

class UserSettings;

// The program's key in the per-user settings store. The main window keeps its
// values in the key itself; each font record in a subkey named after it.
inline const QString SettingsKeyPath = QStringLiteral("\\Software\\Tessary software\\Folivane\\config\\");

// The two font records every document window uses, kept in the subkeys
// "text" and "header" of the settings key.
class FontSettings
{
public:
    explicit FontSettings(UserSettings &store);

    // Missing or mistyped values read as the defaults.
    void read();
    // False when a value could not be written.
    bool write();

    FontRecord text;
    FontRecord header;

private:
    FontRecord readRecord(const QString &keyName) const;
    bool writeRecord(const QString &keyName, const FontRecord &record);

    UserSettings &m_store;
};
