#include "documentwindow.h"
#include "textview.h"
#include "finddialog.h"
#include "mainwindow.h"
#include "appfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

namespace {

struct Selection
{
    qint32 start;
    qint32 length;
    friend bool operator==(const Selection &, const Selection &) = default;
};

char *toString(const Selection &selection)
{
    return qstrdup(QByteArray::number(selection.start) + ".." + QByteArray::number(selection.start + selection.length));
}

Selection selectionOf(DocumentWindow *document)
{
    return {document->textView()->selectionStart(), document->textView()->selectionLength()};
}

void select(DocumentWindow *document, qint32 start, qint32 length)
{
    document->textView()->setSelectionStart(start);
    document->textView()->setSelectionLength(length);
}

// Opens the dialog with Ctrl+F, fills it in and presses Enter in the text field.
void findWithDialog(MainWindow *form, const QString &text, bool matchCase = false, bool wholeWord = false)
{
    form->action(Command::SearchFind)->trigger();
    FindDialog *dialog = form->findDialog();
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("FindText"));
    edit->clear();
    QTest::keyClicks(edit, text);
    dialog->findChild<QCheckBox *>(QStringLiteral("MatchCase"))->setChecked(matchCase);
    dialog->findChild<QCheckBox *>(QStringLiteral("WholeWord"))->setChecked(wholeWord);
    QTest::keyClick(edit, Qt::Key_Return);
}

void findNext(MainWindow *form)
{
    form->action(Command::SearchFindNext)->trigger();
}

} // namespace

// Finding text forward in the active document, and repeating it with F3.
class TestFind : public QObject
{
    Q_OBJECT

private slots:
    void searchStartsAfterASelectionOnly()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *document = app.open(app.document(QStringLiteral("rfc1.txt"), "one two one two\n"));

        // A caret alone does not move the start: the search begins at the top.
        document->textView()->setSelectionStart(9);
        findWithDialog(form, QStringLiteral("one"));
        QCOMPARE(selectionOf(document), (Selection{0, 3}));

        // Neither does a selection of the whole text.
        select(document, 0, document->textView()->textLength());
        findWithDialog(form, QStringLiteral("two"));
        QCOMPARE(selectionOf(document), (Selection{4, 3}));

