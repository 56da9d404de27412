#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

// The entries of one INI file as a single read found them. Changes stay in
// memory until save() writes the whole file at once (atomically, through a
// temporary file and a rename); sections and keys keep the order in which
// they were first written.
class IniContents
{
public:
    static constexpr int MaxStringLength = 2047;
    // A section keeps its first entries; the rest are not read, and a save
    // leaves them out. State files hold a few hundred at most.
    static constexpr int MaxSectionEntries = 10000;

    // Reads the file if there is one.
    explicit IniContents(QString path);
    ~IniContents();

    // False when the file exists but cannot be read: a save would lose it.
    bool isReadable() const;
    // True when a section held more than MaxSectionEntries entries.
    bool isCut() const;

    // The default when the entry is missing or is not an integer.
    qint32 readInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    // At most MaxStringLength characters.
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;

    void writeInteger(const QString &section, const QString &key, qint32 value);
    void writeString(const QString &section, const QString &key, const QString &value);

    // False when the file cannot be written or was not readable.
    bool save() const;

private:
    struct Data;
    QString m_path;
    std::unique_ptr<Data> m_data;
};

// One INI file with private-profile semantics: every call opens the file by
// its path afresh and every write reaches the disk at once.
class IniFile
{
public:
    static constexpr int MaxStringLength = IniContents::MaxStringLength;

    explicit IniFile(QString path);

    QString path() const { return m_path; }

    qint32 readInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;

    // Both are false when the file cannot be written.
    bool writeInteger(const QString &section, const QString &key, qint32 value);
    bool writeString(const QString &section, const QString &key, const QString &value);

private:
    QString m_path;
};
