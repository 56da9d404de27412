#include "contentscheck.h"
#include "documenttext.h"
#include "headingparser.h"
#include "rfcexcerpts.h"
#include "sectionlabel.h"
#include "tableofcontents.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

std::vector<QStringView> linesOf(const QString &text)
{
    std::vector<QStringView> lines;
    for (const QStringView line : QStringView(text).split(u'\n'))
        lines.push_back(line);
    return lines;
}

// "number|title|parent number" for each entry.
QStringList entriesOf(const TableOfContents &contents)
{
    QStringList entries;
    for (const ContentsEntry &entry : contents.entries()) {
        const QString parent = entry.parent < 0 ? QString() : contents.entries()[size_t(entry.parent)].number;
        entries << entry.number + u'|' + entry.title + u'|' + parent;
    }
    return entries;
}

} // namespace

// Reading a document's own table of contents, and judging an index by it.
class TestTableOfContents : public QObject
{
    Q_OBJECT

private slots:
    void sectionLabels_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bareLetter");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("title");
        const std::tuple<const char *, bool, const char *, const char *> cases[] = {
            {"4.2.1.  Title  ", false, "4.2.1", "Title"},
            {"13 Caching in HTTP", false, "13", "Caching in HTTP"},
            {"A.1.2.  MLS Systems", false, "A.1.2", "MLS Systems"},
            {"APPENDIX A:  Examples", false, "A", "Examples"},
            {"appendix B.  Lower case", false, "B", "Lower case"},
            {"A  Table of Timer Values", true, "A", "Table of Timer Values"},
            {"A  Table of Timer Values", false, "", ""},
            {"A.  A list item", true, "", ""},
            {"Appendix A.3).", false, "", ""},
            {"A-1.  CONSTRAINTS", true, "", ""},
            {"1.2a Odd", false, "", ""},
            {"3.   ", false, "", ""},
        };
        for (const auto &[text, bareLetter, number, title] : cases)
            QTest::addRow("%s%s", text, bareLetter ? " (bare letter)" : "")
                << QString::fromLatin1(text) << bareLetter << QString::fromLatin1(number) << QString::fromLatin1(title);
    }

    void sectionLabels()
    {
        QFETCH(QString, text);
        QFETCH(bool, bareLetter);
        QFETCH(QString, number);
        QFETCH(QString, title);
        const auto label = readSectionLabel(text, bareLetter ? LabelForms::WithBareLetter : LabelForms::Numbered);
        QCOMPARE(label.has_value(), !number.isEmpty());
        if (label) {
            QCOMPARE(label->number.toString(), number);
            QCOMPARE(label->title.toString(), title);
        }
    }

    void leaders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title"); // empty: no entry line
        const std::pair<const char *, const char *> cases[] = {
            {"1.1    Purpose...........7", "1.1    Purpose"},
            {"1.  Introduction  . . . . .   2", "1.  Introduction"},
            {"PREFACE ........ iii", "PREFACE"},
            {"1.  STATUS OF THIS MEMO        6", "1.  STATUS OF THIS MEMO"},
            {"13.3.4   Entity Tags and Last-Modified Dates.89", "13.3.4   Entity Tags and Last-Modified Dates"},
            {"RFC 2616        HTTP/1.1       June 1999", ""},
            {"3.1  Version 2.0", ""},
            {"..... 12", ""},
        };
        for (const auto &[text, title] : cases)
            QTest::newRow(text) << QString::fromLatin1(text) << QString::fromLatin1(title);
    }

    void leaders()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        const std::optional<QStringView> found = titleBeforePage(text);
        QCOMPARE(found.value_or(QStringView()).toString(), title);
    }

    void readsEntries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("lastLine");
        QTest::newRow("rfc3261") << QString::fromLatin1(Rfc3261Contents)
                                 << QStringList({"1|Introduction|",
                                                 "23.4|SIP Header Privacy and Integrity using S/MIME: Tunneling SIP|",
                                                 "23.4.1|Integrity and Confidentiality Properties of SIP Headers|23.4",
                                                 "26|Security Considerations: Threat Model and Security Usage "
                                                 "Recommendations|",
                                                 "26.1.4|Tearing Down Sessions|26",
                                                 "26.1.5|Denial of Service and Amplification|26",
                                                 "A|Table of Timer Values|"})
                                 << 21;
        QTest::newRow("rfc9000") << QString::fromLatin1(Rfc9000Contents)
                                 << QStringList({"1|Overview|", "1.1|Document Structure|1", "A|Pseudocode|",
                                                 "A.1|Sample Variable-Length Integer Decoding|A"})
                                 << 6;
        QTest::newRow("no table") << QStringLiteral("The Contents of this memo\n1.  Intro ...... 3\n") << QStringList()
                                  << 0;
    }

    void readsEntries()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, entries);
        QFETCH(int, lastLine);
        const TableOfContents contents = TableOfContents::read(linesOf(text));
        QCOMPARE(entriesOf(contents), entries);
        QCOMPARE(contents.firstLine(), lastLine > 0 ? 1 : 0);
        QCOMPARE(contents.lastLine(), lastLine);
    }

    void titlesMatch_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("nextLine");
        QTest::addColumn<bool>("matches");
        const QString security = QStringLiteral("Security Considerations: Threat Model and Security Usage");
        QTest::newRow("wrapped") << security << QStringLiteral("   Recommendations") << true;
        QTest::newRow("wrapped otherwise") << security << QStringLiteral("   Other words") << false;
        QTest::newRow("case and punctuation")
            << QStringLiteral("SECURITY considerations - threat model, and security usage recommendations.") << QString()
            << true;
        QTest::newRow("first words only") << QStringLiteral("Security Considerations") << QString() << false;
        QTest::newRow("more words") << security + QStringLiteral(" Recommendations Too") << QString() << false;
    }

    void titlesMatch()
    {
        QFETCH(QString, title);
        QFETCH(QString, nextLine);
        QFETCH(bool, matches);
        const QString text = QString::fromLatin1(Rfc3261Contents);
        const TableOfContents contents = TableOfContents::read(linesOf(text));
        QCOMPARE(contents.titleMatches(3, title, nextLine), matches);
    }

    // A heading titled otherwise than its entry was reported missing.
    void retitledHeadingIsFound()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rfc1813.txt"));
        writeFile(path, Rfc1813Outline);
        const DocumentText text = DocumentText::read(path);
        const std::vector<QStringView> lines = indexedLines(text);
        const TableOfContents contents = TableOfContents::read(lines);
        const ContentsCheck check = checkAgainstContents(parseOutline(text), contents, lines);
        QCOMPARE(check.ok, 13);
        QStringList retitled;
        for (size_t index = 0; index < contents.entries().size(); ++index) {
            if (!check.bodyTitles[index].isEmpty())
                retitled << contents.entries()[index].number + u'|' + check.bodyTitles[index];
        }
        QCOMPARE(retitled, QStringList({"3.3.0|Procedure 0: NULL - Do nothing",
                                        "3.3.1|Procedure 1: GETATTR - Get file attributes",
                                        "5.2.0|Procedure 0: Null - Do nothing", "5.2.1|Procedure 1: MNT - Add mount entry"}));
    }

    // Every corpus document with a table of contents: its index carries every
    // numbered entry, under the entry's parent, and nothing of the table.
    void corpusAgreesWithItsContents_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("entries");
        const std::pair<const char *, int> documents[] = {
            {"rfc2616.txt", 253}, {"rfc3261.txt", 315}, {"rfc5661.txt", 219}, {"rfc9000.txt", 198},
            {"rfc9293.txt", 62},  {"rfc1001.txt", 112}, {"rfc1212.txt", 35},  {"rfc791.txt", 16},
            {"rfc793.txt", 27},   {"rfc5662.txt", 8},   {"draft-ietf-nfsv4-referrals-00.txt", 18},
            {"draft-ietf-idr-rt-derived-community-00.txt", 12},
        };
        for (const auto &[name, entries] : documents)
            QTest::newRow(name) << QString::fromLatin1(name) << entries;
    }

    void corpusAgreesWithItsContents()
    {
        QFETCH(QString, name);
        QFETCH(int, entries);
        const DocumentText text = DocumentText::read(corpusFile(name));
        QVERIFY2(text.ok(), qPrintable(name + QStringLiteral(": ") + text.errorString()));
        const std::vector<QStringView> lines = indexedLines(text);
        const TableOfContents contents = TableOfContents::read(lines);
        QCOMPARE(int(contents.entries().size()), entries);
        const ContentsCheck check = checkAgainstContents(parseOutline(text), contents, lines);
        QCOMPARE(check.missing, 0);
        QCOMPARE(check.misplaced, 0);
        QCOMPARE(check.stray, 0);
        QCOMPARE(check.ok, entries);
    }

    // The check itself sees what the old level walk got wrong.
    void checkSeesMisplacedAndStray()
    {
        const QString text = QString::fromLatin1(Rfc791Contents);
        const std::vector<QStringView> lines = linesOf(text);
        Outline outline;
        outline.headings.resize(2);
        // The table's own chapter line, and 1.1 after the table at the top level.
        outline.headings[0].line = 5;
        outline.headings[0].text = lines[4].toString();
        outline.headings[1].line = 22;
        outline.headings[1].text = lines[21].toString();
        const ContentsCheck check = checkAgainstContents(outline, TableOfContents::read(lines), lines);
        using enum ContentsCheck::Verdict;
        QCOMPARE(check.verdicts, std::vector<ContentsCheck::Verdict>({Missing, Misplaced, Missing, Missing, Missing}));
        QCOMPARE(check.stray, 1);
    }
};

QTEST_GUILESS_MAIN(TestTableOfContents)
#include "tst_tableofcontents.moc"
