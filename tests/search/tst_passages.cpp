#include "documenttext.h"
#include "headingparser.h"
#include "passages.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

std::vector<Passage> splitText(const QStringList &lines, int maxLength)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write((lines.join(u'\n') + u'\n').toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    const DocumentText text = DocumentText::read(path);
    return splitPassages(text, parseOutline(text), maxLength);
}

// The passages of a text as "first-last:text", lines counted from 1.
QStringList passagesOf(const QStringList &lines, int maxLength)
{
    QStringList described;
    for (const Passage &passage : splitText(lines, maxLength)) {
        if (passage.lines.size() != size_t(passage.text.count(u'\n') + 1))
            return {QStringLiteral("a line number for each line is missing")};
        described << QStringLiteral("%1-%2:%3")
                         .arg(passage.lines.front())
                         .arg(passage.lines.back())
                         .arg(QString(passage.text).replace(u'\n', u'|'));
    }
    return described;
}

} // namespace

// Documents cut into the passages the index keeps.
class TestPassages : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QStringList>("passages");
        const QStringList twoSections = {"1.  One", "", "   first a", "", "   first b", "", "2.  Two", "", "   second"};
        QTest::newRow("a passage per section") << twoSections << 2000
                                               << QStringList{"1-5:1.  One|   first a|   first b", "7-9:2.  Two|   second"};
        QTest::newRow("a passage per paragraph")
            << twoSections << 0
            << QStringList{"1-1:1.  One", "3-3:   first a", "5-5:   first b", "7-7:2.  Two", "9-9:   second"};
        QTest::newRow("a long section ends at a paragraph")
            << QStringList{"1.  One", "   aaaaaaaaaa", "", "   bbbbbbbbbb", "", "   cc"} << 20
            << QStringList{"1-2:1.  One|   aaaaaaaaaa", "4-6:   bbbbbbbbbb|   cc"};
        QTest::newRow("front matter before the first heading")
            << QStringList{"Network Working Group", "", "   Abstract text", "", "1.  Intro"} << 2000
            << QStringList{"1-3:Network Working Group|   Abstract text", "5-5:1.  Intro"};
        QTest::newRow("page furniture left out, the paragraph goes on")
            << QStringList{"1.  One",
                           "",
                           "   a sentence that",
                           "",
                           "Smith                   Standards Track                 [Page 1]",
                           "\f",
                           "RFC 9999              Example                May 2024",
                           "",
                           "   carries on"}
            << 0 << QStringList{"1-1:1.  One", "3-9:   a sentence that|   carries on"};
    }
    void split()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, maxLength);
        QTEST(passagesOf(lines, maxLength), "passages");
    }

    // A table or a drawing with no blank line must not become one huge row.
    void paragraphWithoutBlankLinesIsCut()
    {
        const QString row = QStringLiteral("   | a row of a long table without blank lines |");
        const std::vector<Passage> passages = splitText(QStringList(1000, row), 2000);
        QVERIFY(passages.size() > 1);
        int next = 1;
        for (const Passage &passage : passages) {
            QVERIFY(passage.text.size() < 8192 + row.size());
            QCOMPARE(passage.lines.front(), next);
            next = passage.lines.back() + 1;
        }
        QCOMPARE(next, 1001);
    }
};

QTEST_APPLESS_MAIN(TestPassages)
#include "tst_passages.moc"
