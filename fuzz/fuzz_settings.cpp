// Bytes -> settings.reg -> RegFileSettings: typed reads of the values the
// reader keeps, then a string and an integer written, and the file loaded
// afresh in a new RegFileSettings must give back what was written and leave
// every other value as it was.
//
// The whole input is the file. The string written is the input's last line
// (after its last "\n", at most 200 bytes, as UTF-8); a string holding "\r"
// must be refused. Which names are written follows from the input's size.

#include "fuzzsupport.h"
#include "regfilesettings.h"

#include <iterator>
#include <optional>
#include <vector>

namespace {

const QString mainKey = QStringLiteral("\\Software\\Tessary software\\Folivane\\config\\");
const QString textKey = mainKey + QStringLiteral("text");
const QString headerKey = mainKey + QStringLiteral("header");

struct Name
{
    const QString *key;
    const char *name;
};

const Name names[] = {
    {&mainKey, "show_toolbar"}, {&mainKey, "main_height"}, {&mainKey, "main_width"},
    {&textKey, "name"},         {&textKey, "size"},        {&headerKey, "name"},
    {&headerKey, "StrikeOut"},
};

struct Values
{
    std::vector<std::optional<QString>> strings;
    std::vector<std::optional<qint32>> integers;
};

Values readAll(const RegFileSettings &settings)
{
    Values v;
    for (const Name &n : names) {
        const QString name = QString::fromLatin1(n.name);
        const std::optional<QString> string = settings.readString(*n.key, name);
        const std::optional<qint32> integer = settings.readInteger(*n.key, name);
        // A value is of one type: never both.
        FUZZ_CHECK(!(string && integer));
        v.strings.push_back(string);
        v.integers.push_back(integer);
    }
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::scratchPath(QStringLiteral("settings.reg"));
    fuzz::writeBytes(path, bytes);

    const qsizetype lastBreak = bytes.lastIndexOf('\n');
    const QString value = QString::fromUtf8(bytes.mid(lastBreak + 1).left(200));
    const size_t stringName = size % std::size(names);
    const size_t integerName = (size / std::size(names)) % std::size(names);
    const qint32 number = qint32(size * 2654435761u);

    Values before;
    {
        RegFileSettings settings(path);
        before = readAll(settings);
        // Loading the same file again gives the same answers.
        const Values again = readAll(RegFileSettings(path));
        FUZZ_CHECK(again.strings == before.strings && again.integers == before.integers);

        const Name &s = names[stringName];
        const bool refused = value.contains(u'\r');
        FUZZ_CHECK(settings.writeString(*s.key, QString::fromLatin1(s.name), value) == !refused);
        if (!refused) {
            before.strings[stringName] = value;
            before.integers[stringName].reset();
        }
        if (integerName != stringName) {
            const Name &i = names[integerName];
            FUZZ_CHECK(settings.writeInteger(*i.key, QString::fromLatin1(i.name), number));
            before.integers[integerName] = number;
            before.strings[integerName].reset();
        }
        // Memory and file agree before any reload.
        const Values now = readAll(settings);
        FUZZ_CHECK(now.strings == before.strings && now.integers == before.integers);
    }

    const Values reloaded = readAll(RegFileSettings(path));
    FUZZ_CHECK(reloaded.strings == before.strings);
    FUZZ_CHECK(reloaded.integers == before.integers);
    return 0;
}
