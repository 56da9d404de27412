#include "pagelayout.h"
#include "testfiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

QString folded(const QStringList &lines)
{
    QStringList parts;
    for (const PageFold &fold : findPageFolds(lines.join(u'\n')))
        parts << QStringLiteral("%1-%2:%3").arg(fold.firstLine).arg(fold.lastLine).arg(fold.pageNumber);
    return parts.join(u' ');
}

bool isBlank(const QString &line)
{
    return line.trimmed().isEmpty();
}

// The oracle's own footer rule: "[Page N]" ends the line, or starts it on old
// left-hand pages.
int footerPage(const QString &line)
{
    static const QRegularExpression footer(QStringLiteral(R"(\[page (\d+)\]\s*$|^\[page (\d+)\]\s)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = footer.match(line);
    if (!match.hasMatch())
        return -1;
    return (match.capturedView(1).isEmpty() ? match.capturedView(2) : match.capturedView(1)).toInt();
}

const QString modernHeader = QStringLiteral("RFC 9999              Example                May 2024");
const QString modernFooter = QStringLiteral("Smith                   Standards Track                 [Page %1]");

} // namespace

// Finding page footers, form feeds and running headers to hide.
class TestPageLayout : public QObject
{
    Q_OBJECT

private slots:
    void folds_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("folds");
        const QString body = QStringLiteral("   Body text.");
        QTest::newRow("modern break") << QStringList({body, "", "", "", modernFooter.arg(1), "\f", modernHeader, "", "",
                                                      body})
                                      << "1-8:1";
        QTest::newRow("form feed on the header line")
            << QStringList({body, "", modernFooter.arg(7), "\f" + modernHeader, "", body}) << "1-4:7";
        QTest::newRow("old header of three lines, no form feed")
            << QStringList({"  a sentence that", "", "                                           [Page 1]", "",
                            "                                     September 1981", "Internet Protocol",
                            "Introduction", "", "  carries on"})
            << "1-7:1";
        QTest::newRow("left-hand footer") << QStringList({"Text", "", "[page 2]                         Postel", "",
                                                          "28 Aug 1980", "RFC 768             User Datagram Protocol",
                                                          "", "Text"})
                                          << "1-6:2";
        // Lines that run on into text below the header belong to the body.
        QTest::newRow("body right below the header")
            << QStringList({body, "", modernFooter.arg(1), "\f", modernHeader, "   Body text without a gap", body})
            << "1-4:1";
        QTest::newRow("title-like line that runs into the body")
            << QStringList({body, "", modernFooter.arg(1), "", "September 1981", "Internet Protocol", "  body text"})
            << "1-4:1";
        QTest::newRow("indented line below the header")
            << QStringList({body, "", modernFooter.arg(1), "", "September 1981", "     Short line", ""}) << "1-4:1";
        QTest::newRow("no header after the footer")
            << QStringList({body, "", modernFooter.arg(1), "\f", "   Not a header line", body}) << "1-3:1";
        QTest::newRow("blank page") << QStringList({body, "", modernFooter.arg(3), "", "September 1981",
                                                    "Internet Protocol", "", modernFooter.arg(4), "", modernHeader, "",
                                                    body})
                                    << "1-6:3 7-10:4";
        QTest::newRow("last page with trailing lines")
            << QStringList({body, "", "", modernFooter.arg(12), "\f", "", ""}) << "1-5:12";
        QTest::newRow("page mark inside a sentence")
            << QStringList({"   as shown on [Page 3]", "   [Page 3] and more", "   see [Page x]"}) << "";
        QTest::newRow("empty") << QStringList() << "";
    }

    void folds()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, folds);
        QCOMPARE(folded(lines), folds);
    }

    void firstLineOfPage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("line");
        QTest::newRow("page 1") << 1 << 0;
        QTest::newRow("page 2") << 2 << 2;
        QTest::newRow("blank page 3 shows page 4") << 3 << 8;
        QTest::newRow("page 4") << 4 << 8;
        QTest::newRow("past the last footer") << 5 << -1;
        QTest::newRow("page 0") << 0 << -1;
        QTest::newRow("negative") << -3 << -1;
    }

    void firstLineOfPage()
    {
        QFETCH(int, page);
        QFETCH(int, line);
        // Lines 0, 2 and 8 are body; page 3 holds nothing.
        const std::vector<PageFold> folds = {{1, 1, 1}, {3, 5, 2}, {6, 7, 3}, {9, 10, 4}};
        QCOMPARE(::firstLineOfPage(folds, 11, page), line);
        QCOMPARE(::firstLineOfPage({}, 5, page), page == 1 ? 0 : -1);
    }

    void corpus_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("headerLines"); // the most lines a running header takes there
        const std::pair<const char *, int> documents[] = {
            {"draft-ietf-idr-rt-derived-community-00.txt", 1}, {"draft-ietf-nfsv4-referrals-00.txt", 1},
            {"rfc768.txt", 3}, {"rfc790.txt", 3}, {"rfc791.txt", 3}, {"rfc792.txt", 2}, {"rfc793.txt", 4},
            {"rfc1001.txt", 1}, {"rfc1089.txt", 1}, {"rfc1094.txt", 1}, {"rfc1212.txt", 1}, {"rfc2616.txt", 1},
            {"rfc3261.txt", 1}, {"rfc5661.txt", 1}, {"rfc5662.txt", 1}, {"rfc9000.txt", 0}, {"rfc9293.txt", 0},
        };
        for (const auto &[file, headerLines] : documents)
            QTest::newRow(file) << QString::fromLatin1(file) << headerLines;
    }

    // Every footer is folded with its form feed and header, and nothing else
    // but blank lines.
    void corpus()
    {
        QFETCH(QString, file);
        QFETCH(int, headerLines);
        QFile input(corpusFile(file));
        QVERIFY2(input.open(QIODevice::ReadOnly), qPrintable(input.fileName()));
        QString text = QString::fromUtf8(input.readAll());
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (text.endsWith(u'\n'))
            text.chop(1);
        const QStringList lines = text.split(u'\n');
        const int count = int(lines.size());

        std::vector<int> footers;
        for (int line = 0; line < count; ++line) {
            if (footerPage(lines[line]) >= 0)
                footers.push_back(line);
        }
        QCOMPARE(footers.empty(), headerLines == 0);

        const std::vector<PageFold> folds = findPageFolds(text);
        QCOMPARE(folds.size(), footers.size());
        int previousEnd = -1;
        for (size_t i = 0; i < folds.size(); ++i) {
            const PageFold &fold = folds[i];
            const int footer = footers[i];
            const QByteArray where = QStringLiteral("fold %1-%2").arg(fold.firstLine).arg(fold.lastLine).toLatin1();
            QVERIFY2(fold.firstLine > previousEnd && fold.firstLine <= footer && footer <= fold.lastLine, where);
            QVERIFY2(fold.lastLine < count, where);
            QCOMPARE(fold.pageNumber, footerPage(lines[footer]));
            for (int line = fold.firstLine; line < footer; ++line)
                QVERIFY2(isBlank(lines[line]), where);

            int header = footer + 1;
            while (header < count && isBlank(lines[header]))
                ++header;
            int headerEnd = header;
            while (headerEnd < count && !isBlank(lines[headerEnd]))
                ++headerEnd;
            const bool lastFooter = i + 1 == folds.size();
            if (!lastFooter && headerEnd - header <= headerLines)
                QVERIFY2(fold.lastLine >= headerEnd - 1, where); // the whole header
            const int headerLimit = std::min(headerEnd, header + headerLines);
            for (int line = fold.firstLine; line <= fold.lastLine; ++line)
                QVERIFY2(line == footer || isBlank(lines[line]) || (line >= header && line < headerLimit), where);
            // Text shows right before and after the fold: no stray blank.
            QVERIFY2(fold.firstLine == previousEnd + 1 || !isBlank(lines[fold.firstLine - 1]), where);
            QVERIFY2(fold.lastLine + 1 == count || !isBlank(lines[fold.lastLine + 1]), where);
            previousEnd = fold.lastLine;
        }
    }
};

QTEST_APPLESS_MAIN(TestPageLayout)
#include "tst_pagelayout.moc"
