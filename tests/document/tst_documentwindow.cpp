#include "documentwindow.h"
#include "textview.h"
#include "fontsettings.h"
#include "mainwindow.h"
#include "fontsettings.h"
#include "appfixture.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QLabel>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QToolTip>
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

        // "2." puts its heading at the top and the caret at its start, so
        // that the next key goes on from there.
        clickNode(window, nodeOf(window, 2));
        QCOMPARE(view->firstVisibleLine(), 119);
        QCOMPARE(view->selectionStart(), view->lineStart(119));
        QCOMPARE(view->selectionLength(), 0);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->firstVisibleLine(), 119);
        QCOMPARE(app.form()->lineIndicator()->text(), QStringLiteral("line: 120/300"));
        // Clicking the selected entry again jumps again.
        view->scrollToLine(1);
        clickNode(window, nodeOf(window, 2));
        QCOMPARE(view->firstVisibleLine(), 119);
        // The entry follows the view as it scrolls.
        view->scrollToLine(150);
        QCOMPARE(tree->currentItem(), nodeOf(window, 2));
        // Return on an entry jumps as a click does.
        tree->setFocus();
        tree->setCurrentItem(nodeOf(window, 3));
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(view->firstVisibleLine(), 199);

        // Caret tracking selects the section that holds the caret.
        view->setSelectionStart(view->toViewPosition(view->document()->findBlockByNumber(60).position()));
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(tree->currentItem(), nodeOf(window, 1));
        QVERIFY(nodeOf(window, 1)->isSelected());
        // B, selected by tracking, jumps when clicked.
        clickNode(window, nodeOf(window, 1));
        QCOMPARE(view->firstVisibleLine(), 49);

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

    // The entry of the section that holds the top line, as the view scrolls.
    void selectionFollowsTheTopLine_data()
    {
        QTest::addColumn<int>("topLine"); // counted from 1
        QTest::addColumn<int>("entry");   // -1: none
        QTest::newRow("inside 1.1") << 55 << 1;
        QTest::newRow("on 2.") << 120 << 2;
        QTest::newRow("inside 2.1") << 230 << 3;
        QTest::newRow("above the first") << 5 << -1;
    }

    void selectionFollowsTheTopLine()
    {
        QFETCH(int, topLine);
        QFETCH(int, entry);
        AppFixture app;
        app.start()->resize(900, 600);
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), sampleDocument()));
        window->indexTree()->expandAll();
        window->textView()->scrollToLine(120);
        window->textView()->scrollToLine(topLine);
        QCOMPARE(window->indexTree()->currentItem(), entry < 0 ? nullptr : nodeOf(window, entry));
    }

    // The view cannot bring the last heading to its top; the clicked entry
    // stayed selected, not the section that holds the top line.
    void clickedEntryNearTheEndStaysSelected()
    {
        AppFixture app;
        app.start()->resize(900, 600);
        QByteArray text = "1.  First\n" + numberedLines(400) + "2.  Last\nthe end\n";
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), text));
        clickNode(window, nodeOf(window, 1));
        QVERIFY(window->textView()->firstVisibleLine() < 401);
        QCOMPARE(window->indexTree()->currentItem(), nodeOf(window, 1));
    }

    void openingSelectsTheSectionAtTheTop()
    {
        AppFixture app;
        app.start()->resize(900, 600);
        // On line 1 the view does not scroll at all when it opens.
        const QString path = app.document(QStringLiteral("rfc1.txt"), "1.  Top\n" + sampleDocument());
        DocumentWindow *window = app.open(path);
        QCOMPARE(window->indexTree()->currentItem(), nodeOf(window, 0));
        // At the stored top line.
        window->textView()->scrollToLine(131);
        QVERIFY(window->close());
        QTRY_VERIFY(app.form()->documents().isEmpty());
        window = app.open(path);
        QCOMPARE(window->textView()->firstVisibleLine(), 130);
        QCOMPARE(window->indexTree()->currentItem(), nodeOf(window, 3));
    }

    void cutEntriesShowTheirTitleAsToolTip()
    {
        AppFixture app;
        app.start()->resize(900, 600);
        const QString longTitle = QStringLiteral("2.  A heading far too long for the index panel to show in full");
        DocumentWindow *window =
            app.open(app.document(QStringLiteral("rfc1.txt"), "1.  Short\nbody\n" + longTitle.toLatin1() + "\n"));
        QTreeWidget *tree = window->indexTree();
        const auto hover = [tree](QTreeWidgetItem *item) {
            const QPoint at = tree->visualItemRect(item).center();
            QHelpEvent event(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
            QApplication::sendEvent(tree->viewport(), &event);
        };
        hover(nodeOf(window, 0));
        QVERIFY(!QToolTip::isVisible());
        hover(nodeOf(window, 1));
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText(), longTitle);
    }

    void noHeadingsShowsOneInertEntry()
    {
        AppFixture app;
        app.start()->resize(900, 600);
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), numberedLines(300)));
        QTreeWidget *tree = window->indexTree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *entry = tree->topLevelItem(0);
        QCOMPARE(entry->text(0), QStringLiteral("(no numbered sections)"));
        QVERIFY(!(entry->flags() & Qt::ItemIsEnabled));
        window->textView()->scrollToLine(100);
        clickNode(window, entry);
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(window->textView()->firstVisibleLine(), 99);
        QVERIFY(tree->selectedItems().isEmpty());
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
