#pragma once

#include "usersettings.h"

#include <QHash>
#include <QSet>
#include <QVariant>

// Settings held in memory, with writes that can be made to fail by name.
class MemorySettings : public UserSettings
{
public:
    bool openKey(const QString &keyPath) override;
    std::optional<QString> readString(const QString &keyPath, const QString &name) const override;
    std::optional<qint32> readInteger(const QString &keyPath, const QString &name) const override;
    bool writeString(const QString &keyPath, const QString &name, const QString &value) override;
    bool writeInteger(const QString &keyPath, const QString &name, qint32 value) override;

    // A value as stored: a QString, a qint32, or invalid when missing.
    QVariant value(const QString &keyPath, const QString &name) const;
    void remove(const QString &keyPath, const QString &name);

    QSet<QString> failingWrites; // value names whose writes fail
    QStringList writeLog;        // names in the order written

private:
    static QString id(const QString &keyPath, const QString &name);
    QHash<QString, QVariant> m_values;
};
