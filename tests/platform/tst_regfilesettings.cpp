#include "regfilesettings.h"
#include "diskfull.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

using Int = std::optional<qint32>;
using Str = std::optional<QString>;
Q_DECLARE_METATYPE(Int)
Q_DECLARE_METATYPE(Str)

namespace {

const QString configKey = u"\\Software\\Tessary software\\Folivane\\config\\"_s;
const QString textKey = u"\\Software\\Tessary software\\Folivane\\config\\text"_s;

const QByteArray exampleText = "REGEDIT4\n"
                               "\n"
                               "[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config]\n"
                               "\"show_toolbar\"=dword:00000001\n"
                               "\"main_height\"=dword:000002d0\n"
                               "\n"
                               "[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config\\text]\n"
                               "\"name\"=\"Courier New\"\n";

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool putContents(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}
} // namespace

class TestRegFileSettings : public QObject
{
    Q_OBJECT

private slots:
    void writesRegistryExportText();
    void roundTrip_data();
    void roundTrip();
    void keysAndNamesIgnoreCase();
    void openKey();
    void keepsLinesItDoesNotUnderstand();
    void readsDamagedFile_data();
    void readsDamagedFile();
    void fileWhereFolderShouldBe();
    void diskFullLeavesFileAndMemoryAlone();
    void defaultFilePath();
};

void TestRegFileSettings::writesRegistryExportText()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"settings.reg"_s);

    RegFileSettings settings(path);
    QCOMPARE(settings.filePath(), path);
    QVERIFY(settings.writeInteger(configKey, u"show_toolbar"_s, 1));
    QVERIFY(settings.writeInteger(configKey, u"main_height"_s, 720));
    QVERIFY(settings.writeString(textKey, u"name"_s, u"Courier New"_s));
    QCOMPARE(contents(path), exampleText);

    // Rewriting a value in place changes only its line.
    QVERIFY(settings.writeInteger(configKey, u"show_toolbar"_s, 1));
    QCOMPARE(contents(path), exampleText);

    const RegFileSettings reread(path);
    QCOMPARE(reread.readInteger(configKey, u"show_toolbar"_s), Int(1));
    QCOMPARE(reread.readInteger(configKey, u"main_height"_s), Int(720));
    QCOMPARE(reread.readString(textKey, u"name"_s), Str(u"Courier New"_s));
    QCOMPARE(reread.readString(configKey, u"missing"_s), Str());
    QCOMPARE(reread.readInteger(u"\\Software\\Elsewhere"_s, u"main_height"_s), Int());
}

void TestRegFileSettings::roundTrip_data()
{
    QTest::addColumn<bool>("isString");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<QByteArray>("line");

    const auto string = [](const char *tag, const QString &text, const QByteArray &line) {
        QTest::newRow(tag) << true << text << 0 << line;
    };
    const auto number = [](const char *tag, qint32 value, const QByteArray &line) {
        QTest::newRow(tag) << false << QString() << value << line;
    };
    string("plain", u"Courier New"_s, R"("v"="Courier New")");
    string("empty", QString(), R"("v"="")");
    string("backslashes", u"C:\\RFC\\rfc1.txt\\"_s, R"("v"="C:\\RFC\\rfc1.txt\\")");
    string("quotes", u"say \"hi\""_s, R"("v"="say \"hi\"")");
    string("lone quote", u"\""_s, R"("v"="\"")");
    string("outer blanks", u"  a = b ; c  "_s, R"("v"="  a = b ; c  ")");
    string("brackets", u"[x]"_s, R"("v"="[x]")");
    string("looks like a dword", u"dword:00000001"_s, R"("v"="dword:00000001")");
    string("digits", u"42"_s, R"("v"="42")");
    string("utf-8", u"Tüxen 奥"_s, QByteArray(R"("v"="Tüxen 奥")"));
    number("zero", 0, R"("v"=dword:00000000)");
    number("one", 1, R"("v"=dword:00000001)");
    number("720", 720, R"("v"=dword:000002d0)");
    number("minus one", -1, R"("v"=dword:ffffffff)");
    number("minus 720", -720, R"("v"=dword:fffffd30)");
    number("max", std::numeric_limits<qint32>::max(), R"("v"=dword:7fffffff)");
    number("min", std::numeric_limits<qint32>::min(), R"("v"=dword:80000000)");
}

