#include "appfixture.h"
#include "documentwindow.h"
#include "fontsettings.h"
#include "mainwindow.h"
#include "textview.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QTextBlock>

namespace {

constexpr int Pages = 6;

// Pages of 20 body lines. Page breaks (blank, blank, footer, form feed,
// header, blank) take lines 20-25, 46-51 and so on; the last footer, after a
// blank, lines 150-151. Each page's first line is a heading.
QByteArray paginatedDocument(const QByteArray &citation)
{
    QByteArray text;
    for (int page = 1; page <= Pages; ++page) {
        text += QByteArray::number(page) + ".  Section " + QByteArray::number(page) + "\n";
        for (int line = 1; line < 20; ++line)
            text += "   Body " + QByteArray::number(page) + "." + QByteArray::number(line)
                    + ": a sender MUST NOT stop " + citation + "\n";
        text += page < Pages ? "\n\n" : "\n";
        text += "Smith                   Standards Track                 [Page " + QByteArray::number(page) + "]\n";
        if (page < Pages)
            text += "\f\nRFC 9999              Example                May 2024\n\n";
    }
    return text;
}

void storeHidePageBreaks(AppFixture &app, bool hide)
{
    app.settings->writeInteger(SettingsKeyPath, QStringLiteral("hide_page_breaks"), hide);
}

// The weight of the character at position.
int weightAt(TextView *view, qint32 position)
{
    QTextCursor cursor(view->document());
    cursor.setPosition(view->toQtPosition(position) + 1);
    return cursor.charFormat().fontWeight();
}

struct Outcome
{
    QByteArray ini;
    QByteArray highlights;
    QString lineIndicator;
};

} // namespace

// Folded page breaks, emphasised requirement words, headings, citations.
class TestReadingAids : public QObject
{
    Q_OBJECT

private:
    // Opens the document with its top line stored inside the first page
    // break, highlights across the second break, bookmarks the caret's line
    // and closes; the state files and the line shown on the status bar.
    static void annotateAcrossABreak(bool hide, Outcome &outcome)
    {
        AppFixture app;
        storeHidePageBreaks(app, hide);
        app.start()->resize(900, 900);
        const QString path = app.document(QStringLiteral("rfc9999.txt"), paginatedDocument("[RFC2119]"));
        QString error;
        QVERIFY(StateStore(app.stateFolder()).filesFor(path).writeView({185, 22}, &error));
        DocumentWindow *window = app.open(path);
        TextView *view = window->textView();
        // A target inside folded lines shows the next line that is not folded.
        QCOMPARE(view->cursorForPosition(QPoint(1, 1)).blockNumber(), hide ? 26 : 21);
        QCOMPARE(view->firstVisibleLine(), 21);

        const qint32 start = view->lineStart(40) + 3;
        view->setSelectionStart(start);
        view->setSelectionLength(view->lineStart(53) + 8 - start);
        app.form()->action(Command::EditHighlight)->trigger();
        app.dialogs.inputAnswers.enqueue(QStringLiteral("after the break"));
        app.form()->action(Command::EditAddBookmark)->trigger();
        outcome.lineIndicator = app.form()->lineIndicator()->text();
        QVERIFY(window->close());
        outcome.ini = readFile(app.iniPath(path));
        outcome.highlights = readFile(app.highlightPath(path));
    }

private slots:
    void positionsAndStateDoNotDependOnFolding()
    {
        Outcome shown;
        annotateAcrossABreak(false, shown);
        Outcome hidden;
        annotateAcrossABreak(true, hidden);
        QVERIFY(!shown.highlights.isEmpty());
        QVERIFY(shown.ini.contains("after the break"));
        QCOMPARE(shown.lineIndicator, QStringLiteral("line: 53/152"));
        QCOMPARE(hidden.lineIndicator, shown.lineIndicator);
        QCOMPARE(hidden.ini, shown.ini);
        QCOMPARE(hidden.highlights, shown.highlights);
    }

