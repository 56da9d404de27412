// Bytes -> a document's state INI file -> IniFile reads of the keys the
// reader uses, then a string and an integer written and read back.
//
// The whole input is the file. The string written is the input's last line
// (after its last "\n", at most 200 bytes, as UTF-8): the mutator reaches it
// easily, and a bookmark name can hold whatever the user types. NUL becomes
// U+FFFD in it: no text field hands the reader a NUL. Which key is written
// follows from the input's size.

#include "fuzzsupport.h"
#include "inifile.h"

#include <QStringList>

#include <iterator>
#include <utility>

namespace {

struct Entry
{
    const char *section;
    const char *key;
};

// The sections and keys of the per-document state file.
constexpr Entry entries[] = {
    {"bookmark", "count"}, {"bookmark", "0"},         {"bookmark", "1"},  {"bookmark_name", "0"},
    {"bookmark_name", "1"}, {"bookmark", "curr_line"}, {"win", "left"},
};

QString sectionOf(const Entry &e) { return QString::fromLatin1(e.section); }
QString keyOf(const Entry &e) { return QString::fromLatin1(e.key); }

QString expectedRead(QString value)
{
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    if (value.size() > IniFile::MaxStringLength) {
        value.truncate(IniFile::MaxStringLength);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

void checkRead(const QString &text)
{
    FUZZ_CHECK(text.size() <= IniFile::MaxStringLength);
    FUZZ_CHECK(text.isEmpty() || !text.back().isHighSurrogate());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::scratchPath(QStringLiteral("rfc9999.txt.ini"));
    fuzz::writeBytes(path, bytes);

    IniFile ini(path);
    QStringList before;
    for (const Entry &e : entries) {
        const QString text = ini.readString(sectionOf(e), keyOf(e), QStringLiteral("<none>"));
        checkRead(text);
        // Reading has no side effects: the same answer twice.
        FUZZ_CHECK(ini.readString(sectionOf(e), keyOf(e), QStringLiteral("<none>")) == text);
        const qint32 number = ini.readInteger(sectionOf(e), keyOf(e), -7);
        FUZZ_CHECK(ini.readInteger(sectionOf(e), keyOf(e), -7) == number);
        before << text;
    }

    const qsizetype lastBreak = bytes.lastIndexOf('\n');
    QString value = QString::fromUtf8(bytes.mid(lastBreak + 1).left(200));
    value.replace(QChar(u'\0'), QChar(QChar::ReplacementCharacter));
    const size_t stringEntry = size % std::size(entries);
    const size_t integerEntry = (size / std::size(entries)) % std::size(entries);
    const qint32 number = qint32(size * 2654435761u);

    // The scratch file is ours and readable: a write must go through.
    FUZZ_CHECK(ini.writeString(sectionOf(entries[stringEntry]), keyOf(entries[stringEntry]), value));
    if (integerEntry != stringEntry)
        FUZZ_CHECK(ini.writeInteger(sectionOf(entries[integerEntry]), keyOf(entries[integerEntry]), number));

    for (size_t i = 0; i < std::size(entries); ++i) {
        const Entry &e = entries[i];
        const QString text = ini.readString(sectionOf(e), keyOf(e), QStringLiteral("<none>"));
        checkRead(text);
        if (i == stringEntry)
            FUZZ_CHECK(text == expectedRead(value));
        else if (i == integerEntry)
            FUZZ_CHECK(ini.readInteger(sectionOf(e), keyOf(e), -7) == number);
        else
            FUZZ_CHECK(text == before[qsizetype(i)]); // the other entries are left alone
    }
    return 0;
}
