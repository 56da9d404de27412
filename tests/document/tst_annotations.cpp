#include "documentwindow.h"
#include "textview.h"
#include "highlightfile.h"
#include "inifile.h"
#include "mainwindow.h"
#include "statefolder.h"
#include "appfixture.h"

#include <QAction>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>

namespace {

void caretToLine(DocumentWindow *window, int line)
{
    TextView *view = window->textView();
    view->setSelectionStart(view->toViewPosition(view->document()->findBlockByNumber(line).position()));
}

QColor backgroundAt(DocumentWindow *window, qint32 position)
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
    void trigger(AppFixture &app, Command command) { app.form()->action(command)->trigger(); }

    void addBookmark(AppFixture &app, const QString &name)
    {
        app.dialogs.inputAnswers.enqueue(name);
        trigger(app, Command::EditAddBookmark);
    }

    void selectEntry(DocumentWindow *window, const QString &name)
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
        DocumentWindow *window = app.open(path);

        trigger(app, Command::EditDeleteBookmark);
        QCOMPARE(app.dialogs.informations.size(), 1);
        QCOMPARE(app.dialogs.informations[0].text, QStringLiteral("There isn't a bookmark now."));
        QCOMPARE(app.dialogs.informations[0].caption, QStringLiteral("Delete bookmark"));
        QCOMPARE(app.dialogs.informations[0].owner, window);

        trigger(app, Command::EditAddBookmark); // cancelled
        addBookmark(app, QString());     // confirmed empty
        QVERIFY(bookmarkNames(window).isEmpty());
        QCOMPARE(app.dialogs.prompts.constLast(), QStringLiteral("Bookmark|Please input bookmark name:"));
        QCOMPARE(app.dialogs.lastMaxLength, 255);

        for (const char *name : {"A", "B", "C"})
            addBookmark(app, QLatin1String(name));
        window->bookmarkList()->setCurrentItem(nullptr);
        trigger(app, Command::EditDeleteBookmark);
        QCOMPARE(app.dialogs.informations.constLast().text, QStringLiteral("Please select a bookmark firstly."));
        selectEntry(window, QStringLiteral("A"));
        trigger(app, Command::EditDeleteBookmark);
        // The next entry was left selected, and a second Delete took it unseen.
        QVERIFY(window->bookmarkList()->selectedItems().isEmpty());
        trigger(app, Command::EditDeleteBookmark);
        QCOMPARE(app.dialogs.informations.constLast().text, QStringLiteral("Please select a bookmark firstly."));
        QCOMPARE(bookmarkNames(window), QStringList({"B", "C"}));
        addBookmark(app, QStringLiteral("D"));
        QCOMPARE(bookmarkNames(window), QStringList({"B", "C", "D"}));

