#pragma once

#include "usersettings.h"

#include <memory>

// UserSettings kept in one text file in registry-export syntax ("REGEDIT4",
// [HKEY_CURRENT_USER\...] sections, "name"="text" and "name"=dword:0000002a).
// The file is read once at construction and replaced atomically on each write.
// Lines it does not understand are kept as they are.
class RegFileSettings : public UserSettings
{
public:
    explicit RegFileSettings(const QString &filePath);
    ~RegFileSettings() override;

    // $XDG_CONFIG_HOME/Tessary software/Folivane/settings.reg, ~/.config by default.
    static QString defaultFilePath();

    QString filePath() const;

    bool openKey(const QString &keyPath) override;
    std::optional<QString> readString(const QString &keyPath, const QString &name) const override;
    std::optional<qint32> readInteger(const QString &keyPath, const QString &name) const override;
    bool writeString(const QString &keyPath, const QString &name, const QString &value) override;
    bool writeInteger(const QString &keyPath, const QString &name, qint32 value) override;

private:
    class Private;
    std::unique_ptr<Private> d;
};