void TestRegFileSettings::roundTrip()
{
    QFETCH(bool, isString);
    QFETCH(QString, text);
    QFETCH(qint32, number);
    QFETCH(QByteArray, line);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"settings.reg"_s);
    const QString v = u"v"_s;
    {
        RegFileSettings settings(path);
        QVERIFY(isString ? settings.writeString(configKey, v, text) : settings.writeInteger(configKey, v, number));
    }
    QVERIFY2(contents(path).split('\n').contains(line), contents(path).constData());

    const RegFileSettings reread(path);
    if (isString) {
        QCOMPARE(reread.readString(configKey, v), Str(text));
        QCOMPARE(reread.readInteger(configKey, v), Int());
    } else {
        QCOMPARE(reread.readInteger(configKey, v), Int(number));
        QCOMPARE(reread.readString(configKey, v), Str());
    }
}

void TestRegFileSettings::keysAndNamesIgnoreCase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"settings.reg"_s);

    RegFileSettings settings(path);
    QVERIFY(settings.writeString(u"\\Software\\Tessary\\Config"_s, u"Font_Name"_s,
                                 u"Courier"_s));
    QCOMPARE(settings.readString(u"software\\TESSARY\\config\\\\"_s, u"FONT_NAME"_s),
             Str(u"Courier"_s));

    // The same value under another spelling, now as an integer: it replaces
    // the string and keeps the first spelling of key and name.
    QVERIFY(settings.writeInteger(u"SOFTWARE\\tessary\\CONFIG"_s, u"font_name"_s, 12));
    QCOMPARE(contents(path), QByteArray("REGEDIT4\n"
                                        "\n"
                                        "[HKEY_CURRENT_USER\\Software\\Tessary\\Config]\n"
                                        "\"Font_Name\"=dword:0000000c\n"));
    const RegFileSettings reread(path);
    QCOMPARE(reread.readInteger(u"\\software\\tessary\\config"_s, u"font_NAME"_s), Int(12));
    QCOMPARE(reread.readString(u"\\software\\tessary\\config"_s, u"font_NAME"_s), Str());
}

void TestRegFileSettings::openKey()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"settings.reg"_s);

    RegFileSettings settings(path);
    QVERIFY(settings.openKey(textKey));
    const QByteArray created = "REGEDIT4\n"
                               "\n"
                               "[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config\\text]\n";
    QCOMPARE(contents(path), created);

    QVERIFY(settings.openKey(textKey.toUpper() + u'\\'));
    QCOMPARE(contents(path), created);
    QCOMPARE(settings.readString(textKey, u"name"_s), Str());

    QVERIFY(settings.writeString(textKey, u"name"_s, u"Courier New"_s));
    QCOMPARE(contents(path), created + "\"name\"=\"Courier New\"\n");
}

