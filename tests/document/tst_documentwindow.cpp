#include "documentwindow.h"
#include "textview.h"
#include "fontsettings.h"
#include "mainwindow.h"
#include "fontsettings.h"
#include "appfixture.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QLabel>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <QTextBlock>
#include <QTreeWidget>

namespace {

// A document of 300 lines with headings on lines 10 (1), 50 (1.1), 120 (2) and 200 (2.1).
QByteArray sampleDocument()
{
    QByteArray text;
    for (int line = 1; line <= 300; ++line) {
        switch (line) {
        case 10: text += "1.  Introduction\n"; break;
        case 50: text += "1.1.  Terms\n"; break;
        case 120: text += "2.  Protocol\n"; break;
        case 200: text += "2.1.  Messages\n"; break;
        default: text += "   body text of line " + QByteArray::number(line) + "\n";
        }
    }
    return text;
}

// The index entry of a heading: the tree lists them in file order.
QTreeWidgetItem *nodeOf(DocumentWindow *window, int slot)
{
    QTreeWidgetItemIterator it(window->indexTree());
    for (int skipped = 0; skipped < slot && *it; ++skipped)
        ++it;
    return *it;
}

void clickNode(DocumentWindow *window, QTreeWidgetItem *node)
{
    QTreeWidget *tree = window->indexTree();
    tree->scrollToItem(node);
    const QRect rect = tree->visualItemRect(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

// Heading styling and the index's two-way link with the text.
class TestChildWin : public QObject
{
    Q_OBJECT

private slots:
    void headingsAreStyledOverTheirWholeLine()
    {
        AppFixture app;
        const QString header = SettingsKeyPath + QStringLiteral("header");
        app.settings->writeInteger(header, QStringLiteral("size"), 14);
        app.settings->writeInteger(header, QStringLiteral("color"), 0x0000ff); // red, as 0x00BBGGRR
        app.settings->writeInteger(header, QStringLiteral("bold"), 1);
        app.settings->writeInteger(header, QStringLiteral("underline"), 1);
        app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), sampleDocument()));
        TextView *view = window->textView();
        QCOMPARE(view->selectionStart(), 0);
        QCOMPARE(view->selectionLength(), 0);
        const QTextBlock heading = view->document()->findBlockByNumber(9);
        QCOMPARE(heading.text(), QStringLiteral("1.  Introduction"));
        const QList<QTextLayout::FormatRange> formats = heading.textFormats();
        QCOMPARE(formats.size(), 1);
        QCOMPARE(formats[0].start, 0);
        QCOMPARE(formats[0].length, heading.length() - 1);
        QCOMPARE(formats[0].format.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formats[0].format.fontWeight(), int(QFont::Bold));
        QVERIFY(formats[0].format.fontUnderline());
        QVERIFY(!formats[0].format.fontItalic());
        QCOMPARE(formats[0].format.fontPointSize(), 14.0);
        // Body lines keep the text font.
        QVERIFY(view->document()->findBlockByNumber(10).textFormats().constFirst().format.fontPointSize() != 14.0);
    }

