#include "inifile.h"
#include "diskfull.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

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

QStringList nonBlankLines(const QString &path)
{
    QStringList lines = QString::fromUtf8(contents(path)).split(u'\n');
    lines.removeAll(QString());
    return lines;
}
} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void missingEntriesGiveDefaults();
    void readInteger_data();
    void readInteger();
    void integersRoundTrip();
    void maxStringLength_data();
    void maxStringLength();
    void stringsRoundTrip_data();
    void stringsRoundTrip();
    void keepsOrderOfFirstWrite();
    void seesChangesOnDisk();
    void readsDamagedFile();
    void writeFailure_data();
    void writeFailure();
    void diskFullKeepsOldFile();
    void sectionKeepsItsFirstEntries_data();
    void sectionKeepsItsFirstEntries();
};

void TestIniFile::missingEntriesGiveDefaults()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const IniFile missing(dir.filePath(u"missing.ini"_s));
    QCOMPARE(missing.readInteger(u"s"_s, u"k"_s, 77), 77);
    QCOMPARE(missing.readString(u"s"_s, u"k"_s, u"dflt"_s), u"dflt"_s);

    const QString path = dir.filePath(u"f.ini"_s);
    QVERIFY(putContents(path, "[s]\nk=1\nempty=\n"));
    const IniFile ini(path);
    QCOMPARE(ini.readInteger(u"s"_s, u"other"_s, 77), 77);
    QCOMPARE(ini.readInteger(u"other"_s, u"k"_s, 77), 77);
    QCOMPARE(ini.readString(u"other"_s, u"k"_s, u"dflt"_s), u"dflt"_s);
    QCOMPARE(ini.readInteger(u"s"_s, u"empty"_s, 77), 77);
    QCOMPARE(ini.readString(u"s"_s, u"empty"_s, u"dflt"_s), QString());
    QCOMPARE(ini.readInteger(u"S"_s, u"K"_s, 77), 1);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint32>("expected");

    const qint32 dflt = 77;
    QTest::newRow("plain") << QByteArray("12") << 12;
    QTest::newRow("blanks") << QByteArray(" \t12 \t") << 12;
    QTest::newRow("negative") << QByteArray("-5") << -5;
    QTest::newRow("plus") << QByteArray("+7") << 7;
    QTest::newRow("leading zeros") << QByteArray("007") << 7;
    QTest::newRow("quoted") << QByteArray("\" 42 \"") << 42;
    QTest::newRow("max") << QByteArray("2147483647") << std::numeric_limits<qint32>::max();
    QTest::newRow("min") << QByteArray("-2147483648") << std::numeric_limits<qint32>::min();
    QTest::newRow("above max") << QByteArray("2147483648") << dflt;
    QTest::newRow("below min") << QByteArray("-2147483649") << dflt;
    QTest::newRow("huge") << QByteArray("99999999999999999999") << dflt;
    QTest::newRow("trailing letters") << QByteArray("12abc") << dflt;
    QTest::newRow("empty") << QByteArray() << dflt;
    QTest::newRow("word") << QByteArray("abc") << dflt;
    QTest::newRow("two numbers") << QByteArray("1 2") << dflt;
    QTest::newRow("hex") << QByteArray("0x10") << dflt;
    QTest::newRow("fraction") << QByteArray("1.5") << dflt;
    QTest::newRow("sign only") << QByteArray("-") << dflt;
    QTest::newRow("two signs") << QByteArray("+-1") << dflt;
    QTest::newRow("fullwidth digits") << QByteArray("１２") << dflt;
}

void TestIniFile::readInteger()
{
    QFETCH(QByteArray, text);
    QFETCH(qint32, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"f.ini"_s);
    QVERIFY(putContents(path, "[s]\nk=" + text + "\n"));
    QCOMPARE(IniFile(path).readInteger(u"s"_s, u"k"_s, 77), expected);
}

