#pragma once

#include <QString>
#include <QtGlobal>

#include <stdexcept>

// Thrown when an entry cannot be written; the caller reports
// "Unable to write to %s" with path().
class IniWriteError : public std::runtime_error
{
public:
    explicit IniWriteError(const QString &path);
    QString path() const { return m_path; }

private:
    QString m_path;
};

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
    qint32 ReadInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    // At most MaxStringLength characters.
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;

    // Both throw IniWriteError when the file cannot be written.
    void WriteInteger(const QString &section, const QString &key, qint32 value);
    void WriteString(const QString &section, const QString &key, const QString &value);

private:
    QString m_path;
};