void TestRegFileSettings::keepsLinesItDoesNotUnderstand()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"settings.reg"_s);
    QVERIFY(putContents(path, "REGEDIT4\r\n"
                              "; written by hand\r\n"
                              "\r\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Tessary software\\Folivane\\config]\r\n"
                              "\"main_height\"=dword:00000100\r\n"
                              "\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config]\r\n"
                              "\"show_toolbar\"=dword:0000000A\r\n"
                              "\"colors\"=hex:01,02,03\r\n"
                              "some garbage\r\n"
                              "  \"main_height\" = dword:000002D0  \r\n"
                              "\r\n"
                              "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"));

    RegFileSettings settings(path);
    QCOMPARE(settings.readInteger(configKey, u"show_toolbar"_s), Int(10));
    QCOMPARE(settings.readInteger(configKey, u"main_height"_s), Int(720));
    QCOMPARE(settings.readInteger(configKey, u"colors"_s), Int());
    QCOMPARE(settings.readString(configKey, u"colors"_s), Str());

    QVERIFY(settings.writeInteger(configKey, u"show_toolbar"_s, 0));
    QVERIFY(settings.writeString(configKey, u"added"_s, u"x"_s));
    QCOMPARE(contents(path), QByteArray("REGEDIT4\n"
                                        "; written by hand\n"
                                        "\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\Tessary software\\Folivane\\config]\n"
                                        "\"main_height\"=dword:00000100\n"
                                        "\n"
                                        "[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config]\n"
                                        "\"show_toolbar\"=dword:00000000\n"
                                        "\"colors\"=hex:01,02,03\n"
                                        "some garbage\n"
                                        "  \"main_height\" = dword:000002D0  \n"
                                        "\"added\"=\"x\"\n"
                                        "\n"
                                        "[-HKEY_CURRENT_USER\\Software\\Old]\n"));

    // A value of a type it cannot read is still replaced by a write of that name.
    QVERIFY(settings.writeString(configKey, u"colors"_s, u"none"_s));
    QVERIFY(contents(path).contains("\n\"colors\"=\"none\"\nsome garbage\n"));
    QVERIFY(!contents(path).contains("hex:"));
}

void TestRegFileSettings::readsDamagedFile_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<Int>("a");  // "a" as an integer
    QTest::addColumn<Str>("b");  // "b" as a string

    const QByteArray header = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\F]\n";
    QTest::newRow("sound") << header + "\"a\"=dword:00000005\n\"b\"=\"text\"\n" << Int(5) << Str(u"text"_s);
    QTest::newRow("truncated in a string")
            << header + "\"a\"=dword:00000005\n\"b\"=\"Cour" << Int(5) << Str();
    QTest::newRow("truncated in a dword") << header + "\"b\"=\"text\"\n\"a\"=dword:000" << Int() << Str(u"text"_s);
    QTest::newRow("truncated in a header") << header + "\"a\"=dword:00000005\n[HKEY_CURRENT_USER\\Softw"
                                           << Int(5) << Str();
    QTest::newRow("no header line") << QByteArray("[HKEY_CURRENT_USER\\Software\\F]\n\"a\"=dword:00000005\n")
                                    << Int(5) << Str();
    QTest::newRow("empty file") << QByteArray() << Int() << Str();
    QTest::newRow("short dword") << header + "\"a\"=dword:0005\n\"b\"=\"ok\"\n" << Int() << Str(u"ok"_s);
    QTest::newRow("long dword") << header + "\"a\"=dword:000000005\n" << Int() << Str();
    QTest::newRow("not hex") << header + "\"a\"=dword:0000000g\n" << Int() << Str();
    QTest::newRow("signed hex") << header + "\"a\"=dword:+0000005\n" << Int() << Str();
    QTest::newRow("unknown escape") << header + "\"b\"=\"a\\qb\"\n\"a\"=dword:00000001\n" << Int(1) << Str();
    QTest::newRow("junk after string") << header + "\"b\"=\"x\" y\n" << Int() << Str();
    QTest::newRow("unquoted name") << header + "a=dword:00000001\nb=\"x\"\n" << Int() << Str();
    // Repeats: the last one counts, as when such a file is imported.
    QTest::newRow("repeated value") << header + "\"a\"=dword:00000001\n\"A\"=dword:00000002\n" << Int(2) << Str();
    QTest::newRow("repeated section") << header + "\"a\"=dword:00000001\n[hkey_current_user\\software\\f\\]\n\"a\"=dword:00000003\n"
                                      << Int(3) << Str();
    QTest::newRow("value outside a section") << QByteArray("REGEDIT4\n\"a\"=dword:00000001\n") << Int() << Str();
    const char garbage[] = "\x00\xff\xfe\x01[\x00]\n\xc3\x28\"\x00\"=\"\n";
    QTest::newRow("binary garbage")
            << QByteArray(garbage, sizeof garbage - 1) + header
                    + "\"a\"=dword:00000007\n\xff\xff\n\"b\"=\"t\xc3\xbcxen\"\n"
            << Int(7) << Str(u"tüxen"_s);
}

