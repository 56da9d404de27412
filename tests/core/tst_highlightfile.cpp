#include "highlightfile.h"
#include "rangetable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <climits>

namespace {

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList Entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestHighlightFile : public QObject
{
    Q_OBJECT

private slots:
    void longNames();
    void readHighlightFile_data();
    void readHighlightFile();
    void readMissingOrUnopenable();
    void writeHighlightFile_data();
    void writeHighlightFile();
    void writeReplacesOldFile();
    void failedWriteKeepsOldFile();
    void deleteHighlightFile();
};

void TestHighlightFile::longNames()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    // Longer than the old 260-character limit: must reach the named file itself.
    const QString deep = dir.filePath(QString(200, 'a') + '/' + QString(200, 'b'));
    QVERIFY(QDir().mkpath(deep));
    const QString longName = deep + "/target";
    QVERIFY(longName.size() > 260);
    QVERIFY(HighlightFile::write(longName, {{1, 2}}));
    QCOMPARE(HighlightFile::read(longName), std::optional(Table{{1, 2}}));

    // Runs of slashes pad a name to any length without changing what it names;
    // cut short, these names would name a shorter file in the same folder.
    const auto padded = [&](qsizetype length) {
        const QString stem = dir.path() + '/';
        const QString leaf = QStringLiteral("victim");
        return stem + QString(length - stem.size() - leaf.size(), '/') + leaf;
    };
    const QStringList before = Entries(dir.path());

    const QString tooLong = padded(PATH_MAX + 3);
    QCOMPARE(QFile::encodeName(tooLong).size(), qsizetype(PATH_MAX + 3));
    QVERIFY(!HighlightFile::write(tooLong, {{1, 2}}));
    QCOMPARE(Entries(dir.path()), before);


    // An embedded NUL would cut the name just the same.
    QVERIFY(!HighlightFile::write(dir.filePath(QStringLiteral("cut") + QChar(0) + "rest"), {{1, 2}}));
    QVERIFY(!QFileInfo::exists(dir.filePath("cut")));
    QVERIFY(!QFileInfo::exists(dir.filePath("cut.tmp")));
}

void TestHighlightFile::readHighlightFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Table>("expected");

    const auto hex = [](const char *text) { return QByteArray::fromHex(text); };

    QTest::newRow("empty file") << QByteArray() << Table{};
    QTest::newRow("short header") << hex("0100") << Table{};
    QTest::newRow("header only") << hex("01000000") << Table{};
    QTest::newRow("header and half a range") << hex("01000000 0a000000") << Table{};
    QTest::newRow("header and 7 bytes") << hex("01000000 0a000000 190000") << Table{};
    QTest::newRow("one range") << hex("01000000 0a000000 19000000") << Table{{10, 25}};
    QTest::newRow("one range and 1 byte") << hex("01000000 0a000000 19000000 28") << Table{{10, 25}};
    QTest::newRow("one range and 4 bytes") << hex("01000000 0a000000 19000000 28000000") << Table{{10, 25}};
    QTest::newRow("one range and 7 bytes") << hex("01000000 0a000000 19000000 28000000 2c0000") << Table{{10, 25}};
    QTest::newRow("two ranges") << hex("01000000 0a000000 19000000 28000000 2c000000") << Table{{10, 25}, {40, 44}};
    QTest::newRow("header value not looked at") << hex("07070707 0a000000 19000000") << Table{{10, 25}};
    QTest::newRow("byte order") << hex("01000000 04030201 00000080") << Table{{0x01020304, qint32(0x80000000)}};
    QTest::newRow("negative") << hex("01000000 ffffffff feffffff") << Table{{-1, -2}};
    QTest::newRow("stored as found, unchecked") << hex("01000000 1e000000 0a000000 05000000 05000000")
                                                << Table{{30, 10}, {5, 5}};
}

void TestHighlightFile::readHighlightFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Table, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("doc_hl");
    QVERIFY(WriteBytes(path, bytes));
    QCOMPARE(HighlightFile::read(path), std::optional<Table>(expected));
}