void TestIniFile::integersRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    IniFile ini(dir.filePath(u"f.ini"_s));
    for (const qint32 value : {0, -1, 720, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()}) {
        ini.writeInteger(u"s"_s, u"k"_s, value);
        QCOMPARE(ini.readInteger(u"s"_s, u"k"_s, 77), value);
        QCOMPARE(ini.readString(u"s"_s, u"k"_s, QString()), QString::number(value));
    }
}

void TestIniFile::maxStringLength_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("expectedLength");

    QTest::newRow("2046") << QString(2046, u'x') << 2046;
    QTest::newRow("2047") << QString(2047, u'x') << 2047;
    QTest::newRow("2048") << QString(2048, u'x') << 2047;
    QTest::newRow("10000") << QString(10000, u'x') << 2047;
    QTest::newRow("pair across the limit") << QString(2046, u'x') + u"😀"_s << 2046;
    QTest::newRow("pair before the limit") << QString(2045, u'x') + u"😀😀"_s << 2047;
}

void TestIniFile::maxStringLength()
{
    QFETCH(QString, written);
    QFETCH(int, expectedLength);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    IniFile ini(dir.filePath(u"f.ini"_s));
    ini.writeString(u"s"_s, u"k"_s, written);
    const QString read = ini.readString(u"s"_s, u"k"_s, QString());
    QCOMPARE(read.size(), expectedLength);
    QVERIFY(written.startsWith(read));
    // Only reading is limited: the file holds all of it.
    QVERIFY(contents(ini.path()).contains(written.toUtf8()));
}

void TestIniFile::stringsRoundTrip_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("expected");

    const auto same = [](const char *tag, const QString &text) { QTest::newRow(tag) << text << text; };
    same("plain", u"Courier New"_s);
    same("everything", u"  a = b ; c # d, \"q\"  "_s);
    same("utf-8", u"Tüxen 奥"_s);
    same("empty", QString());
    same("blank", u" "_s);
    same("tab", u"\tx"_s);
    same("quoted", u"\"quoted\""_s);
    same("quote pair", u"\"\""_s);
    same("lone quote", u"\""_s);
    same("leading quote", u"\"a"_s);
    same("trailing quote", u"a\""_s);
    same("comment chars", u";x # y"_s);
    same("hash first", u"#x"_s);
    same("equals", u"=a=b="_s);
    same("section-like", u"[s]"_s);
    same("heredoc-like", u"<<<END"_s);
    same("backslash", u"C:\\RFC\\"_s);
    QTest::newRow("LF") << u"a\nb"_s << u"a b"_s;
    QTest::newRow("CRLF") << u"a\r\nb"_s << u"a b"_s;
    QTest::newRow("CR") << u"a\rb"_s << u"a b"_s;
    QTest::newRow("trailing LF") << u"a\n"_s << u"a "_s;
    QTest::newRow("entry-like line") << u"a\n[s]\nk=v"_s << u"a [s] k=v"_s;
}

void TestIniFile::stringsRoundTrip()
{
    QFETCH(QString, written);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"f.ini"_s);
    IniFile(path).writeString(u"s"_s, u"v"_s, written);
    QCOMPARE(IniFile(path).readString(u"s"_s, u"v"_s, u"dflt"_s), expected);

    // Rewriting the file for other entries leaves the value as it was.
    IniFile(path).writeInteger(u"s"_s, u"after"_s, 1);
    IniFile(path).writeString(u"t"_s, u"v"_s, written);
    QCOMPARE(IniFile(path).readString(u"s"_s, u"v"_s, u"dflt"_s), expected);
    QCOMPARE(IniFile(path).readString(u"t"_s, u"v"_s, u"dflt"_s), expected);
    QCOMPARE(IniFile(path).readInteger(u"s"_s, u"after"_s, 0), 1);
    QCOMPARE(IniFile(path).readString(u"s"_s, u"k"_s, u"dflt"_s), u"dflt"_s);
}

