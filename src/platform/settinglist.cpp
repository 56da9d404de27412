#include "settinglist.h"

#include "fontsettings.h"
#include "usersettings.h"

SettingList::SettingList(UserSettings &store, QString name, int capacity)
    : m_store(store)
    , m_name(std::move(name))
    , m_capacity(capacity)
{
}

QString SettingList::valueName(int index) const
{
    return m_name + u'_' + QString::number(index);
}

QStringList SettingList::read() const
{
    QStringList entries;
    for (int index = 0; index < m_capacity; ++index) {
        const QString entry = m_store.readString(SettingsKeyPath, valueName(index)).value_or(QString());
        if (entry.isEmpty())
            break;
        entries << entry;
    }
    return entries;
}

bool SettingList::write(const QStringList &entries, QString *failedValue)
{
    const auto failed = [&](int index) {
        if (failedValue)
            *failedValue = valueName(index);
        return false;
    };
    QStringList kept;
    for (const QString &entry : entries) {
        if (!entry.isEmpty() && !entry.contains(u'\n') && !entry.contains(u'\r') && kept.size() < m_capacity)
            kept << entry;
    }
    const int stored = int(read().size());
    if (!m_store.openKey(SettingsKeyPath))
        return failed(0);
    for (int index = 0; index < std::max(int(kept.size()), stored); ++index) {
        if (!m_store.writeString(SettingsKeyPath, valueName(index), kept.value(index)))
            return failed(index);
    }
    return true;
}