    void styledRangeCoversTheHeadingLineExactly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CRLF") << QByteArray("abc\r\n\r\n1.  Intro\r\ntext\r\n2.  Next\r\n");
        QTest::newRow("UTF-8") << QByteArray("T\xc3\xbcxen \xe5\xa5\xa5\n\n1.  Intro\ntext\n2.  Next \xc3\xa9\n");
        QTest::newRow("Latin-1") << QByteArray("T\xfcxen\n\n1.  Intro\ntext\n2.  Next \xe9\n");
    }

    void styledRangeCoversTheHeadingLineExactly()
    {
        QFETCH(QByteArray, bytes);
        AppFixture app;
        app.settings->writeInteger(SettingsKeyPath + QStringLiteral("header"), QStringLiteral("bold"), 1);
        app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), bytes));
        QCOMPARE(window->record().outline.headings.size(), size_t(2));
        for (int line : {2, 4}) {
            const QTextBlock block = window->textView()->document()->findBlockByNumber(line);
            const QList<QTextLayout::FormatRange> formats = block.textFormats();
            QCOMPARE(formats.size(), 1);
            QCOMPARE(formats[0].start, 0);
            QCOMPARE(formats[0].length, block.length() - 1);
            QCOMPARE(formats[0].format.fontWeight(), int(QFont::Bold));
        }
        // The lines around them keep the text font.
        for (int line : {1, 3})
            for (const QTextLayout::FormatRange &range :
                 window->textView()->document()->findBlockByNumber(line).textFormats())
                QVERIFY(range.format.fontWeight() != int(QFont::Bold));
    }

    void clickScrollsAndCaretTracks()
    {
        AppFixture app;
        app.start()->resize(900, 600);
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), sampleDocument()));
        TextView *view = window->textView();
        QTreeWidget *tree = window->indexTree();
        tree->expandAll();

        // A: "2." scrolls its heading to the top without moving the caret.
        clickNode(window, nodeOf(window, 2));
        QCOMPARE(view->firstVisibleLine(), 119);
        QCOMPARE(view->selectionStart(), 0);
        // Clicking A again does nothing, even after scrolling away.
        view->scrollToLine(1);
        clickNode(window, nodeOf(window, 2));
        QCOMPARE(view->firstVisibleLine(), 0);

        // Caret tracking selects the section that holds the caret.
        view->setSelectionStart(view->toViewPosition(view->document()->findBlockByNumber(60).position()));
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(tree->currentItem(), nodeOf(window, 1));
        QVERIFY(nodeOf(window, 1)->isSelected());
        // B, selected by tracking, scrolls when clicked; A, still the last followed, does not.
        clickNode(window, nodeOf(window, 1));
        QCOMPARE(view->firstVisibleLine(), 49);
        view->scrollToLine(1);
        clickNode(window, nodeOf(window, 1));
        QCOMPARE(view->firstVisibleLine(), 0);

        // On a heading's own line, that heading; above the first, nothing.
        view->setSelectionStart(view->toViewPosition(view->document()->findBlockByNumber(199).position()));
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(tree->currentItem(), nodeOf(window, 3));
        view->setSelectionStart(0);
        QTest::keyClick(view, Qt::Key_Down);
        QVERIFY(tree->selectedItems().isEmpty());
        // After the last heading, the last heading.
        QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(tree->currentItem(), nodeOf(window, 3));
        QCOMPARE(app.form()->lineIndicator()->text(), QStringLiteral("line: 300/300"));
    }

    // Select All from the text's own context menu moved the caret, and the
    // line indicator and the index stayed where they were.
    void contextMenuKeepsTheIndicatorInStep()
    {
        AppFixture app;
        app.start()->resize(900, 600);
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), sampleDocument()));
        TextView *view = window->textView();
        bool chosen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            poll.stop();
            for (QAction *action : menu->actions())
                if (action->text().startsWith(QStringLiteral("Select All")))
                    menu->setActiveAction(action);
            chosen = menu->activeAction() != nullptr;
            QTest::keyClick(menu, chosen ? Qt::Key_Return : Qt::Key_Escape);
        });
        poll.start(10);
        const QPoint at(20, 20);
        QContextMenuEvent event(QContextMenuEvent::Keyboard, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
        QTRY_VERIFY(chosen);
        QTRY_COMPARE(app.form()->lineIndicator()->text(), QStringLiteral("line: 300/300"));
        QCOMPARE(window->indexTree()->currentItem(), nodeOf(window, 3));
    }

    void keyboardInTheTreeDoesNotScroll()
    {
        AppFixture app;
        app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), sampleDocument()));
        QTreeWidget *tree = window->indexTree();
        tree->setFocus();
        tree->setCurrentItem(nodeOf(window, 0));
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(window->textView()->firstVisibleLine(), 0);
    }
};

QTEST_MAIN(TestChildWin)
#include "tst_documentwindow.moc"
