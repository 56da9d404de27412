#include "documentwindow.h"
#include "textview.h"
#include "fontsettings.h"
#include "highlightfile.h"
#include "inifile.h"
#include "mainwindow.h"
#include "regfilesettings.h"
#include "fontsettings.h"
#include "statefolder.h"
#include "appfixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRandomGenerator>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <limits>

namespace {

constexpr qint32 Min32 = std::numeric_limits<qint32>::min();
constexpr qint32 Max32 = std::numeric_limits<qint32>::max();

QByteArray le32(qint32 value)
{
    const quint32 v = quint32(value);
    const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    return QByteArray(bytes, 4);
}

QByteArray highlightBytes(const std::vector<TextRange> &ranges)
{
    QByteArray bytes = le32(1);
    for (const TextRange &range : ranges)
        bytes += le32(range.start) + le32(range.end);
    return bytes;
}

void followBookmark(DocumentWindow *window, int row)
{
    QListWidget *list = window->bookmarkList();
    list->setCurrentRow(row);
    emit list->itemDoubleClicked(list->currentItem());
}

int messages(const AppFixture &app)
{
    return int(app.dialogs.errors.size() + app.dialogs.informations.size() + app.strips().size());
}

const QByteArray ConfigHeader = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config]\n";

} // namespace

// State files that were damaged on disk, loaded through the document window
// and the main window: each loads what is sound, shows at most one message,
// and leaves the program working.
class TestDamagedState : public QObject
{
    Q_OBJECT

private slots:
    void damagedHighlightFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<std::vector<TextRange>>("loaded");
        QTest::addColumn<int>("messageCount");

