#pragma once

#include "fontrecord.h"
#include "settingnames.h"

#include <QString>

class UserSettings;

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