void TestIniFile::keepsOrderOfFirstWrite()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    IniFile ini(dir.filePath(u"f.ini"_s));
    ini.writeInteger(u"win"_s, u"left"_s, 10);
    ini.writeInteger(u"bookmark"_s, u"curr_line"_s, 5);
    ini.writeInteger(u"bookmark"_s, u"count"_s, 1);
    ini.writeString(u"bookmark"_s, u"0"_s, u"rfc1.txt"_s);
    ini.writeString(u"bookmark_name"_s, u"0"_s, u"first"_s);
    // Updates, spelled differently, stay where the entry was first written.
    ini.writeInteger(u"WIN"_s, u"LEFT"_s, 20);
    ini.writeInteger(u"bookmark"_s, u"curr_line"_s, 6);
    QCOMPARE(nonBlankLines(ini.path()),
             (QStringList{u"[win]"_s, u"left=20"_s, u"[bookmark]"_s, u"curr_line=6"_s, u"count=1"_s, u"0=rfc1.txt"_s,
                          u"[bookmark_name]"_s, u"0=first"_s}));

    // The order of a file written by someone else is kept; new entries go last.
    QVERIFY(putContents(ini.path(), "; notes\n\n[z]\nb=1\na=2\n\n[a]\ny=1\nx=2\n"));
    ini.writeInteger(u"a"_s, u"w"_s, 3);
    ini.writeInteger(u"z"_s, u"c"_s, 3);
    ini.writeInteger(u"m"_s, u"k"_s, 3);
    QCOMPARE(nonBlankLines(ini.path()),
             (QStringList{u"; notes"_s, u"[z]"_s, u"b=1"_s, u"a=2"_s, u"c=3"_s, u"[a]"_s, u"y=1"_s, u"x=2"_s, u"w=3"_s,
                          u"[m]"_s, u"k=3"_s}));
}

void TestIniFile::seesChangesOnDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"f.ini"_s);
    const IniFile ini(path);
    QCOMPARE(ini.readInteger(u"s"_s, u"k"_s, 77), 77);

    QVERIFY(putContents(path, "[s]\nk=1\n"));
    QCOMPARE(ini.readInteger(u"s"_s, u"k"_s, 77), 1);
    QVERIFY(putContents(path, "[s]\nk=2\nother=x\n"));
    QCOMPARE(ini.readInteger(u"s"_s, u"k"_s, 77), 2);

    IniFile writer(path);
    writer.writeString(u"s"_s, u"k"_s, u"3"_s);
    QCOMPARE(ini.readInteger(u"s"_s, u"k"_s, 77), 3);
    // A write starts from the file as it is now, not as it was.
    QCOMPARE(ini.readString(u"s"_s, u"other"_s, QString()), u"x"_s);

    QVERIFY(QFile::remove(path));
    QCOMPARE(ini.readInteger(u"s"_s, u"k"_s, 77), 77);
}

void TestIniFile::readsDamagedFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"f.ini"_s);
    const char data[] = "\x01\x02 garbage\xff\xfe\n"
                        "[s]\n"
                        "not an entry\n"
                        "=no key\n"
                        "a=1\n"
                        "\x00\x00\xff binary\x00\n"
                        "b=t\xc3\xbcxen\n"
                        "[t]\n"
                        "c=3";
    QVERIFY(putContents(path, QByteArray(data, sizeof data - 1)));

    IniFile ini(path);
    QCOMPARE(ini.readInteger(u"s"_s, u"a"_s, 77), 1);
    QCOMPARE(ini.readString(u"s"_s, u"b"_s, QString()), u"tüxen"_s);
    QCOMPARE(ini.readInteger(u"t"_s, u"c"_s, 77), 3);

    ini.writeInteger(u"t"_s, u"d"_s, 4);
    QCOMPARE(ini.readInteger(u"s"_s, u"a"_s, 77), 1);
    QCOMPARE(ini.readString(u"s"_s, u"b"_s, QString()), u"tüxen"_s);
    QCOMPARE(ini.readInteger(u"t"_s, u"c"_s, 77), 3);
    QCOMPARE(ini.readInteger(u"t"_s, u"d"_s, 77), 4);
}