void TestRegFileSettings::readsDamagedFile()
{
    QFETCH(QByteArray, data);
    QFETCH(Int, a);
    QFETCH(Str, b);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"settings.reg"_s);
    QVERIFY(putContents(path, data));
    const QString key = u"\\Software\\F\\"_s;

    RegFileSettings settings(path);
    QCOMPARE(settings.readInteger(key, u"a"_s), a);
    QCOMPARE(settings.readString(key, u"b"_s), b);

    // A write keeps every line it did not touch, byte for byte and in order.
    QVERIFY(settings.writeString(u"\\Software\\G"_s, u"new"_s, u"n"_s));
    const QByteArray written = contents(path);
    qsizetype from = 0;
    for (const QByteArray &line : data.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        from = written.indexOf(line, from);
        QVERIFY2(from >= 0, line.toHex().constData());
        from += line.size();
    }
    const RegFileSettings reread(path);
    QCOMPARE(reread.readInteger(key, u"a"_s), a);
    QCOMPARE(reread.readString(key, u"b"_s), b);
    QCOMPARE(reread.readString(u"\\Software\\G"_s, u"new"_s), Str(u"n"_s));
}

void TestRegFileSettings::fileWhereFolderShouldBe()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString blocker = dir.filePath(u"Folivane"_s);
    QVERIFY(putContents(blocker, "not a folder"));
    const QString path = blocker + u"/settings.reg"_s;

    RegFileSettings settings(path);
    QVERIFY(!settings.writeString(textKey, u"name"_s, u"Courier New"_s));
    QVERIFY(!settings.writeInteger(configKey, u"show_toolbar"_s, 1));
    QVERIFY(!settings.openKey(configKey));
    QCOMPARE(settings.readString(textKey, u"name"_s), Str());
    QCOMPARE(settings.readInteger(configKey, u"show_toolbar"_s), Int());
    QCOMPARE(contents(blocker), QByteArray("not a folder"));
}

void TestRegFileSettings::diskFullLeavesFileAndMemoryAlone()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"settings.reg"_s);
    QVERIFY(putContents(path, exampleText));

    RegFileSettings settings(path);
    {
        DiskFull full;
        QVERIFY(full.active());
        QVERIFY(!settings.writeInteger(configKey, u"main_height"_s, 1));
        QVERIFY(!settings.writeString(configKey, u"failed"_s, u"x"_s));
        QVERIFY(!settings.openKey(u"\\Software\\Failed"_s));
    }
    QCOMPARE(contents(path), exampleText);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"settings.reg"_s});
    QCOMPARE(settings.readInteger(configKey, u"main_height"_s), Int(720));
    QCOMPARE(settings.readString(configKey, u"failed"_s), Str());

    // Nothing of the failed writes lingers in memory to surface with the next one.
    QVERIFY(settings.writeString(textKey, u"name"_s, u"Arial"_s));
    QByteArray expected = exampleText;
    expected.replace("Courier New", "Arial");
    QCOMPARE(contents(path), expected);
}

void TestRegFileSettings::defaultFilePath()
{
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray savedHome = qgetenv("HOME");
    const auto restore = qScopeGuard([&] {
        if (savedConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedConfig);
        qputenv("HOME", savedHome);
    });
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    const QString path = RegFileSettings::defaultFilePath();
    QCOMPARE(path, dir.path() + u"/Tessary software/Folivane/settings.reg"_s);
    // The first write creates the missing folders.
    RegFileSettings settings(path);
    QVERIFY(settings.writeInteger(configKey, u"show_toolbar"_s, 1));
    QCOMPARE(RegFileSettings(path).readInteger(configKey, u"show_toolbar"_s), Int(1));

    qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", dir.path().toUtf8());
    QCOMPARE(RegFileSettings::defaultFilePath(),
             dir.path() + u"/.config/Tessary software/Folivane/settings.reg"_s);
}

QTEST_GUILESS_MAIN(TestRegFileSettings)
#include "tst_regfilesettings.moc"