    void foldsHideAllButOneLinePerBreak()
    {
        AppFixture app;
        app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc9999.txt"), paginatedDocument({})));
        TextView *view = window->textView();
        QList<int> hidden;
        for (QTextBlock block = view->document()->firstBlock(); block.isValid(); block = block.next())
            if (!block.isVisible())
                hidden << block.blockNumber();
        QList<int> expected;
        for (int page = 1; page < Pages; ++page)
            for (int line = 26 * page - 5; line < 26 * page; ++line)
                expected << line;
        expected << 151;
        QCOMPARE(hidden, expected);
        // The text and its positions stay the file's.
        QCOMPARE(view->document()->blockCount(), 153);
        QCOMPARE(view->document()->findBlockByNumber(22).text().right(8), QStringLiteral("[Page 1]"));
    }

    void caretAndFindSkipFoldedLines()
    {
        AppFixture app;
        app.start()->resize(900, 700);
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc9999.txt"), paginatedDocument({})));
        TextView *view = window->textView();
        view->setFocus();
        view->setSelectionStart(view->lineStart(19));
        QTest::keyClick(view, Qt::Key_End);
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(view->caretLine(), 26);
        QTest::keyClick(view, Qt::Key_Left);
        QCOMPARE(view->caretLine(), 19);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->caretLine(), 26);
        QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
        const qint32 endOf19 = view->lineStart(19) + view->document()->findBlockByNumber(19).length() - 1;
        QCOMPARE(view->selectionStart(), endOf19);
        QCOMPARE(view->selectionLength(), view->lineStart(26) - endOf19);

