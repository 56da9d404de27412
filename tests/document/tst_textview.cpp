#include "documenttext.h"
#include "testfiles.h"
#include "textsearch.h"
#include "textview.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

// Reading documents and the view's positions, in which a line end counts two.
class TestTextView : public QObject
{
    Q_OBJECT

private:
    static DocumentText readBytes(const QByteArray &bytes)
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        writeFile(path, bytes);
        return DocumentText::read(path);
    }

private slots:
    void lineEndsAndEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("LF") << QByteArray("ab\ncd\n") << QStringLiteral("ab\ncd\n");
        QTest::newRow("CRLF and LF mixed") << QByteArray("ab\r\ncd\nef\r\n") << QStringLiteral("ab\ncd\nef\n");
        QTest::newRow("no final line end") << QByteArray("ab\ncd") << QStringLiteral("ab\ncd");
        QTest::newRow("lone CR stays in its line") << QByteArray("a\rb\n") << QStringLiteral("a\rb\n");
        QTest::newRow("UTF-8") << QByteArray("T\xc3\xbcxen \xe5\xa5\xa5\n") << QStringLiteral("Tüxen 奥\n");
        QTest::newRow("invalid UTF-8 reads as Windows-1252") << QByteArray("T\xfcxen\n") << QStringLiteral("Tüxen\n");
        // Quotes, dashes and the euro sign were boxes when read as Latin-1;
        // the bytes Windows-1252 leaves undefined keep their Latin-1 value.
        QTest::newRow("Windows-1252 punctuation")
            << QByteArray("\x93quoted\x94 \x96 \x97 \x80 \x85\xe9\n")
            << QStringLiteral("\u201cquoted\u201d \u2013 \u2014 \u20ac \u2026\u00e9\n");
        QTest::newRow("Windows-1252 undefined bytes")
            << QByteArray("\x81\x8d\x8f\x90\x9d\xff") << QStringLiteral("\u0081\u008d\u008f\u0090\u009d\u00ff");
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void lineEndsAndEncodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const DocumentText document = readBytes(bytes);
        QVERIFY(document.ok());
        QCOMPARE(document.text(), text);
    }

    // A paragraph separator started a new line in the view only: the line
    // indicator, the index and caret tracking were one line off after it.
    void lineBreakingCharactersShowAsBlanks_data()
    {
        QTest::addColumn<QChar>("character");
        QTest::newRow("line separator") << QChar(QChar::LineSeparator);
        QTest::newRow("paragraph separator") << QChar(QChar::ParagraphSeparator);
        QTest::newRow("U+FDD0") << QChar(0xfdd0);
        QTest::newRow("U+FDD1") << QChar(0xfdd1);
    }

    void lineBreakingCharactersShowAsBlanks()
    {
        QFETCH(QChar, character);
        TextView view;
        view.setDocumentText(QStringLiteral("ab") + character + QStringLiteral("cd\nnext\nlast"));
        QCOMPARE(view.document()->blockCount(), 3);
        QCOMPARE(view.document()->firstBlock().text(), QStringLiteral("ab cd"));
        QCOMPARE(view.textLength(), 5 + 2 + 4 + 2 + 4);
        view.setSelectionStart(7);
        QCOMPARE(view.caretLine(), 1);
        QCOMPARE(view.selectedText(), QString());
        view.setSelectionLength(4);
        QCOMPARE(view.selectedText(), QStringLiteral("next"));
        // One view line for each file line, also where layout alone breaks lines.
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.document()->firstBlock().layout()->lineCount(), 1);
    }

    void refusesWhatIsNotText()
    {
        QVERIFY(!readBytes(QByteArray(64, '\1') + "b\n").ok());
        QVERIFY(!DocumentText::read(QStringLiteral("/nonexistent/rfc1.txt")).ok());
        QTemporaryDir dir;
        const DocumentText folder = DocumentText::read(dir.path());
        QVERIFY(!folder.ok());
        QVERIFY(!folder.errorString().isEmpty());
    }

    void positionsCountTwoPerLineEnd()
    {
        TextView view;
        // Lines: "abc", "", "1. é", "x\fy" (a form feed), "last" without a line end.
        view.setDocumentText(QStringLiteral("abc\n\n1. \u00e9\nx\fy\nlast"));
        QCOMPARE(view.textLength(), 3 + 2 + 0 + 2 + 4 + 2 + 3 + 2 + 4);
        QCOMPARE(view.toQtPosition(7), 5);
        QCOMPARE(view.toViewPosition(5), 7);
        // A position inside a line end lands on the end of its line.
        QCOMPARE(view.toQtPosition(4), 3);
        QCOMPARE(view.toQtPosition(view.textLength() + 100), int(view.toPlainText().size()));

        view.setSelectionStart(7);
        view.setSelectionLength(4);
        QCOMPARE(view.selectionStart(), 7);
        QCOMPARE(view.selectionLength(), 4);
        QCOMPARE(view.selectedText(), QStringLiteral("1. \u00e9"));
        QCOMPARE(view.caretLine(), 2);
        view.setSelectionLength(0);
        QCOMPARE(view.selectionLength(), 0);
        QCOMPARE(view.selectionStart(), 7);
        // The form feed shows as a blank, not as a glyph or a line break.
        QCOMPARE(view.document()->blockCount(), 5);
        QCOMPARE(view.document()->findBlockByNumber(3).text(), QStringLiteral("x y"));
    }

    void findText()
    {
        TextView view;
        view.setDocumentText(QStringLiteral("Stream stream\nupstream STREAM_x\nÉcole école\n"));
        const SearchOptions plain;
        QCOMPARE(view.findText(QStringLiteral("stream"), 0, view.textLength(), plain), 0);
        QCOMPARE(view.findText(QStringLiteral("stream"), 1, view.textLength(), plain), 7);
        QCOMPARE(view.findText(QStringLiteral("stream"), 0, view.textLength(), {true, false}), 7);
        // Whole word skips "upstream" and "STREAM_x"; positions count line ends as two.
        QCOMPARE(view.findText(QStringLiteral("stream"), 8, view.textLength() - 8, {false, true}), -1);
        QCOMPARE(view.findText(QStringLiteral("stream"), 8, view.textLength() - 8, plain), 17);
        QCOMPARE(view.findText(QStringLiteral("école"), 0, view.textLength(), plain), 34);
        QCOMPARE(view.findText(QStringLiteral("école"), 0, view.textLength(), {true, true}), 40);
        // The match must end inside the range.
        QCOMPARE(view.findText(QStringLiteral("stream"), 0, 5, plain), -1);
        QCOMPARE(view.findText(QString(), 0, view.textLength(), plain), -1);
    }

    // A line past WrapColumn is split into blocks for the layout only:
    // positions, lines, selections and searches still count it whole.
    void longLinesWrapAsAViewMatter()
    {
        TextView view;
        const int width = TextView::WrapColumn;
        const QString longLine = QString(width * 2 + 5, u'x') + QStringLiteral("END");
        view.setDocumentText(QStringLiteral("first\n") + longLine + QStringLiteral("\nlast\n"));
        QVERIFY(view.isWrapped());
        QCOMPARE(view.lineCount(), 4);
        QCOMPARE(view.document()->blockCount(), 6);
        QCOMPARE(view.document()->findBlockByNumber(1).length() - 1, width);
        // The view's positions are those of the unwrapped text.
        const qint32 end = view.lineStart(1) + qint32(longLine.size()) - 3;
        QCOMPARE(view.findText(QStringLiteral("END"), 0, view.textLength(), {}), end);
        QCOMPARE(view.lineStart(2), view.lineStart(1) + qint32(longLine.size()) + 2);
        QCOMPARE(view.toViewPosition(view.toQtPosition(end)), end);
        QCOMPARE(view.document()->characterAt(view.toQtPosition(end)), QChar(u'E'));
        // A selection across a wrap reads the text without the break.
        const qint32 across = view.lineStart(1) + width - 2;
        view.setSelectionStart(across);
        view.setSelectionLength(4);
        QCOMPARE(view.selectedText(), QStringLiteral("xxxx"));
        QCOMPARE(view.caretLine(), 1);
        QCOMPARE(view.selectionStart(), across);
        view.setSelectionStart(view.lineStart(2));
        QCOMPARE(view.caretLine(), 2);
        QCOMPARE(view.selectedText(), QString());
        // A short text keeps one block a line.
        view.setDocumentText(QStringLiteral("a\nb"));
        QVERIFY(!view.isWrapped());
        QCOMPARE(view.document()->blockCount(), 2);
    }

    // Reading aids are given only what comes into sight, once, and again
    // after a restyle.
    void seenStylerGetsOnlyTheLinesInSight()
    {
        TextView view;
        view.resize(400, 200);
        QString text;
        for (int line = 0; line < 2000; ++line)
            text += QStringLiteral("line %1\n").arg(line);
        view.setDocumentText(text);
        std::vector<TextView::Span> seen;
        view.setSeenStyler([&](TextView::Span span) { seen.push_back(span); });
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.styleSeen();
        QVERIFY(!seen.empty());
        qint64 styled = 0;
        for (const TextView::Span &span : seen)
            styled += span.length;
        QVERIFY(styled > 0);
        QVERIFY(styled < view.textLength() / 10);
        const size_t calls = seen.size();
        view.styleSeen();
        QCOMPARE(seen.size(), calls);
        view.restyleSeen();
        QVERIFY(seen.size() > calls);
        QCOMPARE(seen.back().start, seen.front().start);
    }

    void scrollToLine()
    {
        TextView view;
        QStringList lines;
        for (int i = 0; i < 300; ++i)
            lines << QStringLiteral("line %1").arg(i);
        view.setDocumentText(lines.join(u'\n'));
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.scrollToLine(50);
        QCOMPARE(view.firstVisibleLine(), 49);
        view.scrollToLine(1);
        QCOMPARE(view.firstVisibleLine(), 0);
        view.scrollToLine(20);
        view.scrollToLine(0);
        QCOMPARE(view.firstVisibleLine(), 0);
        // Past the end: as far as the view goes, with the last line still shown.
        view.scrollToLine(10000);
        QVERIFY(view.firstVisibleLine() > 250);
        QVERIFY(view.firstVisibleLine() < 300);
    }
};

QTEST_MAIN(TestTextView)
#include "tst_textview.moc"