        // A selection the user makes moves the start to its end.
        select(document, 0, 9);
        findWithDialog(form, QStringLiteral("two"));
        QCOMPARE(selectionOf(document), (Selection{12, 3}));
    }

    void newTextBeforeTheSelectionIsNotFound()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *document = app.open(app.document(QStringLiteral("rfc1.txt"), "apple banana cherry\n"));
        select(document, 13, 6);
        findWithDialog(form, QStringLiteral("apple"));
        QCOMPARE(selectionOf(document), (Selection{13, 6}));
        findNext(form);
        QCOMPARE(selectionOf(document), (Selection{13, 6}));

        // Once found, the same text does wrap.
        document->textView()->setSelectionStart(0);
        findWithDialog(form, QStringLiteral("banana"));
        QCOMPARE(selectionOf(document), (Selection{6, 6}));
        findWithDialog(form, QStringLiteral("banana"));
        QCOMPARE(selectionOf(document), (Selection{6, 6}));
        // A text found nowhere leaves the selection alone.
        findWithDialog(form, QStringLiteral("durian"));
        QCOMPARE(selectionOf(document), (Selection{6, 6}));
    }

    void findNextVisitsEachMatchThenWraps()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *single = app.open(app.document(QStringLiteral("rfc1.txt"), "first line\nthe needle here\nlast\n"));
        findWithDialog(form, QStringLiteral("needle"));
        const Selection needle{16, 6}; // "first line", a two-character line end, "the "
        QCOMPARE(selectionOf(single), needle);
        for (int i = 0; i < 3; ++i) {
            findNext(form);
            QCOMPARE(selectionOf(single), needle);
        }

        DocumentWindow *repeated = app.open(app.document(QStringLiteral("rfc2.txt"), "ab ab ab\n"));
        findWithDialog(form, QStringLiteral("ab"));
        QList<qint32> starts{repeated->textView()->selectionStart()};
        for (int i = 0; i < 3; ++i) {
            findNext(form);
            starts << repeated->textView()->selectionStart();
        }
        QCOMPARE(starts, QList<qint32>({0, 3, 6, 0}));

        // Overlapping matches are skipped: the next search starts after the match.
        DocumentWindow *letters = app.open(app.document(QStringLiteral("rfc3.txt"), "aaa"));
        findWithDialog(form, QStringLiteral("aa"));
        QCOMPARE(selectionOf(letters), (Selection{0, 2}));
        findNext(form);
        QCOMPARE(selectionOf(letters), (Selection{0, 2}));
    }

    void optionsReachTheSearch()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *document = app.open(app.document(QStringLiteral("rfc1.txt"), "concat Cat cat\n"));
        const struct
        {
            const char *text;
            bool matchCase;
            bool wholeWord;
            qint32 expected;
        } cases[] = {
            {"cat", false, false, 3},
            {"cat", false, true, 7},
            {"Cat", true, false, 7},
            {"cat", true, true, 11},
        };
        for (const auto &row : cases) {
            document->textView()->setSelectionStart(0);
            findWithDialog(form, QLatin1String(row.text), row.matchCase, row.wholeWord);
            QCOMPARE(selectionOf(document), (Selection{row.expected, 3}));
        }
    }

    void optionsAreRememberedWithTheText()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *document = app.open(app.document(QStringLiteral("rfc1.txt"), "Word word WORD\n"));
        findWithDialog(form, QStringLiteral("word"));
        QCOMPARE(selectionOf(document), (Selection{0, 4}));
        // Same text, now with match case: this search uses it...
        findWithDialog(form, QStringLiteral("word"), true);
        QCOMPARE(selectionOf(document), (Selection{5, 4}));
        // ...but F3 repeats the options remembered with the text.
        findNext(form);
        QCOMPARE(selectionOf(document), (Selection{10, 4}));
    }

    void documentsKeepTheirOwnSearch()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *first = app.open(app.document(QStringLiteral("rfc1.txt"), "cat dog cat\n"));
        DocumentWindow *second = app.open(app.document(QStringLiteral("rfc2.txt"), "bird fish bird\n"));

        form->mdiArea()->setActiveSubWindow(first);
        findWithDialog(form, QStringLiteral("cat"));
        QCOMPARE(selectionOf(first), (Selection{0, 3}));

        // Nothing found yet in the second document: F3 does nothing there.
        form->mdiArea()->setActiveSubWindow(second);
        select(second, 5, 4);
        findNext(form);
        QCOMPARE(selectionOf(second), (Selection{5, 4}));
        QCOMPARE(selectionOf(first), (Selection{0, 3}));

        findWithDialog(form, QStringLiteral("bird"));
        QCOMPARE(selectionOf(second), (Selection{10, 4}));

        form->mdiArea()->setActiveSubWindow(first);
        findNext(form);
        QCOMPARE(selectionOf(first), (Selection{8, 3}));
        form->mdiArea()->setActiveSubWindow(second);
        findNext(form);
        QCOMPARE(selectionOf(second), (Selection{0, 4}));
    }

    void dialogNeedsADocumentAndKeepsItsContent()
    {
        AppFixture app;
        MainWindow *form = app.start();
        FindDialog *dialog = form->findDialog();
        form->action(Command::SearchFind)->trigger();
        QVERIFY(dialog->isHidden());
        findNext(form); // nothing to act on, and no failure

        DocumentWindow *document = app.open(app.document(QStringLiteral("rfc1.txt"), "Some text\n"));
        findWithDialog(form, QStringLiteral("TEXT"), false, true);
        QVERIFY(dialog->isVisible());
        QCOMPARE(selectionOf(document), (Selection{5, 4}));

        // Escape closes it; the next Ctrl+F shows what was there.
        QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("FindText")), Qt::Key_Escape);
        QVERIFY(dialog->isHidden());
        form->action(Command::SearchFind)->trigger();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->text(), QStringLiteral("TEXT"));
        QVERIFY(!dialog->matchCase());
        QVERIFY(dialog->wholeWord());

        // It stays open after the last document closes; its button does nothing then.
        QVERIFY(document->close());
        QTRY_VERIFY(form->documents().isEmpty());
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("FindButton")), Qt::LeftButton);
        findNext(form);
        QVERIFY(dialog->isVisible());
    }

    void findsWhileTheDialogIsTheActiveWindow()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *document = app.open(app.document(QStringLiteral("rfc1.txt"), "alpha beta\n"));
        form->activateWindow();
        QTRY_VERIFY(form->isActiveWindow());
        form->action(Command::SearchFind)->trigger();
        QTRY_VERIFY(form->findDialog()->isActiveWindow());
        auto *edit = form->findDialog()->findChild<QLineEdit *>(QStringLiteral("FindText"));
        QTest::keyClicks(edit, QStringLiteral("beta"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(selectionOf(document), (Selection{6, 4}));
        // The fixture now destroys the main window with the dialog still active.
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
