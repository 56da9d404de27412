#include "appfixture.h"
#include "documentwindow.h"
#include "jumphistory.h"
#include "mainwindow.h"
#include "textview.h"

#include <QAction>
#include <QListWidget>
#include <QTest>

namespace {

QByteArray numberedDocument(int lines)
{
    QByteArray text;
    for (int line = 1; line <= lines; ++line)
        text += line % 50 == 0 ? QByteArray::number(line / 50) + ".  Part\n" : "   text line\n";
    return text;
}

} // namespace

// Going back and forward over jumps, across documents.
class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void aNewJumpDropsThePlacesAhead()
    {
        JumpHistory history;
        const Place a{QStringLiteral("/a"), 1}, b{QStringLiteral("/a"), 40}, c{QStringLiteral("/b"), 7};
        QVERIFY(!history.back(a));
        history.recordJump(a);
        history.recordJump(b);
        QCOMPARE(history.back(c), std::optional(b));
        QCOMPARE(history.back(b), std::optional(a));
        QCOMPARE(history.forward(a), std::optional(b));
        history.recordJump(b);
        QVERIFY(!history.canGoForward());
        history.forget(QStringLiteral("/a"));
        QVERIFY(!history.canGoBack());
    }

    void backAndForwardAcrossDocuments()
    {
        AppFixture app;
        MainWindow *form = app.start();
        form->resize(900, 600);
        const QString first = app.document(QStringLiteral("rfc1.txt"), numberedDocument(400));
        const QString second = app.document(QStringLiteral("rfc2.txt"), numberedDocument(400));
        DocumentWindow *one = app.open(first);
        QVERIFY(!form->action(Command::GoBack)->isEnabled());
        one->jumpToLine(100);
        one->jumpToLine(200);
        QVERIFY(form->action(Command::GoBack)->isEnabled());

        DocumentWindow *two = app.open(second);
        two->jumpToLine(300);
        form->action(Command::GoBack)->trigger(); // to the top of the second
        app.settle();
        QCOMPARE(form->activeDocument(), two);
        QCOMPARE(two->topLine(), 1);
        QCOMPARE(two->textView()->selectionStart(), 0);

        // The first document was closed: going back opens it again at its place.
        QVERIFY(one->close());
        form->action(Command::GoBack)->trigger();
        app.settle();
        QCOMPARE(form->activeDocument()->documentPath(), first);
        QCOMPARE(form->activeDocument()->topLine(), 100);
        form->action(Command::GoForward)->trigger();
        app.settle();
        QCOMPARE(form->activeDocument()->documentPath(), second);
        QCOMPARE(form->activeDocument()->topLine(), 1);

        // Alt+Left is Back.
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form->activeDocument()->textView(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(form->activeDocument()->documentPath(), first);
        QCOMPARE(form->activeDocument()->topLine(), 100);
    }

    // One field for a line, a section, a page or a bookmark; each a jump,
    // its line marked for a moment.
    void goToTakesEveryKindOfPlace()
    {
        AppFixture app;
        MainWindow *form = app.start();
        form->resize(900, 600);
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), numberedDocument(200)));
        window->textView()->setSelectionStart(window->textView()->lineStart(9));
        window->addBookmark(QStringLiteral("Ten"));
        const auto goTo = [&](const QString &typed) {
            app.dialogs.completionAnswers.enqueue(typed);
            form->action(Command::GoGoTo)->trigger();
            return window->textView()->caretLine() + 1;
        };
        QCOMPARE(goTo(QStringLiteral("3.")), 150);
        QCOMPARE(app.dialogs.lastCompletions,
                 QStringList({"1.  Part", "2.  Part", "3.  Part", "4.  Part", "Ten"}));
        QCOMPARE(window->textView()->flashedLine(), 149);
        QTRY_COMPARE(window->textView()->flashedLine(), -1);
        QCOMPARE(goTo(QStringLiteral("77")), 77);
        QCOMPARE(goTo(QStringLiteral("ten")), 10);
        QCOMPARE(app.dialogs.informations.size(), 0);
        form->action(Command::GoBack)->trigger();
        QCOMPARE(window->textView()->caretLine() + 1, 77);

        // Nothing moves for what is not there or not understood.
        QCOMPARE(goTo(QStringLiteral("9.1")), 77);
        QCOMPARE(goTo(QStringLiteral("p 2")), 77); // no printed pages
        QCOMPARE(goTo(QStringLiteral("what")), 77);
        QCOMPARE(app.dialogs.informations.size(), 3);
        QCOMPARE(app.dialogs.informations[0].text, QStringLiteral("\"9.1\" is not in this document."));
    }

    void placesInDocumentsThatAreGoneArePassedOver()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString first = app.document(QStringLiteral("rfc1.txt"), numberedDocument(300));
        const QString gone = app.document(QStringLiteral("rfc2.txt"), numberedDocument(300));
        app.open(first)->jumpToLine(120);
        DocumentWindow *other = app.open(gone);
        other->jumpToLine(200);
        QVERIFY(other->close());
        QVERIFY(QFile::remove(gone));
        app.open(first)->jumpToLine(250);
        form->action(Command::GoBack)->trigger();
        app.settle();
        QCOMPARE(form->activeDocument()->topLine(), 120);
        form->action(Command::GoBack)->trigger();
        app.settle();
        QCOMPARE(form->activeDocument()->documentPath(), first);
        QCOMPARE(form->activeDocument()->topLine(), 1);
        QCOMPARE(form->documents().size(), 1);
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
