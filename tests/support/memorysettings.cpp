#include "memorysettings.h"

QString MemorySettings::id(const QString &keyPath, const QString &name)
{
    QString key = keyPath;
    while (key.endsWith(u'\\'))
        key.chop(1);
    return (key + u'\\' + name).toLower();
}

bool MemorySettings::openKey(const QString &)
{
    return true;
}

std::optional<QString> MemorySettings::readString(const QString &keyPath, const QString &name) const
{
    const QVariant stored = m_values.value(id(keyPath, name));
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    return stored.toString();
}

std::optional<qint32> MemorySettings::readInteger(const QString &keyPath, const QString &name) const
{
    const QVariant stored = m_values.value(id(keyPath, name));
    if (stored.typeId() != QMetaType::Int)
        return std::nullopt;
    return stored.toInt();
}

bool MemorySettings::writeString(const QString &keyPath, const QString &name, const QString &value)
{
    if (failingWrites.contains(name))
        return false;
    writeLog.append(name);
    m_values.insert(id(keyPath, name), value);
    return true;
}

bool MemorySettings::writeInteger(const QString &keyPath, const QString &name, qint32 value)
{
    if (failingWrites.contains(name))
        return false;
    writeLog.append(name);
    m_values.insert(id(keyPath, name), value);
    return true;
}

QVariant MemorySettings::value(const QString &keyPath, const QString &name) const
{
    return m_values.value(id(keyPath, name));
}

void MemorySettings::remove(const QString &keyPath, const QString &name)
{
    m_values.remove(id(keyPath, name));
}
