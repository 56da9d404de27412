#include "appfixture.h"
#include "documentwindow.h"
#include "findbar.h"
#include "mainwindow.h"
#include "textview.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

namespace {

// "alpha" at the start of lines 0, 2, 4 and 6 (positions 0, 24, 48, 72).
const QByteArray Lines = "alpha one\n"
                         "beta two\n"
                         "alpha three\n"
                         "gamma four\n"
                         "alpha fivefive\n"
                         "delta six\n"
                         "Alpha seven\n";

QString countText(MainWindow *form)
{
    return form->findBar()->findChildren<QLabel *>().at(1)->text();
}

} // namespace

// The incremental find bar: as you type, next, previous, wrap and count.
class TestFindBar : public QObject
{
    Q_OBJECT

private slots:
    void typingSearchesOnFromTheCaret()
    {
        AppFixture app;
        MainWindow *form = app.start();
        // Active, so that the window's shortcuts see the keys as they would.
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), Lines));
        TextView *view = window->textView();
        view->setSelectionStart(view->lineStart(1));
        QTest::keyClick(view, Qt::Key_Slash);
        QVERIFY(form->findBar()->isVisible());
        QLineEdit *field = form->findBar()->field();
        QTest::keyClicks(field, QStringLiteral("alp"));
        // The first match after the caret, not the first in the text.
        QCOMPARE(view->selectionStart(), view->lineStart(2));
        QCOMPARE(view->selectionLength(), 3);
        QCOMPARE(countText(form), QStringLiteral("2 of 4"));

        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(view->selectionStart(), view->lineStart(4));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(view->selectionStart(), view->lineStart(6));
        QTest::keyClick(field, Qt::Key_Return); // round the end
        QCOMPARE(view->selectionStart(), 0);
        QCOMPARE(countText(form), QStringLiteral("1 of 4"));
        QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Search wrapped"));
        QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier); // and back
        QCOMPARE(view->selectionStart(), view->lineStart(6));

        // Nowhere in the text: the caret stays, the field says so.
        QTest::keyClicks(field, QStringLiteral("xx"));
        QCOMPARE(view->selectionStart(), view->lineStart(6));
        QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Not found: alpxx"));
        QCOMPARE(countText(form), QStringLiteral("0 of 0"));
        QVERIFY(!field->styleSheet().isEmpty());

        // Escape leaves the last match selected, for F5.
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!form->findBar()->isVisible());
        QCOMPARE(view->selectionLength(), 3);
        QVERIFY(view->extraSelections().isEmpty());
    }

    void optionsAndTheRepeatKeys()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), Lines));
        TextView *view = window->textView();
        form->action(Command::SearchFindAsYouType)->trigger();
        QTest::keyClicks(form->findBar()->field(), QStringLiteral("Alpha"));
        QCOMPARE(countText(form), QStringLiteral("1 of 4"));
        QCOMPARE(view->extraSelections().size(), 4); // every match in sight is marked
        form->findBar()->findChild<QCheckBox *>()->setChecked(true); // match case
        QCOMPARE(countText(form), QStringLiteral("1 of 1"));
        QCOMPARE(view->selectionStart(), view->lineStart(6));

        // F3 and Shift+F3 repeat the bar's search with its options.
        form->findBar()->findChild<QCheckBox *>()->setChecked(false);
        QTest::keyClick(form->findBar()->field(), Qt::Key_Escape);
        view->setSelectionStart(0);
        form->action(Command::SearchFindNext)->trigger();
        QCOMPARE(view->selectionStart(), view->lineStart(2));
        form->action(Command::SearchFindPrevious)->trigger();
        QCOMPARE(view->selectionStart(), 0);

        // A selection becomes the bar's text.
        view->setSelectionStart(view->lineStart(3));
        view->setSelectionLength(5);
        form->action(Command::SearchFindAsYouType)->trigger();
        QCOMPARE(form->findBar()->text(), QStringLiteral("gamma"));
        QCOMPARE(countText(form), QStringLiteral("1 of 1"));
    }

    // An empty bar, opened and closed, replaced the last search: F3 then did
    // nothing in any document.
    void emptyFindBarKeepsTheLastSearch()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), Lines));
        TextView *view = window->textView();
        form->action(Command::SearchFindAsYouType)->trigger();
        QTest::keyClicks(form->findBar()->field(), QStringLiteral("gamma"));
        QTest::keyClick(form->findBar()->field(), Qt::Key_Escape);

        view->setSelectionStart(0);
        form->action(Command::SearchFindAsYouType)->trigger();
        QTest::keyClick(form->findBar()->field(), Qt::Key_Backspace);
        QVERIFY(form->findBar()->text().isEmpty());
        QTest::keyClick(form->findBar()->field(), Qt::Key_Escape);
        form->action(Command::SearchFindNext)->trigger();
        QCOMPARE(view->selectionStart(), view->lineStart(3));
    }

    // Escape or the close button switched to the first document.
    void closingTheBarKeepsItsDocument_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Escape") << false;
        QTest::newRow("close button") << true;
    }

    void closingTheBarKeepsItsDocument()
    {
        QFETCH(bool, byButton);
        AppFixture app;
        MainWindow *form = app.start();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        app.open(app.document(QStringLiteral("rfc1.txt"), Lines));
        DocumentWindow *second = app.open(app.document(QStringLiteral("rfc2.txt"), Lines));
        QCOMPARE(form->activeDocument(), second);
        form->action(Command::SearchFindAsYouType)->trigger();
        QTest::keyClicks(form->findBar()->field(), QStringLiteral("beta"));
        QTRY_VERIFY(form->findBar()->field()->hasFocus());
        if (byButton)
            QTest::mouseClick(form->findBar()->findChild<QToolButton *>(), Qt::LeftButton);
        else
            QTest::keyClick(form->findBar()->field(), Qt::Key_Escape);
        QVERIFY(form->findBar()->isHidden());
        QCOMPARE(form->activeDocument(), second);
        QTRY_VERIFY(second->textView()->hasFocus());
    }
};

QTEST_MAIN(TestFindBar)
#include "tst_findbar.moc"
