#include "documenttext.h"
#include "headingparser.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

Outline outlineOf(const QByteArray &bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rfc.txt"));
    writeFile(path, bytes);
    return parseOutline(DocumentText::read(path));
}

// The tree as "text(children)" lists, first words only.
QString shape(const Outline &outline, int parent = -1)
{
    QStringList items;
    for (size_t index = 0; index < outline.headings.size(); ++index) {
        const Heading &heading = outline.headings[index];
        if (heading.parent != parent)
            continue;
        const QString children = shape(outline, int(index));
        const QString number = heading.text.section(u' ', 0, 0);
        items << (children.isEmpty() ? number : number + u'(' + children + u')');
    }
    return items.join(u',');
}

} // namespace

// Recognising numbered headings and nesting them into the index.
class TestHeadingParser : public QObject
{
    Q_OBJECT

private slots:
    void headingLevel_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("level");
        const std::pair<const char *, int> cases[] = {
            {"4", 1},   {"4.", 1},     {"4.2", 2},         {"4.2.", 2}, {"4.2.1", 3}, {"10.15", 2},
            {"1..2", 2}, {"192.168.0.1", 4}, {"1.2a", 1},  {"1a", 0},   {"2)", 0},    {"A.1", 0},
            {"", 0},
        };
        for (const auto &[word, level] : cases)
            QTest::newRow(word) << QString::fromLatin1(word) << level;
        QTest::newRow("255 characters") << QString(u'1') + QString(254, u'.') << 1;
        QTest::newRow("256 characters") << QString(256, u'1') << 0;
    }

    void headingLevel()
    {
        QFETCH(QString, word);
        QFETCH(int, level);
        QCOMPARE(sectionLevel(word), level);
    }

    void whichLinesAreHeadings()
    {
        const Outline index = outlineOf("RFC 9999              Example               May 2024\n"
                                   "   1.  Introduction . . . . . . 3\n"    // table of contents
                                   "1.  Introduction\n"                      // heading
                                   "12345\n"                                 // no blank
                                   "2) not a heading\n"
                                   "1.2a Odd but a heading\n"
                                   "Appendix A.  Title\n"
                                   " 3. indented\n"
                                   + QByteArray(300, '1') + " long word\n"   // judged on 255 characters
                                   "Smith                     Informational                     [Page 1]\n"
                                   "9 the last line has no line end");
        QCOMPARE(index.lineCount, 10);
        QStringList lines;
        for (const Heading &heading : index.headings)
            lines << QString::number(heading.line);
        QCOMPARE(lines, QStringList({"3", "6", "9"}));
    }

    void emptyAndUnreadable()
    {
        const Outline empty = outlineOf("");
        QCOMPARE(empty.lineCount, 0);
        QVERIFY(empty.headings.empty());
        const Outline twoLines = outlineOf("1 a\n2 b\n3 c");
        QCOMPARE(twoLines.lineCount, 2);
        QCOMPARE(twoLines.headings.size(), size_t(2));

        const Outline unreadable = parseOutline(DocumentText::read(QStringLiteral("/nonexistent/rfc1.txt")));
        QCOMPARE(unreadable.lineCount, 0);
        QVERIFY(unreadable.headings.empty());
    }

    void positions_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("length");
        QTest::newRow("LF") << QByteArray("abc\n\n1. x\n") << 7 << 3 << 4;
        QTest::newRow("CRLF") << QByteArray("abc\r\n\r\n1. x\r\n") << 7 << 3 << 4;
        // Lengths count UTF-16 units: "é" is one, "奥" is one.
        QTest::newRow("UTF-8") << QByteArray("\xc3\xa9\xe5\xa5\xa5\n1. \xc3\xa9 \n") << 4 << 2 << 5;
        QTest::newRow("Latin-1") << QByteArray("\xe9t\xe9\n1 x\n") << 5 << 2 << 3;
    }

    void positions()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, position);
        QFETCH(int, line);
        QFETCH(int, length);
        const Outline index = outlineOf(bytes);
        QCOMPARE(index.headings.size(), size_t(1));
        const Heading &heading = index.headings.front();
        QCOMPARE(heading.position, position);
        QCOMPARE(heading.line, line);
        QCOMPARE(heading.length, length);
    }

    void treeShapes_data()
    {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("tree");
        QTest::newRow("levels climb back by level, not depth")
            << QStringList({"1", "1.1", "1.1.1", "2", "2.1.1", "2.2"}) << QStringLiteral("1(1.1(1.1.1)),2(2.1.1),2.2");
        QTest::newRow("a deep first heading") << QStringList({"1.1.1.1", "1.1"}) << QStringLiteral("1.1.1.1,1.1");
        QTest::newRow("siblings") << QStringList({"1", "1.1", "1.2", "2", "2.1", "2.1.1", "2.1.2", "2.2"})
                                  << QStringLiteral("1(1.1,1.2),2(2.1(2.1.1,2.1.2),2.2)");
    }

    void treeShapes()
    {
        QFETCH(QStringList, numbers);
        QFETCH(QString, tree);
        QByteArray text;
        for (const QString &number : numbers)
            text += number.toLatin1() + " Title  \n";
        const Outline index = outlineOf(text);
        QCOMPARE(shape(index), tree);
        // Each heading holds its whole line.
        for (size_t slot = 0; slot < index.headings.size(); ++slot)
            QCOMPARE(index.headings[slot].text, numbers[int(slot)] + QStringLiteral(" Title  "));
    }

    void moreThanFiveHundredHeadingsAllCount()
    {
        QByteArray text;
        for (int i = 1; i <= 1200; ++i)
            text += QByteArray::number(i) + ". Section\n";
        const Outline index = outlineOf(text);
        QCOMPARE(index.headings.size(), size_t(1200));
        QCOMPARE(shape(index).count(u','), 1199);
        QCOMPARE(index.headings.back().line, 1200);
    }

    void realDocument()
    {
        const QString path = corpusFile(QStringLiteral("rfc5661.txt"));
        if (path.isEmpty())
            QSKIP("the RFC corpus is not beside this checkout");
        const DocumentText text = DocumentText::read(path);
        const Outline doc = parseOutline(text);
        QCOMPARE(doc.lineCount, 34555);
        QVERIFY(doc.headings.size() > 900);
        // Every heading's position lands on its line's first character.
        const QString &all = text.text();
        for (const Heading &heading : doc.headings) {
            const qsizetype qtPosition = heading.position - (heading.line - 1);
            QVERIFY(qtPosition == 0 || all.at(qtPosition - 1) == u'\n');
            QCOMPARE(all.mid(qtPosition, heading.length), heading.text);
        }
    }
};

QTEST_GUILESS_MAIN(TestHeadingParser)
#include "tst_headingparser.moc"