void TestIniFile::writeFailure_data()
{
    QTest::addColumn<QString>("blocker");  // made a file or folder, per the next column
    QTest::addColumn<bool>("blockerIsFolder");
    QTest::addColumn<QString>("relativePath");

    QTest::newRow("missing folder") << QString() << false << u"missing/f.ini"_s;
    QTest::newRow("folder where the file should be") << u"f.ini"_s << true << u"f.ini"_s;
    QTest::newRow("file where the folder should be") << u"sub"_s << false << u"sub/f.ini"_s;
}

void TestIniFile::writeFailure()
{
    QFETCH(QString, blocker);
    QFETCH(bool, blockerIsFolder);
    QFETCH(QString, relativePath);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!blocker.isEmpty())
        QVERIFY(blockerIsFolder ? QDir(dir.path()).mkdir(blocker) : putContents(dir.filePath(blocker), "keep"));
    const QString path = dir.filePath(relativePath);
    IniFile ini(path);

    QVERIFY(!ini.writeInteger(u"s"_s, u"k"_s, 1));
    QVERIFY(!ini.writeString(u"s"_s, u"k"_s, u"v"_s));
    QCOMPARE(ini.readString(u"s"_s, u"k"_s, u"dflt"_s), u"dflt"_s);
    if (!blocker.isEmpty() && !blockerIsFolder)
        QCOMPARE(contents(dir.filePath(blocker)), QByteArray("keep"));
    QCOMPARE(QFileInfo(path).isDir(), blockerIsFolder);
}

void TestIniFile::diskFullKeepsOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"f.ini"_s);
    IniFile ini(path);
    ini.writeString(u"s"_s, u"k"_s, u"old"_s);
    const QByteArray before = contents(path);

    {
        DiskFull full;
        QVERIFY(full.active());
        QVERIFY(!ini.writeString(u"s"_s, u"k"_s, u"new"_s));
    }
    QCOMPARE(contents(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"f.ini"_s});
    QCOMPARE(ini.readString(u"s"_s, u"k"_s, QString()), u"old"_s);
}

void TestIniFile::sectionKeepsItsFirstEntries_data()
{
    QTest::addColumn<QByteArray>("lineBreak");
    QTest::addColumn<QByteArray>("header"); // repeated before every entry when not empty

    QTest::newRow("line feeds") << QByteArray("\n") << QByteArray();
    QTest::newRow("carriage returns alone") << QByteArray("\r") << QByteArray();
    QTest::newRow("section repeated in other letter case") << QByteArray("\n") << QByteArray("[S]");
}

// A state file of a million entries was held whole, and written back whole.
void TestIniFile::sectionKeepsItsFirstEntries()
{
    QFETCH(QByteArray, lineBreak);
    QFETCH(QByteArray, header);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"f.ini"_s);
    constexpr int Max = IniContents::MaxSectionEntries;
    QByteArray data = "[s]" + lineBreak + "; not an entry" + lineBreak;
    for (int n = 0; n < Max + 5; ++n) {
        if (!header.isEmpty())
            data += header + lineBreak;
        data += 'k' + QByteArray::number(n) + '=' + QByteArray::number(n) + lineBreak;
    }
    data += "[t]" + lineBreak + "k=7" + lineBreak;
    QVERIFY(putContents(path, data));

    IniContents contents(path);
    QVERIFY(contents.isCut());
    QCOMPARE(contents.readInteger(u"s"_s, u"k%1"_s.arg(Max - 1), -1), Max - 1);
    QCOMPARE(contents.readInteger(u"s"_s, u"k%1"_s.arg(Max), -1), -1);
    QCOMPARE(contents.readInteger(u"t"_s, u"k"_s, -1), 7);
    contents.writeInteger(u"t"_s, u"new"_s, 8);
    QVERIFY(contents.save());

    const IniContents again(path);
    QVERIFY(!again.isCut());
    QCOMPARE(again.readInteger(u"s"_s, u"k0"_s, -1), 0);
    QCOMPARE(again.readInteger(u"s"_s, u"k%1"_s.arg(Max - 1), -1), Max - 1);
    QCOMPARE(again.readInteger(u"t"_s, u"k"_s, -1), 7);
    QCOMPARE(again.readInteger(u"t"_s, u"new"_s, -1), 8);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
