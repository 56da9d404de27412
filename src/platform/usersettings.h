#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The per-user settings store: keys named by a backslash path (as under
// HKEY_CURRENT_USER), each holding typed values. Strings and 32-bit integers
// are kept apart: a value written as one type never reads as the other.
class UserSettings
{
public:
    virtual ~UserSettings() = default;

    // Makes sure the key exists; false when it could not be created.
    virtual bool openKey(const QString &keyPath) = 0;

    // Empty when the value is missing or holds another type.
    virtual std::optional<QString> readString(const QString &keyPath, const QString &name) const = 0;
    virtual std::optional<qint32> readInteger(const QString &keyPath, const QString &name) const = 0;

    // False when the value could not be stored.
    virtual bool writeString(const QString &keyPath, const QString &name, const QString &value) = 0;
    virtual bool writeInteger(const QString &keyPath, const QString &name, qint32 value) = 0;
};