        QVERIFY(window->close());
        const IniFile ini(app.iniPath(path));
        QCOMPARE(ini.readInteger(QStringLiteral("bookmark"), QStringLiteral("count"), 0), 3);
        QCOMPARE(ini.readString(QStringLiteral("bookmark_name"), QStringLiteral("0"), QString()), QStringLiteral("D"));
        QCOMPARE(ini.readString(QStringLiteral("bookmark_name"), QStringLiteral("2"), QString()), QStringLiteral("C"));
        window = app.open(path);
        QCOMPARE(bookmarkNames(window), QStringList({"D", "B", "C"}));
    }

    void fullTableIgnoresAnAdd()
    {
        AppFixture app;
        app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), numberedLines(10)));
        for (int i = 0; i < 100; ++i)
            window->addBookmark(QStringLiteral("same"));
        addBookmark(app, QStringLiteral("one more"));
        QCOMPARE(window->bookmarkList()->count(), 100);
        QCOMPARE(window->record().bookmarkCount, 100);
        QVERIFY(app.dialogs.informations.isEmpty());
    }

    void followingABookmarkShowsItSecond()
    {
        AppFixture app;
        app.start()->resize(900, 600);
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(300));
        DocumentWindow *window = app.open(path);
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
        // The caret went to the line above, where the index and F5 then acted.
        QCOMPARE(window->textView()->caretLine(), 57);
        selectEntry(window, QStringLiteral("top"));
        emit list->itemDoubleClicked(list->currentItem());
        QCOMPARE(window->textView()->firstVisibleLine(), 0);
        QCOMPARE(window->textView()->caretLine(), 0);
    }

    void highlightsSurviveReopening()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(50));
        DocumentWindow *window = app.open(path);
        TextView *view = window->textView();

        trigger(app, Command::EditHighlight);
        QCOMPARE(app.dialogs.informations.size(), 1);
        QCOMPARE(app.dialogs.informations[0].text, QStringLiteral("Please select some text firstly."));
        QCOMPARE(app.dialogs.informations[0].caption, QStringLiteral("Highlight"));
        trigger(app, Command::EditCancelHighlight);
        QCOMPARE(app.dialogs.informations.size(), 1);

        view->setSelectionStart(10);
        view->setSelectionLength(30);
        trigger(app, Command::EditHighlight);
        view->setSelectionStart(100);
        view->setSelectionLength(20);
        trigger(app, Command::EditHighlight);
        // Cancelling the middle of the first splits it in two.
        view->setSelectionStart(20);
        view->setSelectionLength(5);
        trigger(app, Command::EditCancelHighlight);
        QCOMPARE(backgroundAt(window, 12), QColor(Qt::yellow));
        QVERIFY(backgroundAt(window, 21) != QColor(Qt::yellow));
        QVERIFY(window->close());
        const std::vector<TextRange> stored = HighlightFile::read(app.highlightPath(path)).value();
        QCOMPARE(stored, (std::vector<TextRange>{{10, 20}, {25, 40}, {100, 120}}));

        window = app.open(path);
        view = window->textView();
        QCOMPARE(window->record().highlights.ranges(), stored);
        QCOMPARE(backgroundAt(window, 30), QColor(Qt::yellow));
        QVERIFY(backgroundAt(window, 60) != QColor(Qt::yellow));
        // Opening leaves the caret on the top line, with nothing selected.
        QCOMPARE(view->selectionStart(), 0);
        QCOMPARE(view->selectionLength(), 0);
        QCOMPARE(app.dialogs.informations.size(), 1);

        // Removing every highlight deletes the file; reopening restores nothing, silently.
        view->setSelectionStart(0);
        view->setSelectionLength(view->textLength());
        trigger(app, Command::EditCancelHighlight);
        QVERIFY(window->close());
        QVERIFY(!QFile::exists(app.highlightPath(path)));
        window = app.open(path);
        QVERIFY(window->record().highlights.ranges().empty());
        QCOMPARE(app.dialogs.informations.size(), 1);
    }

    // A line longer than the view's wrap column is split for the layout
    // only: a highlight across the split keeps its file positions.
    void highlightAcrossAWrappedLineKeepsItsPositions()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"),
                                          "intro\n" + QByteArray(TextView::WrapColumn * 2 + 50, 'x') + "\nend\n");
        DocumentWindow *window = app.open(path);
        TextView *view = window->textView();
        QVERIFY(view->isWrapped());
        const qint32 start = view->lineStart(1) + TextView::WrapColumn - 5;
        view->setSelectionStart(start);
        view->setSelectionLength(10);
        trigger(app, Command::EditHighlight);
        QVERIFY(window->close());
        QCOMPARE(HighlightFile::read(app.highlightPath(path)).value(), (std::vector<TextRange>{{start, start + 10}}));

        window = app.open(path);
        for (const qint32 inside : {start, start + 7, start + 9})
            QCOMPARE(backgroundAt(window, inside), QColor(Qt::yellow));
        for (const qint32 outside : {start - 1, start + 10})
            QVERIFY(backgroundAt(window, outside) != QColor(Qt::yellow));
    }

    void untouchedHighlightFileIsNotRewritten()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(50));
        const QString hl = app.highlightPath(path);
        // Odd, but valid: stored in a form this program would not write itself.
        const QByteArray bytes = QByteArray::fromHex("07000000" "0a000000" "14000000" "ffff");
        writeFile(hl, bytes);
        DocumentWindow *window = app.open(path);
        QCOMPARE(window->record().highlights.ranges(), (std::vector<TextRange>{{10, 20}}));
        QVERIFY(window->close());
        QCOMPARE(readFile(hl), bytes);
    }

    // Overlapping and past-the-end ranges were dropped on loading, and lost
    // for good at the next save.
    void storedRangesMergeAndStopAtTheTextEnd_data()
    {
        QTest::addColumn<std::vector<TextRange>>("stored");
        QTest::addColumn<std::vector<TextRange>>("restored");
        QTest::addColumn<int>("messageCount");
        QTest::newRow("overlap, past the end, after the end")
            << std::vector<TextRange>{{5, 9}, {8, 12}, {100, 2000000000}, {300, 400}}
            << std::vector<TextRange>{{5, 12}, {100, 265}} << 1;
        QTest::newRow("out of order, reversed, negative, empty")
            << std::vector<TextRange>{{50, 60}, {30, 20}, {8, 12}, {-4, 2}, {40, 40}, {5, 9}, {250, 262}}
            << std::vector<TextRange>{{5, 12}, {50, 60}, {250, 262}} << 1;
        QTest::newRow("sound") << std::vector<TextRange>{{0, 1}, {1, 265}}
                               << std::vector<TextRange>{{0, 1}, {1, 265}} << 0;
    }

    void storedRangesMergeAndStopAtTheTextEnd()
    {
        QFETCH(std::vector<TextRange>, stored);
        QFETCH(std::vector<TextRange>, restored);
        QFETCH(int, messageCount);
        AppFixture app;
        app.start();
        // Five lines of 51 characters: 265 positions.
        QByteArray text;
        for (int line = 0; line < 5; ++line)
            text += QByteArray(51, 'x') + '\n';
        const QString path = app.document(QStringLiteral("rfc1.txt"), text);
        QVERIFY(HighlightFile::write(app.highlightPath(path), stored));
        DocumentWindow *window = app.open(path);
        QCOMPARE(window->textView()->textLength(), 265);
        QCOMPARE(window->record().highlights.ranges(), restored);
        QCOMPARE(backgroundAt(window, restored.back().start), QColor(Qt::yellow));
        QCOMPARE(app.strips().size(), messageCount);
        if (messageCount > 0)
            QVERIFY(app.strips()[0].contains(QStringLiteral("damaged")));

        // What was restored is what the next save keeps.
        window->textView()->setSelectionStart(20);
        window->textView()->setSelectionLength(2);
        trigger(app, Command::EditHighlight);
        QVERIFY(window->close());
        RangeSet expected;
        for (const TextRange &range : restored)
            expected.add(range.start, range.end);
        expected.add(20, 22);
        QCOMPARE(HighlightFile::read(app.highlightPath(path)), expected.ranges());
    }

    void unwritableHighlightFileKeepsTheWindowOpen()
    {
        AppFixture app;
        app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(50));
        DocumentWindow *window = app.open(path);
        window->textView()->setSelectionStart(10);
        window->textView()->setSelectionLength(5);
        trigger(app, Command::EditHighlight);
        // Something that is not a file where the temporary file would go.
        const QString hl = app.highlightPath(path);
        QVERIFY(QDir().mkpath(hl + QStringLiteral(".tmp/x")));
        QVERIFY(!window->close());
        QCOMPARE(app.dialogs.errors.size(), 1);
        QCOMPARE(app.dialogs.errors[0].text, QStringLiteral("Unable to write to %1").arg(hl));
        QCOMPARE(app.form()->documents().size(), 1);
        QVERIFY(QDir(hl + QStringLiteral(".tmp")).removeRecursively());
        QVERIFY(window->close());
        QCOMPARE(HighlightFile::read(hl), (std::vector<TextRange>{{10, 15}}));
    }

    void everythingSurvivesTheProgramClosing()
    {
        AppFixture app;
        app.start();
        QStringList paths;
        for (const char *name : {"rfc1.txt", "rfc2.txt", "rfc3.txt"})
            paths << app.document(QLatin1String(name), numberedLines(80));
        for (int i = 0; i < 3; ++i) {
            DocumentWindow *window = app.open(paths[i]);
            caretToLine(window, 5 + i);
            addBookmark(app, QStringLiteral("mark %1").arg(i));
            window->textView()->setSelectionStart(40 + i);
            window->textView()->setSelectionLength(10);
            trigger(app, Command::EditHighlight);
        }
        QVERIFY(app.close());
        app.start();
        for (int i = 0; i < 3; ++i) {
            DocumentWindow *window = app.open(paths[i]);
            QCOMPARE(bookmarkNames(window), QStringList(QStringLiteral("mark %1").arg(i)));
            QCOMPARE(window->record().bookmarks[0].line, 5 + i);
            QCOMPARE(window->record().highlights.ranges(), (std::vector<TextRange>{{40 + i, 50 + i}}));
        }
    }
};

QTEST_MAIN(TestAnnotations)
#include "tst_annotations.moc"
