#pragma once

#include <QStringList>

class UserSettings;

// A list of strings kept as the values name_0, name_1, ... of the settings
// key. The store cannot delete a value, so the list ends at its first empty
// string, and a shorter list writes empty strings over the old tail.
class SettingList
{
public:
    SettingList(UserSettings &store, QString name, int capacity);

    QStringList read() const;
    // At most capacity entries; an entry with a line break is never stored.
    // A failure names the value it could not write in *failedValue.
    bool write(const QStringList &entries, QString *failedValue = nullptr);

private:
    QString valueName(int index) const;

    UserSettings &m_store;
    QString m_name;
    int m_capacity;
};
