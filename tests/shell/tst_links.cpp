#include "appfixture.h"
#include "documentwindow.h"
#include "mainwindow.h"
#include "textview.h"

#include <QAction>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>

namespace {

const QByteArray First = "RFC 9998            First Document\n"
                         "\n"
                         "1.  Introduction\n"
                         "\n"
                         "   See Section 2 and RFC 9999, and RFC 2068, and [PROTO].\n"
                         "\n"
                         "2.  Details\n"
                         "\n"
                         "   Words.\n"
                         "\n"
                         "3.  References\n"
                         "\n"
                         "   [PROTO]     Someone, \"A Protocol\", 2001.\n";

const QByteArray Second = "RFC 9999            Second Document\n"
                          "\n"
                          "1.  Start\n";

// Ctrl+click on the character at a position of the text.
void ctrlClick(TextView *view, int qtPosition)
{
    QTextCursor cursor(view->document());
    cursor.setPosition(qtPosition);
    const QPoint at = view->cursorRect(cursor).center() + QPoint(2, 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
}

} // namespace

// References in the text followed to a section, a reference entry and
// another document, and back again.
class TestLinks : public QObject
{
    Q_OBJECT

private slots:
    void followAndComeBack()
    {
        AppFixture app;
        // A document on no disk is said to be missing, not fetched.
        app.settings->writeInteger(SettingsKeyPath, QStringLiteral("fetch_on_follow"), 0);
        MainWindow *form = app.start();
        form->resize(900, 600);
        const QString first = app.document(QStringLiteral("rfc9998.txt"), First);
        const QString second = app.document(QStringLiteral("rfc9999.txt"), Second);
        DocumentWindow *window = app.open(first);
        TextView *view = window->textView();
        const int line5 = int(First.indexOf("See Section"));

        // A plain click only places the caret.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->cursorRect(QTextCursor(view->document()->findBlockByNumber(4))).center());
        QCOMPARE(form->documents().size(), 1);

        // "Section 2": the caret goes to its heading.
        ctrlClick(view, line5 + int(QByteArray("See Sec").size()));
        QCOMPARE(view->caretLine(), 6);

        // Enter on "[PROTO]" goes to its entry under References.
        view->setSelectionStart(view->toViewPosition(int(First.indexOf("[PROTO]."))));
        QTest::keyClick(view, Qt::Key_Return);
        app.settle();
        QCOMPARE(view->caretLine(), 12);

        // "RFC 9999" lies beside it: it opens in a tab of its own.
        ctrlClick(view, line5 + int(QByteArray("See Section 2 and RFC 99").size()));
        app.settle();
        QCOMPARE(form->activeDocument()->documentPath(), second);
        form->action(Command::GoBack)->trigger();
        app.settle();
        QCOMPARE(form->activeDocument()->documentPath(), first);

        // A document that is nowhere: said in the status bar, no box.
        ctrlClick(view, line5 + int(QByteArray("See Section 2 and RFC 9999, and RFC 20").size()));
        QVERIFY(form->statusBar()->currentMessage().startsWith(QStringLiteral("RFC 2068 is not in ")));
        QVERIFY(app.dialogs.errors.isEmpty() && app.dialogs.informations.isEmpty());
    }
};

QTEST_MAIN(TestLinks)
#include "tst_links.moc"
