#include "inifile.h"
#include "rfcdoc.h"
#include "statefolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// State-file names and the bookmarks' stored form.
class TestRfcDoc : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void init() { temp_dir = m_dir.path() + u'/'; }

    void stateFileNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("windows path") << QStringLiteral("C:\\rfc\\rfc2616.txt") << QStringLiteral("C__rfc_rfc2616_txt");
        QTest::newRow("linux path") << QStringLiteral("/home/ann/rfc/rfc2616.txt")
                                    << QStringLiteral("_home_ann_rfc_rfc2616_txt");
        QTest::newRow("letter case and blanks stay") << QStringLiteral("/Docs/My RFC.TXT")
                                                     << QStringLiteral("_Docs_My RFC_TXT");
    }

    void stateFileNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        Crfc_doc doc;
        doc.Init(path);
        QCOMPARE(doc.DocPath(), path);
        QCOMPARE(doc.IniPath(), temp_dir + name);
        QCOMPARE(doc.HlPath(), temp_dir + name + QStringLiteral("_hl"));
        // Paths that differ only in separators against "_" share their state.
        QCOMPARE(StateFileName(QStringLiteral("D:\\a.b")), StateFileName(QStringLiteral("D:\\a_b")));
    }

    void bookmarksRenumberInSlotOrder()
    {
        Crfc_doc doc;
        doc.Init(QStringLiteral("/docs/rfc1.txt"));
        doc.bookmarks[0] = {0, QStringLiteral("Intro")};
        doc.bookmarks[3] = {311, QStringLiteral("Security = ; # \"x\"  ")};
        doc.bookmark_count = 2;
        doc.SaveBookmarks();
        const IniFile ini(doc.IniPath());
        QCOMPARE(ini.ReadInteger(QStringLiteral("bookmark"), QStringLiteral("count"), -1), 2);
        QCOMPARE(ini.ReadInteger(QStringLiteral("bookmark"), QStringLiteral("1"), -1), 311);

        Crfc_doc again;
        again.Init(QStringLiteral("/docs/rfc1.txt"));
        QCOMPARE(again.bookmark_count, 2);
        QCOMPARE(again.bookmarks[0].name, QStringLiteral("Intro"));
        QCOMPARE(again.bookmarks[1].line, 311);
        QCOMPARE(again.bookmarks[1].name, QStringLiteral("Security = ; # \"x\"  "));
        QVERIFY(again.bookmarks[2].isFree());
    }

    void storedCountRules()
    {
        const QString path = QStringLiteral("/docs/rfc2.txt");
        IniFile ini(StateFileName(path));
        // More than stored: the missing ones have line 0 and no name.
        ini.WriteInteger(QStringLiteral("bookmark"), QStringLiteral("count"), 3);
        ini.WriteInteger(QStringLiteral("bookmark"), QStringLiteral("0"), 7);
        Crfc_doc doc;
        doc.Init(path);
        QCOMPARE(doc.bookmark_count, 3);
        QCOMPARE(doc.bookmarks[0].line, 7);
        QCOMPARE(doc.bookmarks[2].line, 0);
        QCOMPARE(doc.bookmarks[2].name, QString());

        // Above the table's size: the first hundred, and the count stays.
        ini.WriteInteger(QStringLiteral("bookmark"), QStringLiteral("count"), 2147483647);
        doc.Init(path);
        QCOMPARE(doc.bookmark_count, 2147483647);
        QVERIFY(!doc.bookmarks[99].isFree());

        // Negative: nothing loaded, and saving writes only the count.
        ini.WriteInteger(QStringLiteral("bookmark"), QStringLiteral("count"), -5);
        doc.Init(path);
        QCOMPARE(doc.bookmark_count, -5);
        QVERIFY(doc.bookmarks[0].isFree());
        QFile::remove(doc.IniPath());
        doc.SaveBookmarks();
        QCOMPARE(IniFile(doc.IniPath()).ReadInteger(QStringLiteral("bookmark"), QStringLiteral("count"), 0), -5);
        QCOMPARE(IniFile(doc.IniPath()).ReadInteger(QStringLiteral("bookmark"), QStringLiteral("0"), 99), 99);
    }

    void failedSaveIsReported()
    {
        Crfc_doc doc;
        doc.Init(QStringLiteral("/docs/rfc3.txt"));
        QVERIFY(QDir().mkpath(doc.IniPath())); // a folder where the file should be
        QVERIFY_THROWS_EXCEPTION(IniWriteError, doc.SaveBookmarks());
    }
};

QTEST_MAIN(TestRfcDoc)
#include "tst_rfcdoc.moc"