        const QByteArray one = highlightBytes({{10, 20}});
        QTest::newRow("odd length") << one + "\x01\x02\x03" << std::vector<TextRange>{{10, 20}} << 0;
        QTest::newRow("one byte") << QByteArray("\x01", 1) << std::vector<TextRange>{} << 0;
        QTest::newRow("4 bytes, the header alone") << le32(1) << std::vector<TextRange>{} << 0;
        QTest::newRow("16 bytes, a range and a half") << one + le32(30) << std::vector<TextRange>{{10, 20}} << 0;
        QTest::newRow("limits of 32 bits")
            << highlightBytes({{5, 9}, {Min32, Max32}, {Max32, Min32}, {Max32 - 1, Max32}, {Min32, Min32 + 1},
                               {-1, 0}, {12, 14}})
            << std::vector<TextRange>{{5, 9}, {12, 14}} << 1;
        QTest::newRow("overlapping and touching")
            << highlightBytes({{10, 20}, {15, 25}, {20, 30}, {30, 30}, {29, 40}, {40, 41}})
            << std::vector<TextRange>{{10, 40}, {40, 41}} << 1;
    }

    void damagedHighlightFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(std::vector<TextRange>, loaded);
        QFETCH(int, messageCount);

        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(50));
        const QString hl = app.highlightPath(path);
        writeFile(hl, bytes);
        DocumentWindow *window = app.open(path);
        QVERIFY(window);
        QCOMPARE(window->record().highlights.ranges(), loaded);
        QCOMPARE(messages(app), messageCount);
        // It said what happened, not "select some text".
        if (messageCount)
            QVERIFY(app.strips().value(0).contains(QStringLiteral("damaged")));
        // Left as it was: nothing changed, so nothing is written.
        QVERIFY(window->close());
        QCOMPARE(readFile(hl), bytes);
        QCOMPARE(messages(app), messageCount);

        // Once a highlight changes, the file is written whole and sound.
        window = app.open(path);
        window->textView()->setSelectionStart(100);
        window->textView()->setSelectionLength(5);
        window->highlightSelection();
        QVERIFY(window->close());
        std::vector<TextRange> expected = loaded;
        expected.push_back({100, 105});
        QCOMPARE(HighlightFile::read(hl), expected);
        QCOMPARE(readFile(hl), highlightBytes(expected));
    }

    void millionRangeHighlightFile()
    {
        AppFixture app;
        app.start();
        const QByteArray text = numberedLines(40);
        const QString path = app.document(QStringLiteral("rfc1.txt"), text);
        std::vector<TextRange> stored;
        for (qint32 i = 0; i < 1000000; ++i)
            stored.push_back({2 * i, 2 * i + 1});
        QVERIFY(HighlightFile::write(app.highlightPath(path), stored));

        QElapsedTimer clock;
        clock.start();
        DocumentWindow *window = app.open(path);
        qInfo("a highlight file of a million ranges (8 MB) loaded in %lld ms", clock.elapsed());
        QVERIFY(window);
        // Those inside the text stay; those past its end go, with one message.
        const std::vector<TextRange> kept = window->record().highlights.ranges();
        QCOMPARE(kept.size(), size_t(window->textView()->textLength() / 2));
        QCOMPARE(kept.back().end, window->textView()->textLength() - 1);
        QCOMPARE(messages(app), 1);
        QVERIFY(window->close());
    }

    void oversizedIniFileIsCutAndSaysSo()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(300));
        QByteArray data = "[bookmark]\ncount=20000\n";
        for (int n = 0; n < 20000; ++n)
            data += QByteArray::number(n) + "=5\n";
        writeFile(app.iniPath(path), data + "[bookmark_name]\n0=first\n");

        DocumentWindow *window = app.open(path);
        QVERIFY(window);
        QCOMPARE(bookmarkNames(window).size(), 100);
        QCOMPARE(bookmarkNames(window).front(), QStringLiteral("first"));
        QCOMPARE(app.strips().size(), 1);
        QVERIFY(app.strips().front().contains(QStringLiteral("only the first")));
        QVERIFY(window->close());
        QVERIFY(app.open(path)->close());
        QCOMPARE(messages(app), 1);
    }

    void damagedIniFiles()
    {
        AppFixture app;
        app.start()->resize(900, 600);
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(300));
        const QString ini = app.iniPath(path);

        // Garbage around sound entries: the sound ones load.
        const char garbage[] = "\x00\xff\xfe garbage\n[bookmark\n=no key\n[win]\nleft=abc\n"
                               "[bookmark]\ncount=2\n0=40\n\x01\x02\x03\n1=  60 \ncurr_line=12x\n"
                               "[bookmark_name]\n0=first\n1=second\nno equals sign\n";
        writeFile(ini, QByteArray(garbage, sizeof garbage - 1));
        DocumentWindow *window = app.open(path);
        QVERIFY(window);
        QCOMPARE(bookmarkNames(window), QStringList({"first", "second"}));
        QCOMPARE(window->record().bookmarks[1].line, 60);
        // The width of a document that has no state.
        QCOMPARE(window->panelWidth(), app.open(app.document(QStringLiteral("rfc2.txt"), "2\n"))->panelWidth());
        window->activateWindow();
        QCOMPARE(window->textView()->firstVisibleLine(), 0);
        followBookmark(window, 0);
        QCOMPARE(window->textView()->firstVisibleLine(), 39);
        QVERIFY(window->close());
        QCOMPARE(messages(app), 0);

        // A negative count lists nothing and reads as 0: a bookmark added then
        // is saved (it was shown and lost while the count stayed negative).
        writeFile(ini, "[bookmark]\ncount=-5\n0=40\n[bookmark_name]\n0=stale\n");
        window = app.open(path);
        QVERIFY(bookmarkNames(window).isEmpty());
        window->addBookmark(QStringLiteral("added after damage"));
        QVERIFY(window->close());
        window = app.open(path);
        QCOMPARE(bookmarkNames(window), QStringList(QStringLiteral("added after damage")));
        QVERIFY(window->close());

        // A count past the table's size fills all hundred slots, the stored
        // ones first, and stays the count.
        writeFile(ini, "[bookmark]\ncount=2147483647\n0=40\n1=60\n[bookmark_name]\n0=first\n1=second\n");
        window = app.open(path);
        QVERIFY(window);
        const QStringList names = bookmarkNames(window);
        QCOMPARE(names.size(), 100);
        QCOMPARE(names.mid(0, 2), QStringList({"first", "second"}));
        QVERIFY(window->close());
        QCOMPARE(IniFile(ini).readInteger(QStringLiteral("bookmark"), QStringLiteral("count"), -1), 2147483647);

        // Lines far outside the document: the view stops at its ends.
        writeFile(ini, "[bookmark]\ncount=2\ncurr_line=-2147483648\n0=2147483647\n1=-2147483648\n"
                       "[bookmark_name]\n0=past the end\n1=before the start\n");
        window = app.open(path);
        QCOMPARE(window->textView()->firstVisibleLine(), 0);
        followBookmark(window, 0);
        const int bottom = window->textView()->firstVisibleLine();
        QVERIFY(bottom > 200);
        followBookmark(window, 1);
        QCOMPARE(window->textView()->firstVisibleLine(), 0);
        QVERIFY(window->close());
        writeFile(ini, "[bookmark]\ncurr_line=2147483647\n");
        window = app.open(path);
        QCOMPARE(window->textView()->firstVisibleLine(), bottom);
        QVERIFY(window->close());

        // A 100 KB name is cut to what an INI string holds.
        const QString longName(100 * 1024, u'n');
        writeFile(ini, "[bookmark]\ncount=1\n0=5\n[bookmark_name]\n0=" + longName.toLatin1() + "\n");
        window = app.open(path);
        QCOMPARE(bookmarkNames(window), QStringList(longName.left(IniFile::MaxStringLength)));
        QVERIFY(window->close());
        window = app.open(path);
        QCOMPARE(bookmarkNames(window), QStringList(longName.left(IniFile::MaxStringLength)));
        QVERIFY(window->close());

        QCOMPARE(messages(app), 0);
    }

    void damagedSettingsFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<QSize>("size");

        QByteArray noise(4096, Qt::Uninitialized);
        QRandomGenerator random(7);
        for (char &byte : noise)
            byte = char(random.bounded(256));
        const QSize defaultSize(541, 342);

        QTest::newRow("truncated in a value")
            << ConfigHeader + "\"show_toolbar\"=dword:00000000\n\"show_status_bar\"=dword:00000001\n"
                              "\"show_file_tab\"=dword:00000001\n\"main_height\"=dword:000001"
            << true << defaultSize;
        QTest::newRow("truncated in a header") << QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\Softw") << true
                                               << defaultSize;
        QTest::newRow("binary") << noise << true << defaultSize;
        QTest::newRow("binary after sound values")
            << ConfigHeader + "\"show_toolbar\"=dword:00000000\n\"show_status_bar\"=dword:00000001\n"
                              "\"show_file_tab\"=dword:00000001\n\"main_height\"=dword:00000190\n"
                              "\"main_width\"=dword:00000258\n" + noise
            << false << QSize(600, 400);
        QTest::newRow("wrong types")
            << ConfigHeader + "\"show_toolbar\"=\"0\"\n\"show_status_bar\"=hex:00\n\"show_file_tab\"=dword:1\n"
                              "\"main_height\"=\"400\"\n\"main_width\"=dword:00000258\n"
                              "[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config\\text]\n"
                              "\"name\"=dword:00000001\n\"size\"=\"12\"\n\"color\"=\"red\"\n\"bold\"=hex:01\n"
            << true << defaultSize;
        QTest::newRow("sizes out of range")
            << ConfigHeader + "\"show_toolbar\"=dword:00000000\n\"show_status_bar\"=dword:00000000\n"
                              "\"show_file_tab\"=dword:00000000\n\"main_height\"=dword:ffffffff\n"
                              "\"main_width\"=dword:80000000\n"
            << false << QSize();
        QTest::newRow("sizes past any screen")
            << ConfigHeader + "\"show_toolbar\"=dword:00000001\n\"show_status_bar\"=dword:00000001\n"
                              "\"show_file_tab\"=dword:00000001\n\"main_height\"=dword:7fffffff\n"
                              "\"main_width\"=dword:7fffffff\n"
            << true << QSize();
        QTest::newRow("font sizes past any screen")
            << ConfigHeader + "[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config\\text]\n"
                              "\"size\"=dword:7fffffff\n"
                              "[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config\\header]\n"
                              "\"size\"=dword:7fffffff\n"
            << true << QSize(541, 342);
    }

    void damagedSettingsFiles()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, toolbar);
        QFETCH(QSize, size);

        AppFixture app;
        const QString file = app.dir.filePath(QStringLiteral("config/settings.reg"));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        writeFile(file, data);
        RegFileSettings settings(file); // this test's store is the file
        MainWindow *form = app.startOn(settings);
        QCOMPARE(form->toolBar()->isVisible(), toolbar);
        if (size.isValid())
            QCOMPARE(form->size(), size);
        // Never larger than the screen: centred there, it would lie wholly off it.
        QVERIFY(form->width() > 0 && form->height() > 0);
        const QSize screen = form->screen()->availableGeometry().size();
        QVERIFY2(form->width() <= screen.width() && form->height() <= screen.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(form->width()).arg(form->height())));

        // Documents open in the fonts the file left, and the program exits.
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), "1. Introduction\n\ntext\n"));
        QVERIFY(window);
        QCOMPARE(window->record().outline.headings.size(), size_t(1));
        // Painted, in whatever font size the file asked for.
        QVERIFY(!window->textView()->viewport()->grab().isNull());
        QVERIFY(app.close());
        QCOMPARE(messages(app), 0);

        // What it wrote reads back, as numbers of the right type.
        const RegFileSettings reread(file);
        QCOMPARE(reread.readInteger(SettingsKeyPath, QStringLiteral("show_toolbar")), std::optional<qint32>(toolbar));
        QVERIFY(reread.readInteger(SettingsKeyPath, QStringLiteral("main_width")).has_value());
    }
};

QTEST_MAIN(TestDamagedState)
#include "tst_damagedstate.moc"
