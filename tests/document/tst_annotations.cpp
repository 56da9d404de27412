#include "childwin.h"
#include "highlight_file.h"
#include "inifile.h"
#include "mainform.h"
#include "statefolder.h"
#include "testfiles.h"

#include <QAction>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>

namespace {

void caretToLine(TMDIChild *window, int line)
{
    TextView *view = window->textView();
    view->setSelStart(view->toViewPosition(view->document()->findBlockByNumber(line).position()));
}

QColor backgroundAt(TMDIChild *window, qint32 position)
{
    TextView *view = window->textView();
    QTextCursor cursor(view->document());
    cursor.setPosition(view->toQtPosition(position) + 1);
    return cursor.charFormat().background().color();
}

} // namespace

// Bookmarks and highlights, through the commands, and kept across closing.
class TestAnnotations : public QObject
{
    Q_OBJECT

private:
    void trigger(AppFixture &app, const char *name) { app.form->action(QLatin1String(name))->trigger(); }

    void addBookmark(AppFixture &app, const QString &name)
    {
        app.dialogs.inputAnswers.enqueue(name);
        trigger(app, "EditAddBookmark");
    }

    void selectEntry(TMDIChild *window, const QString &name)
    {
        const QList<QListWidgetItem *> found = window->bookmarkList()->findItems(name, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        window->bookmarkList()->setCurrentItem(found.first());
    }

private slots:
    void addAndDeleteBookmarks()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(200));
        TMDIChild *window = app.open(path);

        trigger(app, "EditDelBookmark");
        QCOMPARE(app.dialogs.informations.size(), 1);
        QCOMPARE(app.dialogs.informations[0].text, QStringLiteral("There isn't a bookmark now."));
        QCOMPARE(app.dialogs.informations[0].caption, QStringLiteral("Delete bookmark"));
        QCOMPARE(app.dialogs.informations[0].owner, window);

        trigger(app, "EditAddBookmark"); // cancelled
        addBookmark(app, QString());     // confirmed empty
        QVERIFY(bookmarkNames(window).isEmpty());
        QCOMPARE(app.dialogs.prompts.constLast(), QStringLiteral("Bookmark|Please input bookmark name:"));
        QCOMPARE(app.dialogs.lastMaxLength, 255);

        for (const char *name : {"A", "B", "C"})
            addBookmark(app, QLatin1String(name));
        window->bookmarkList()->setCurrentItem(nullptr);
        trigger(app, "EditDelBookmark");
        QCOMPARE(app.dialogs.informations.constLast().text, QStringLiteral("Please select a bookmark firstly."));
        selectEntry(window, QStringLiteral("A"));
        trigger(app, "EditDelBookmark");
        addBookmark(app, QStringLiteral("D"));
        QCOMPARE(bookmarkNames(window), QStringList({"B", "C", "D"}));

