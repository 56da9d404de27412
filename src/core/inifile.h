#pragma once

#include <QString>
#include <QtGlobal>

// One INI file with private-profile semantics: every call opens the file by
// its path afresh, every write reaches the disk at once (atomically, through a
// temporary file and a rename), and sections and keys keep the order in which
// they were first written.
class IniFile
{
public:
    static constexpr int MaxStringLength = 2047;

    explicit IniFile(QString path);

    QString path() const { return m_path; }

    // The default when the entry is missing or is not an integer.
    qint32 readInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    // At most MaxStringLength characters.
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;

    // Both are false when the file cannot be written.
    bool writeInteger(const QString &section, const QString &key, qint32 value);
    bool writeString(const QString &section, const QString &key, const QString &value);

private:
    QString m_path;
};