        // The footers' words are found only while the footers show, by the
        // Find dialog and by the find bar alike.
        const QString footerWords = QStringLiteral("Standards Track");
        view->setSelectionStart(0);
        window->search(footerWords, {});
        QCOMPARE(view->selectionLength(), 0);
        QCOMPARE(window->findMatch(footerWords, {}, 0, true).count, 0);
        app.form()->action(Command::ViewHidePageBreaks)->trigger();
        QCOMPARE(window->findMatch(footerWords, {}, 0, true).count, Pages);
        view->setSelectionStart(0);
        window->search(footerWords, {});
        QCOMPARE(view->caretLine(), 22);
    }

    void goToPage_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("line"); // -1: no such page
        QTest::newRow("second") << "2" << 26;
        QTest::newRow("third, with blanks") << " 3 " << 52;
        QTest::newRow("past the last") << "7" << -1;
        QTest::newRow("not a number") << "x" << -1;
    }

    void goToPage()
    {
        QFETCH(QString, answer);
        QFETCH(int, line);
        AppFixture app;
        app.start()->resize(900, 500);
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc9999.txt"), paginatedDocument({})));
        window->textView()->setSelectionStart(window->textView()->lineStart(10));
        app.dialogs.inputAnswers.enqueue(answer);
        QAction *go = app.form()->action(Command::GoPage);
        QCOMPARE(go->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
        go->trigger();
        if (line < 0) {
            QCOMPARE(app.dialogs.informations.size(), 1);
            QCOMPARE(window->textView()->caretLine(), 10);
            return;
        }
        QVERIFY(app.dialogs.informations.isEmpty());
        QCOMPARE(window->textView()->caretLine(), line);
        QCOMPARE(window->textView()->firstVisibleLine(), line);
    }

    void requirementWordsOnlyWhereTheirDefinitionIsCited_data()
    {
        QTest::addColumn<QByteArray>("citation");
        QTest::addColumn<bool>("cites");
        QTest::addColumn<bool>("emphasise");
        QTest::newRow("RFC 2119") << QByteArray("as in [RFC2119]") << true << true;
        QTest::newRow("RFC 8174") << QByteArray("and RFC 8174") << true << true;
        QTest::newRow("BCP 14") << QByteArray("see BCP 14") << true << true;
        QTest::newRow("no citation") << QByteArray("see RFC 2616") << false << true;
        QTest::newRow("emphasis off") << QByteArray("as in [RFC2119]") << true << false;
    }

    void requirementWordsOnlyWhereTheirDefinitionIsCited()
    {
        QFETCH(QByteArray, citation);
        QFETCH(bool, cites);
        QFETCH(bool, emphasise);
        const bool bold = cites && emphasise;
        AppFixture app;
        app.settings->writeInteger(SettingsKeyPath, QStringLiteral("emphasise_bcp14"), emphasise);
        app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc9999.txt"), paginatedDocument(citation)));
        TextView *view = window->textView();
        const qint32 mustNot = view->lineStart(1) + int(QStringLiteral("   Body 1.1: a sender ").size());
        const int expected = bold ? QFont::Bold : QFont::Normal;
        QCOMPARE(weightAt(view, mustNot), expected);
        QCOMPARE(weightAt(view, mustNot + 6), expected); // "NOT"
        QCOMPARE(weightAt(view, mustNot + 9), int(QFont::Normal)); // "stop"
        // Turned on or off, the open document follows.
        app.form()->action(Command::ViewEmphasiseRequirementWords)->trigger();
        const bool boldAfter = cites && !emphasise;
        QCOMPARE(weightAt(view, mustNot), boldAfter ? int(QFont::Bold) : int(QFont::Normal));
    }

    void headingsStandOutWithTheDefaultRecord()
    {
        AppFixture app;
        app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc9999.txt"), paginatedDocument({})));
        const QTextCharFormat heading = window->textView()->document()->firstBlock().textFormats().constFirst().format;
        QCOMPARE(heading.fontWeight(), int(QFont::Bold));
        // The text font in bold: neither a face nor a size of its own.
        QVERIFY(!heading.hasProperty(QTextFormat::FontFamilies));
        QVERIFY(!heading.hasProperty(QTextFormat::FontPointSize));
        QCOMPARE(weightAt(window->textView(), window->textView()->lineStart(1)), int(QFont::Normal));
    }

    void copyReference_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("RFC, caret only") << "rfc9999.txt" << 0 << "RFC 9999, Section 2";
        QTest::newRow("draft, with a selection")
            << "draft-ietf-x-y-03.txt" << 30 << "draft-ietf-x-y-03, Section 2\n> Body 2.3: a sender MUST NOT";
    }

    void copyReference()
    {
        QFETCH(QString, fileName);
        QFETCH(int, length);
        QFETCH(QString, clipboard);
        AppFixture app;
        app.start();
        DocumentWindow *window = app.open(app.document(fileName, paginatedDocument({})));
        window->textView()->setSelectionStart(window->textView()->lineStart(29));
        window->textView()->setSelectionLength(length);
        QAction *copy = app.form()->action(Command::EditCopyReference);
        QCOMPARE(copy->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
        copy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    }

    // On an appendix the reference said "Appendix Appendix A".
    void copyReferenceOnAnAppendix()
    {
        AppFixture app;
        app.start();
        DocumentWindow *window = app.open(app.document(
            QStringLiteral("rfc9999.txt"), "1.  Introduction\n\ntext\n\nAppendix A.  Notes\n\nnote text\n"));
        window->textView()->setSelectionStart(window->textView()->lineStart(6));
        app.form()->action(Command::EditCopyReference)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("RFC 9999, Appendix A"));

        // The address to share; a file that names no document has none.
        app.form()->action(Command::EditCopyLink)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("https://www.rfc-editor.org/rfc/rfc9999#appendix-A"));
        app.open(app.document(QStringLiteral("notes.txt"), "1.  Notes\n"));
        app.form()->action(Command::EditCopyLink)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("https://www.rfc-editor.org/rfc/rfc9999#appendix-A"));
        QCOMPARE(app.dialogs.informations.size(), 1);
        QVERIFY(app.dialogs.informations[0].text.startsWith(QStringLiteral("notes.txt has no web address")));
    }
};

QTEST_MAIN(TestReadingAids)
#include "tst_readingaids.moc"