void TestHighlightFile::readMissingOrUnopenable()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(HighlightFile::read(dir.filePath("missing")), std::optional<Table>(Table{}));
    QCOMPARE(HighlightFile::read(dir.filePath("no/such/folder/doc_hl")), std::optional<Table>(Table{}));
    QVERIFY(QDir(dir.path()).mkdir("folder_hl"));
    QCOMPARE(HighlightFile::read(dir.filePath("folder_hl")), std::nullopt);
    QCOMPARE(Entries(dir.path()), QStringList{"folder_hl"});
}

void TestHighlightFile::writeHighlightFile_data()
{
    QTest::addColumn<Table>("ranges");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("two ranges") << Table{{10, 25}, {40, 44}}
                                << QByteArray::fromHex("01000000 0a000000 19000000 28000000 2c000000");
    QTest::newRow("header only") << Table{} << QByteArray::fromHex("01000000");
    QTest::newRow("byte order and sign") << Table{{0x01020304, -2}}
                                         << QByteArray::fromHex("01000000 04030201 feffffff");
}

void TestHighlightFile::writeHighlightFile()
{
    QFETCH(Table, ranges);
    QFETCH(QByteArray, bytes);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("doc_hl");
    QVERIFY(HighlightFile::write(path, ranges));
    QCOMPARE(ReadBytes(path), bytes);
    QCOMPARE(Entries(dir.path()), QStringList{"doc_hl"});
    QCOMPARE(HighlightFile::read(path), std::optional<Table>(ranges));
}

void TestHighlightFile::writeReplacesOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("doc_hl");
    // Longer than the new contents, so a write in place would leave a tail.
    QVERIFY(WriteBytes(path, QByteArray(64, '\x55')));
    // A stale temporary file from an interrupted write is simply reused.
    QVERIFY(WriteBytes(path + ".tmp", "stale"));

    QVERIFY(HighlightFile::write(path, {{1, 2}}));
    QCOMPARE(ReadBytes(path), QByteArray::fromHex("01000000 01000000 02000000"));
    QCOMPARE(Entries(dir.path()), QStringList{"doc_hl"});
}

void TestHighlightFile::failedWriteKeepsOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray old = QByteArray::fromHex("01000000 0a000000 19000000");
    const Table ranges{{1, 2}, {3, 4}};

    // A folder stands where the temporary file would go: it cannot be
    // created, and the folder is not ours to remove.
    const QString path = dir.filePath("doc_hl");
    QVERIFY(WriteBytes(path, old));
    QVERIFY(QDir(dir.path()).mkdir("doc_hl.tmp"));
    QVERIFY(!HighlightFile::write(path, ranges));
    QCOMPARE(ReadBytes(path), old);
    QVERIFY(QFileInfo(path + ".tmp").isDir());
    QCOMPARE(Entries(dir.path()), QStringList({"doc_hl", "doc_hl.tmp"}));

    // The temporary file is written but cannot replace the target (a folder
    // that is not empty): the temporary file must go again.
    const QString blocked = dir.filePath("blocked_hl");
    QVERIFY(QDir().mkpath(blocked + "/inside"));
    QVERIFY(!HighlightFile::write(blocked, ranges));
    QVERIFY(QFileInfo(blocked + "/inside").isDir());
    QVERIFY(!QFileInfo::exists(blocked + ".tmp"));

    // The folder is missing: nothing is created.
    QVERIFY(!HighlightFile::write(dir.filePath("gone/doc_hl"), ranges));
    QCOMPARE(Entries(dir.path()), QStringList({"blocked_hl", "doc_hl", "doc_hl.tmp"}));
}

void TestHighlightFile::deleteHighlightFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("doc_hl");
    QVERIFY(WriteBytes(path, QByteArray::fromHex("01000000")));

    QVERIFY(HighlightFile::remove(path));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(HighlightFile::remove(path)); // already gone
    QVERIFY(HighlightFile::remove(dir.filePath("gone/doc_hl")));

    // Something that exists but is not a removable file.
    QVERIFY(QDir(dir.path()).mkdir("folder_hl"));
    QVERIFY(!HighlightFile::remove(dir.filePath("folder_hl")));
    QVERIFY(QFileInfo(dir.filePath("folder_hl")).isDir());
}

QTEST_GUILESS_MAIN(TestHighlightFile)
#include "tst_highlightfile.moc"
