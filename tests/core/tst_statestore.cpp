#include "documentrecord.h"
#include "inifile.h"
#include "statestore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// State-file names and the bookmarks' stored form.
class TestStateStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    StateStore m_store{m_dir.path() + u'/'};
    QString folder() const { return m_store.folder(); }

    // The bookmarks of the document as they load from its state.
    DocumentRecord loaded(const QString &path) const
    {
        DocumentRecord record;
        m_store.filesFor(path).readBookmarks(record);
        return record;
    }

private slots:

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
        const DocumentStateFiles files = m_store.filesFor(path);
        QCOMPARE(files.iniPath(), folder() + name);
        QCOMPARE(files.highlightPath(), folder() + name + QStringLiteral("_hl"));
        // Paths that differ only in separators against "_" share their state.
        QCOMPARE(m_store.filesFor(QStringLiteral("D:\\a.b")).iniPath(),
                 m_store.filesFor(QStringLiteral("D:\\a_b")).iniPath());
    }

    void bookmarksRenumberInSlotOrder()
    {
        const DocumentStateFiles files = m_store.filesFor(QStringLiteral("/docs/rfc1.txt"));
        DocumentRecord doc;
        doc.bookmarks[0] = {0, QStringLiteral("Intro")};
        doc.bookmarks[3] = {311, QStringLiteral("Security = ; # \"x\"  ")};
        doc.bookmarkCount = 2;
        QVERIFY(files.writeBookmarks(doc, nullptr));
        const IniFile ini(files.iniPath());
        QCOMPARE(ini.readInteger(QStringLiteral("bookmark"), QStringLiteral("count"), -1), 2);
        QCOMPARE(ini.readInteger(QStringLiteral("bookmark"), QStringLiteral("1"), -1), 311);

        const DocumentRecord again = loaded(QStringLiteral("/docs/rfc1.txt"));
        QCOMPARE(again.bookmarkCount, 2);
        QCOMPARE(again.bookmarks[0].name, QStringLiteral("Intro"));
        QCOMPARE(again.bookmarks[1].line, 311);
        QCOMPARE(again.bookmarks[1].name, QStringLiteral("Security = ; # \"x\"  "));
        QVERIFY(again.bookmarks[2].isFree());
    }

    void storedCountRules()
    {
        const QString path = QStringLiteral("/docs/rfc2.txt");
        const DocumentStateFiles files = m_store.filesFor(path);
        IniFile ini(files.iniPath());
        // More than stored: the missing ones have line 0 and no name.
        ini.writeInteger(QStringLiteral("bookmark"), QStringLiteral("count"), 3);
        ini.writeInteger(QStringLiteral("bookmark"), QStringLiteral("0"), 7);
        DocumentRecord doc = loaded(path);
        QCOMPARE(doc.bookmarkCount, 3);
        QCOMPARE(doc.bookmarks[0].line, 7);
        QCOMPARE(doc.bookmarks[2].line, 0);
        QCOMPARE(doc.bookmarks[2].name, QString());

        // Above the table's size: the first hundred, and the count stays.
        ini.writeInteger(QStringLiteral("bookmark"), QStringLiteral("count"), 2147483647);
        doc = loaded(path);
        QCOMPARE(doc.bookmarkCount, 2147483647);
        QVERIFY(!doc.bookmarks[99].isFree());

        // Negative: nothing loaded, and saving writes only the count.
        ini.writeInteger(QStringLiteral("bookmark"), QStringLiteral("count"), -5);
        doc = loaded(path);
        QCOMPARE(doc.bookmarkCount, -5);
        QVERIFY(doc.bookmarks[0].isFree());
        QFile::remove(files.iniPath());
        QVERIFY(files.writeBookmarks(doc, nullptr));
        QCOMPARE(IniFile(files.iniPath()).readInteger(QStringLiteral("bookmark"), QStringLiteral("count"), 0), -5);
        QCOMPARE(IniFile(files.iniPath()).readInteger(QStringLiteral("bookmark"), QStringLiteral("0"), 99), 99);
    }

    void failedSaveIsReported()
    {
        const DocumentStateFiles files = m_store.filesFor(QStringLiteral("/docs/rfc3.txt"));
        QVERIFY(QDir().mkpath(files.iniPath())); // a folder where the file should be
        QString error;
        QVERIFY(!files.writeBookmarks(DocumentRecord(), &error));
        QCOMPARE(error, QStringLiteral("Unable to write to ") + files.iniPath());
    }
};

QTEST_GUILESS_MAIN(TestStateStore)
#include "tst_statestore.moc"
