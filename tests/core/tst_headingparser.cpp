#include "documenttext.h"
#include "headingparser.h"
#include "rfcexcerpts.h"
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

// The tree as "number(children)" lists.
QString shape(const Outline &outline, int parent = -1)
{
    QStringList items;
    for (size_t index = 0; index < outline.headings.size(); ++index) {
        const Heading &heading = outline.headings[index];
        if (heading.parent != parent)
            continue;
        const QString children = shape(outline, int(index));
        items << (children.isEmpty() ? heading.number : heading.number + u'(' + children + u')');
    }
    return items.join(u',');
}

// "number@line" for each heading, in file order.
QStringList placements(const Outline &outline)
{
    QStringList placed;
    for (const Heading &heading : outline.headings)
        placed << heading.number + u'@' + QString::number(heading.line);
    return placed;
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
                                   "   1.  Introduction . . . . . . 3\n"    // no table: an indented line
                                   "1.  Introduction\n"                      // heading
                                   "12345\n"                                 // no blank
                                   "2) not a heading\n"
                                   "1.2a Odd but a heading\n"
                                   "Appendix A.  Title\n"                    // an appendix
                                   " 3. indented\n"
                                   + QByteArray(300, '1') + " long word\n"   // judged on 255 characters
                                   "Smith                     Informational                     [Page 1]\n"
                                   "9 the last line has no line end");
        QCOMPARE(index.lineCount, 10);
        QCOMPARE(placements(index), QStringList({"1@3", "1@6", "A@7", QString(255, u'1') + "@9"}));
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
        QTest::newRow("siblings") << QStringList({"1", "1.1", "1.2", "2", "2.1", "2.1.1", "2.1.2", "2.2"})
                                  << QStringLiteral("1(1.1,1.2),2(2.1(2.1.1,2.1.2),2.2)");
        QTest::newRow("a deep first heading") << QStringList({"1.1.1.1", "1.1"}) << QStringLiteral("1.1.1.1,1.1");
        QTest::newRow("a missing level") << QStringList({"1", "1.1", "1.1.1", "2", "2.1.1", "2.2"})
                                         << QStringLiteral("1(1.1(1.1.1)),2(2.1.1,2.2)");
        QTest::newRow("3.3.0 without 3.3") << QStringList({"3", "3.1", "3.3.0", "3.4"})
                                           << QStringLiteral("3(3.1,3.3.0,3.4)");
        QTest::newRow("by parts, not characters") << QStringList({"1", "10.1", "1.1"}) << QStringLiteral("1(1.1),10.1");
        QTest::newRow("the nearest of a repeated number") << QStringList({"1", "1.1", "1", "1.2"})
                                                          << QStringLiteral("1(1.1),1(1.2)");
        QTest::newRow("final dots and odd words") << QStringList({"4.", "4.2.", "4.2.1a", "1..2"})
                                                  << QStringLiteral("4(4.2,4.2),1.2");
        QTest::newRow("appendices") << QStringList({"5.", "Appendix A.", "A.1.", "A.1.2.", "A.2.", "APPENDIX B:"})
                                    << QStringLiteral("5,A(A.1(A.1.2),A.2),B");
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
        // Each heading holds its whole line, and its level counts its number's parts.
        for (size_t slot = 0; slot < index.headings.size(); ++slot) {
            QCOMPARE(index.headings[slot].text, numbers[int(slot)] + QStringLiteral(" Title  "));
            QCOMPARE(index.headings[slot].level, int(index.headings[slot].number.count(u'.')) + 1);
        }
    }

    // Each rule on the smallest real excerpt that shows it.
    void realExcerpts_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("placed");
        QTest::addColumn<QString>("tree");
        QTest::newRow("rfc2616: 13.2 under 13 without 13.1")
            << QByteArray(Rfc2616Caching) << QStringList({"13@1", "13.1.1@5", "13.1.2@8", "13.2@12", "13.2.1@14"})
            << QStringLiteral("13(13.1.1,13.1.2,13.2(13.2.1))");
        // The table's lines are no headings; the indented chapter title is.
        QTest::newRow("rfc791: contents and first chapter")
            << QByteArray(Rfc791Contents) << QStringList({"1@20", "1.1@22", "1.2@26", "A@28"})
            << QStringLiteral("1(1.1,1.2),A");
        QTest::newRow("rfc9293: appendices, mentions are no headings")
            << QByteArray(Rfc9293Appendices) << QStringList({"1@1", "A@8", "A.1@10", "A.1.1@12", "A.3@14", "B@16"})
            << QStringLiteral("1,A(A.1(A.1.1),A.3),B");
        QTest::newRow("rfc9293: the same after its table of contents")
            << QByteArray(Rfc9293ContentsTail) + Rfc9293Appendices
            << QStringList({"1@11", "A@18", "A.1@20", "A.1.1@22", "A.3@24", "B@26"})
            << QStringLiteral("1,A(A.1(A.1.1),A.3),B");
        QTest::newRow("rfc1001: chapter lists and a numbered step")
            << QByteArray(Rfc1001Lists) << QStringList({"1@12", "3@14"}) << QStringLiteral("1,3");
    }

    void realExcerpts()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, placed);
        QFETCH(QString, tree);
        const Outline index = outlineOf(text);
        QCOMPARE(placements(index), placed);
        QCOMPARE(shape(index), tree);
    }

    // "5.0" missed the table's "5.", so 5.1 and 5.1.1 went up a level.
    void zeroNumberedChapterHoldsItsSections()
    {
        const Outline index = outlineOf(Rfc1813Outline);
        QCOMPARE(placements(index),
                 QStringList({"1@17", "1.1@19", "3@21", "3.1@23", "3.3.0@25", "3.3.1@27", "5@29", "5.1@31",
                              "5.1.1@33", "5.2@35", "5.2.0@37", "5.2.1@39", "6@41"}));
        QCOMPARE(shape(index), QStringLiteral("1(1.1),3(3.1,3.3.0,3.3.1),5(5.1(5.1.1),5.2(5.2.0,5.2.1)),6"));
        QCOMPARE(index.headings[6].text, QStringLiteral("5.0 Appendix I: Mount protocol"));
    }

    void findSection_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("heading");
        QTest::newRow("chapter") << QStringLiteral("13") << 0;
        QTest::newRow("section") << QStringLiteral("13.2") << 3;
        QTest::newRow("final dot") << QStringLiteral("13.2.") << 3;
        QTest::newRow("missing") << QStringLiteral("13.1") << -1;
        QTest::newRow("prefix of a number") << QStringLiteral("13.2.1.1") << -1;
        QTest::newRow("empty") << QString() << -1;
    }

    void findSection()
    {
        QFETCH(QString, number);
        QFETCH(int, heading);
        QCOMPARE(outlineOf(Rfc2616Caching).findSection(number), heading);
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

    void realDocument_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("headings");
        QTest::newRow("rfc5661") << QStringLiteral("rfc5661.txt") << 34555 << 967;
        QTest::newRow("rfc791, indented chapters") << QStringLiteral("rfc791.txt") << 2140 << 16;
    }

    void realDocument()
    {
        QFETCH(QString, name);
        QFETCH(int, lineCount);
        QFETCH(int, headings);
        const DocumentText text = DocumentText::read(corpusFile(name));
        QVERIFY2(text.ok(), qPrintable(name + QStringLiteral(": ") + text.errorString()));
        const Outline doc = parseOutline(text);
        QCOMPARE(doc.lineCount, lineCount);
        QCOMPARE(int(doc.headings.size()), headings);
        // Every heading's position lands on its text, after blanks only.
        const QString &all = text.text();
        for (const Heading &heading : doc.headings) {
            const qsizetype qtPosition = heading.position - (heading.line - 1);
            const qsizetype lineStart = qtPosition == 0 ? 0 : all.lastIndexOf(u'\n', qtPosition - 1) + 1;
            QVERIFY(all.mid(lineStart, qtPosition - lineStart).trimmed().isEmpty());
            QCOMPARE(all.mid(qtPosition, heading.length), heading.text);
        }
    }
};

QTEST_GUILESS_MAIN(TestHeadingParser)
#include "tst_headingparser.moc"
