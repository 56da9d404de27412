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
