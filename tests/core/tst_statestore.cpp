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
        // Names whose "_hl" file passes 255 bytes; the hashes are part of the format.
        QTest::newRow("252 bytes stay") << u'/' + QString(251, u'a') << u'_' + QString(251, u'a');
        QTest::newRow("253 bytes are shortened")
            << u'/' + QString(252, u'a') << u'_' + QString(199, u'a') + QStringLiteral("_0bb9d85a000414b6");
        QTest::newRow("cut back to a whole character")
            << u'/' + QString(150, u'\u00e9') << u'_' + QString(99, u'\u00e9') + QStringLiteral("_28c71fb4eae26cf5");
        QTest::newRow("three-byte characters")
            << QStringLiteral("/home/ann/") + QString(100, u'\u5965') + QStringLiteral(".txt")
            << QStringLiteral("_home_ann_") + QString(63, u'\u5965') + QStringLiteral("_590d433097670cd0");
    }

    void stateFileNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        DocumentStateFiles files = m_store.filesFor(path);
        QCOMPARE(files.iniPath(), folder() + name);
        QCOMPARE(files.highlightPath(), folder() + name + QStringLiteral("_hl"));
        // Paths that differ only in separators against "_" share their state.
        QCOMPARE(m_store.filesFor(QStringLiteral("D:\\a.b")).iniPath(),
                 m_store.filesFor(QStringLiteral("D:\\a_b")).iniPath());
    }

    // A path of over 250 bytes gave names the file system refused: the
    // document's window could never close.
    void longPathStateIsWritten()
    {
        const QString path = u'/' + QString(200, u'd') + u'/' + QString(200, u'e') + QStringLiteral(".txt");
        DocumentStateFiles files = m_store.filesFor(path);
        DocumentRecord doc;
        doc.addBookmark(3, QStringLiteral("deep"));
        doc.highlights.add(4, 9);
        QVERIFY(files.writeBookmarks(doc, nullptr));
        QVERIFY(files.writeHighlights(doc.highlights, nullptr));
        QCOMPARE(loaded(path).bookmarks[0].name, QStringLiteral("deep"));
        QCOMPARE(files.readHighlights(), std::optional(doc.highlights.ranges()));
    }

    void bookmarksRenumberInSlotOrder()
    {
        DocumentStateFiles files = m_store.filesFor(QStringLiteral("/docs/rfc1.txt"));
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
        DocumentStateFiles files = m_store.filesFor(path);
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

        // Negative reads as none, so that a bookmark added later is saved.
        ini.writeInteger(QStringLiteral("bookmark"), QStringLiteral("count"), -5);
        doc = loaded(path);
        QCOMPARE(doc.bookmarkCount, 0);
        QVERIFY(doc.bookmarks[0].isFree());
        doc.addBookmark(12, QStringLiteral("later"));
        QVERIFY(files.writeBookmarks(doc, nullptr));
        doc = loaded(path);
        QCOMPARE(doc.bookmarkCount, 1);
        QCOMPARE(doc.bookmarks[0].name, QStringLiteral("later"));
    }

    // A million stored bookmarks parsed the file again for every key: minutes
    // to open the document and to close it.
    void hugeStateIsReadOnceAndCut()
    {
        const QString path = QStringLiteral("/docs/rfc4.txt");
        DocumentStateFiles files = m_store.filesFor(path);
        constexpr int Stored = 200'000;
        QByteArray lines = "[bookmark]\ncount=" + QByteArray::number(Stored) + '\n';
        QByteArray names = "[bookmark_name]\n";
        for (int n = 0; n < Stored; ++n) {
            lines += QByteArray::number(n) + '=' + QByteArray::number(3 * n) + '\n';
            names += QByteArray::number(n) + "=mark " + QByteArray::number(n) + '\n';
        }
        QFile file(files.iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lines + names + "[win]\nleft=240\n");
        file.close();

        DocumentRecord doc;
        QVERIFY(!files.readBookmarks(doc));
        QCOMPARE(doc.bookmarkCount, Stored);
        QCOMPARE(doc.bookmarks[99].line, 297);
        QCOMPARE(doc.bookmarks[99].name, QStringLiteral("mark 99"));
        QVERIFY(files.writeBookmarks(doc, nullptr));

        // What is read survives the write; what was left out is gone.
        DocumentRecord again;
        QVERIFY(files.readBookmarks(again));
        QCOMPARE(again.bookmarkCount, Stored);
        QCOMPARE(again.bookmarks, doc.bookmarks);
        QCOMPARE(files.readView().panelWidth.value_or(0), 240);
        const IniFile ini(files.iniPath());
        QCOMPARE(ini.readInteger(QStringLiteral("bookmark"), QString::number(IniContents::MaxSectionEntries), -1), -1);
    }

    // Two instances with the document open: the second one's write lost the
    // bookmark the first one had added.
    void bookmarksOfAnotherInstanceSurvive()
    {
        const QString path = QStringLiteral("/docs/rfc5.txt");
        DocumentStateFiles first = m_store.filesFor(path);
        DocumentRecord start;
        start.addBookmark(1, QStringLiteral("both had it"));
        QVERIFY(first.writeBookmarks(start, nullptr));

        DocumentStateFiles second = m_store.filesFor(path);
        DocumentRecord ours;
        DocumentRecord theirs;
        first.readBookmarks(theirs);
        second.readBookmarks(ours);
        theirs.addBookmark(10, QStringLiteral("theirs"));
        theirs.addBookmark(20, QStringLiteral("both named it"));
        QVERIFY(first.writeBookmarks(theirs, nullptr));
        ours.deleteBookmark(0);
        ours.addBookmark(30, QStringLiteral("ours"));
        ours.addBookmark(40, QStringLiteral("both named it"));
        QVERIFY(second.writeBookmarks(ours, nullptr));

        // Theirs added, ours kept and winning the name, ours deleted.
        const DocumentRecord merged = loaded(path);
        QCOMPARE(merged.bookmarkCount, 3);
        QCOMPARE(merged.bookmarks[0], (Bookmark{30, QStringLiteral("ours")}));
        QCOMPARE(merged.bookmarks[1], (Bookmark{40, QStringLiteral("both named it")}));
        QCOMPARE(merged.bookmarks[2], (Bookmark{10, QStringLiteral("theirs")}));

        // Unchanged on disk since: a bookmark deleted now stays deleted.
        DocumentRecord later = merged;
        later.deleteBookmark(2);
        QVERIFY(second.writeBookmarks(later, nullptr));
        QCOMPARE(loaded(path).bookmarkCount, 2);
    }

    void highlightsOfAnotherInstanceSurvive()
    {
        const QString path = QStringLiteral("/docs/rfc6.txt");
        DocumentStateFiles first = m_store.filesFor(path);
        RangeSet start;
        start.add(0, 5);
        QVERIFY(first.writeHighlights(start, nullptr));

        DocumentStateFiles second = m_store.filesFor(path);
        QVERIFY(first.readHighlights());
        QVERIFY(second.readHighlights());
        RangeSet theirs = start;
        theirs.add(10, 20);
        QVERIFY(first.writeHighlights(theirs, nullptr));
        RangeSet ours;
        ours.add(15, 30);
        QVERIFY(second.writeHighlights(ours, nullptr));
        QCOMPARE(second.readHighlights(), (std::optional<std::vector<TextRange>>({{10, 30}})));

        // Ours removed, unchanged on disk since: the file goes.
        QVERIFY(second.writeHighlights(RangeSet(), nullptr));
        QVERIFY(!QFile::exists(second.highlightPath()));
    }

    void failedSaveIsReported()
    {
        DocumentStateFiles files = m_store.filesFor(QStringLiteral("/docs/rfc3.txt"));
        QVERIFY(QDir().mkpath(files.iniPath())); // a folder where the file should be
        QString error;
        QVERIFY(!files.writeBookmarks(DocumentRecord(), &error));
        QCOMPARE(error, QStringLiteral("Unable to write to ") + files.iniPath());
    }
};

QTEST_GUILESS_MAIN(TestStateStore)
#include "tst_statestore.moc"