        QVERIFY(window->close());
        const IniFile ini(StateFileName(path));
        QCOMPARE(ini.ReadInteger(QStringLiteral("bookmark"), QStringLiteral("count"), 0), 3);
        QCOMPARE(ini.ReadString(QStringLiteral("bookmark_name"), QStringLiteral("0"), QString()), QStringLiteral("D"));
        QCOMPARE(ini.ReadString(QStringLiteral("bookmark_name"), QStringLiteral("2"), QString()), QStringLiteral("C"));
        window = app.open(path);
        QCOMPARE(bookmarkNames(window), QStringList({"D", "B", "C"}));
    }

    void fullTableIgnoresAnAdd()
    {
        AppFixture app;
        app.start();
        TMDIChild *window = app.open(app.document(QStringLiteral("rfc1.txt"), numberedLines(10)));
        for (int i = 0; i < 100; ++i)
            window->AddBookmark(QStringLiteral("same"));
        addBookmark(app, QStringLiteral("one more"));
        QCOMPARE(window->bookmarkList()->count(), 100);
        QCOMPARE(window->record().bookmark_count, 100);
        QVERIFY(app.dialogs.informations.isEmpty());
    }

    void followingABookmarkShowsItSecond()
    {
        AppFixture app;
        app.start()->resize(900, 600);
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(300));
        TMDIChild *window = app.open(path);
        caretToLine(window, 57);
        addBookmark(app, QStringLiteral("fifty-seven"));
        caretToLine(window, 0);
        addBookmark(app, QStringLiteral("top"));
        QCOMPARE(window->record().bookmarks[0].line, 57);
        QVERIFY(window->close());

        window = app.open(path);
        QListWidget *list = window->bookmarkList();
        selectEntry(window, QStringLiteral("fifty-seven"));
        emit list->itemDoubleClicked(list->currentItem());
        QCOMPARE(window->textView()->firstVisibleLine(), 56);
        selectEntry(window, QStringLiteral("top"));
        emit list->itemDoubleClicked(list->currentItem());
        QCOMPARE(window->textView()->firstVisibleLine(), 0);
    }

    void highlightsSurviveReopening()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(50));
        TMDIChild *window = app.open(path);
        TextView *view = window->textView();

        trigger(app, "EditHighlight");
        QCOMPARE(app.dialogs.informations.size(), 1);
        QCOMPARE(app.dialogs.informations[0].text, QStringLiteral("Please select some text firstly."));
        QCOMPARE(app.dialogs.informations[0].caption, QStringLiteral("Highlight"));
        trigger(app, "EditCancelHighlight");
        QCOMPARE(app.dialogs.informations.size(), 1);

        view->setSelStart(10);
        view->setSelLength(30);
        trigger(app, "EditHighlight");
        view->setSelStart(100);
        view->setSelLength(20);
        trigger(app, "EditHighlight");
        // Cancelling the middle of the first splits it in two.
        view->setSelStart(20);
        view->setSelLength(5);
        trigger(app, "EditCancelHighlight");
        QCOMPARE(backgroundAt(window, 12), QColor(Qt::yellow));
        QVERIFY(backgroundAt(window, 21) != QColor(Qt::yellow));
        QVERIFY(window->close());
        const std::vector<Ctext_section> stored = ReadHighlightFile(StateFileName(path) + QStringLiteral("_hl"));
        QCOMPARE(stored, (std::vector<Ctext_section>{{10, 20}, {25, 40}, {100, 120}}));

        window = app.open(path);
        view = window->textView();
        QCOMPARE(window->highlightTable().Ranges(), stored);
        QCOMPARE(backgroundAt(window, 30), QColor(Qt::yellow));
        QVERIFY(backgroundAt(window, 60) != QColor(Qt::yellow));
        // The last range restored is the selection.
        QCOMPARE(view->SelStart(), 100);
        QCOMPARE(view->SelLength(), 20);
        QCOMPARE(app.dialogs.informations.size(), 1);

        // Removing every highlight deletes the file; reopening restores nothing, silently.
        view->setSelStart(0);
        view->setSelLength(view->textLength());
        trigger(app, "EditCancelHighlight");
        QVERIFY(window->close());
        QVERIFY(!QFile::exists(StateFileName(path) + QStringLiteral("_hl")));
        window = app.open(path);
        QVERIFY(window->highlightTable().Ranges().empty());
        QCOMPARE(app.dialogs.informations.size(), 1);
    }

    void untouchedHighlightFileIsNotRewritten()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(50));
        const QString hl = StateFileName(path) + QStringLiteral("_hl");
        // Odd, but valid: stored in a form this program would not write itself.
        const QByteArray bytes = QByteArray::fromHex("07000000" "0a000000" "14000000" "ffff");
        writeFile(hl, bytes);
        TMDIChild *window = app.open(path);
        QCOMPARE(window->highlightTable().Ranges(), (std::vector<Ctext_section>{{10, 20}}));
        QVERIFY(window->close());
        QCOMPARE(readFile(hl), bytes);
    }

    void damagedHighlightFileLoadsWhatIsSound()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(50));
        const std::vector<Ctext_section> stored = {
            {5, 9}, {30, 20}, {8, 12}, {-4, 2}, {40, 40}, {50, 60}, {100, 2000000000}, {70, 80},
        };
        QVERIFY(WriteHighlightFile(StateFileName(path) + QStringLiteral("_hl"), stored));
        TMDIChild *window = app.open(path);
        QCOMPARE(window->highlightTable().Ranges(), (std::vector<Ctext_section>{{5, 9}, {50, 60}, {70, 80}}));
        QCOMPARE(app.dialogs.informations.size(), 1);
        QCOMPARE(app.dialogs.informations[0].text, QStringLiteral("Please select some text firstly."));
    }

    void unwritableHighlightFileKeepsTheWindowOpen()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(50));
        TMDIChild *window = app.open(path);
        window->textView()->setSelStart(10);
        window->textView()->setSelLength(5);
        trigger(app, "EditHighlight");
        // Something that is not a file where the temporary file would go.
        const QString hl = StateFileName(path) + QStringLiteral("_hl");
        QVERIFY(QDir().mkpath(hl + QStringLiteral(".tmp/x")));
        QVERIFY(!window->close());
        QCOMPARE(app.dialogs.errors.size(), 1);
        QCOMPARE(app.dialogs.errors[0].text, QStringLiteral("Unable to write to %1").arg(hl));
        QCOMPARE(app.form->documents().size(), 1);
        QVERIFY(QDir(hl + QStringLiteral(".tmp")).removeRecursively());
        QVERIFY(window->close());
        QCOMPARE(ReadHighlightFile(hl), (std::vector<Ctext_section>{{10, 15}}));
    }

    void everythingSurvivesTheProgramClosing()
    {
        AppFixture app;
        app.start();
        QStringList paths;
        for (const char *name : {"rfc1.txt", "rfc2.txt", "rfc3.txt"})
            paths << app.document(QLatin1String(name), numberedLines(80));
        for (int i = 0; i < 3; ++i) {
            TMDIChild *window = app.open(paths[i]);
            caretToLine(window, 5 + i);
            addBookmark(app, QStringLiteral("mark %1").arg(i));
            window->textView()->setSelStart(40 + i);
            window->textView()->setSelLength(10);
            trigger(app, "EditHighlight");
        }
        QVERIFY(app.close());
        app.start();
        for (int i = 0; i < 3; ++i) {
            TMDIChild *window = app.open(paths[i]);
            QCOMPARE(bookmarkNames(window), QStringList(QStringLiteral("mark %1").arg(i)));
            QCOMPARE(window->record().bookmarks[0].line, 5 + i);
            QCOMPARE(window->highlightTable().Ranges(), (std::vector<Ctext_section>{{40 + i, 50 + i}}));
        }
    }
};

QTEST_MAIN(TestAnnotations)
#include "tst_annotations.moc"
