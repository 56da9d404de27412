#include "revisioncomparison.h"

#include <QStringList>
#include <QTest>

namespace {

// The body lines laid out in pages of pageLength lines: a footer, a form
// feed and the next page's running header at each break, as drafts are.
QString paginated(const QStringList &body, int pageLength)
{
    QStringList lines{QStringLiteral("Internet-Draft                  Example                     May 2018"),
                      QString()};
    int page = 1;
    for (qsizetype at = 0; at < body.size(); ++at) {
        lines << body[at];
        if ((at + 1) % pageLength == 0 && at + 1 < body.size()) {
            lines << QString() << QString()
                  << QStringLiteral("Writer                  Expires November 2018               [Page %1]").arg(page++)
                  << QStringLiteral("\f")
                  << QStringLiteral("Internet-Draft                  Example                     May 2018")
                  << QString();
        }
    }
    return lines.join(u'\n') + u'\n';
}

QStringList body()
{
    QStringList lines;
    for (int section = 1; section <= 6; ++section) {
        lines << QStringLiteral("%1.  Section %1").arg(section) << QString();
        for (int line = 1; line <= 8; ++line)
            lines << QStringLiteral("   Text %1 of section %2 says what it says.").arg(line).arg(section);
        lines << QString();
    }
    return lines;
}

// "-line" and "+line" (file lines from 1) of every change, in order.
QStringList changedLines(const RevisionComparison &comparison)
{
    QStringList lines;
    for (const TextChange &change : comparison.changes()) {
        for (int line : change.oldLines)
            lines << QStringLiteral("-%1").arg(line + 1);
        for (int line : change.newLines)
            lines << QStringLiteral("+%1").arg(line + 1);
    }
    return lines;
}

QStringList marked(const std::vector<LineMark> &marks, QStringView text)
{
    const QStringList lines = text.toString().split(u'\n');
    QStringList words;
    for (const LineMark &mark : marks)
        words << lines[mark.line].mid(mark.column, mark.length);
    return words;
}

} // namespace

class TestRevisionComparison : public QObject
{
    Q_OBJECT

private slots:
    void repaginationAndBlankRunsAloneAreNoChange()
    {
        const QString old = paginated(body(), 20);
        QStringList spaced = body();
        spaced.insert(5, QString());
        spaced.insert(5, QString());
        const QString next = paginated(spaced, 27);
        QVERIFY(old != next);
        const RevisionComparison comparison(old, next);
        QCOMPARE(changedLines(comparison), QStringList());
        QCOMPARE(comparison.oldLineFor(comparison.newLineFor(30)), 30);
    }

    void aRewrappedParagraphIsOneChangeWithItsWordsMarked()
    {
        const QString old = QStringLiteral("1.  Intro\n\n"
                                           "   A client MUST send the request to the\n"
                                           "   server before it may wait.\n\n"
                                           "2.  Next\n");
        const QString next = QStringLiteral("1.  Intro\n\n"
                                            "   A client SHOULD send the request\n"
                                            "   to the server before it may wait.\n\n"
                                            "2.  Next\n");
        const RevisionComparison comparison(old, next);
        QCOMPARE(changedLines(comparison), (QStringList{"-3", "-4", "+3", "+4"}));
        QCOMPARE(marked(comparison.oldWords(), old), QStringList{"MUST"});
        QCOMPARE(marked(comparison.newWords(), next), QStringList{"SHOULD"});
    }

    void addedAndRemovedSectionsStandWhereTheyWouldBe()
    {
        QStringList withoutThree = body();
        withoutThree.erase(withoutThree.begin() + 22, withoutThree.begin() + 33);
        QStringList withSeven = body();
        withSeven << QStringLiteral("7.  Section 7") << QString() << QStringLiteral("   New text.");
        const QString old = paginated(body(), 100);
        const RevisionComparison removed(old, paginated(withoutThree, 100));
        QCOMPARE(removed.changes().size(), size_t(1));
        const TextChange &gone = removed.changes().front();
        QCOMPARE(gone.oldLines.size(), size_t(9)); // heading and its 8 lines
        QVERIFY(gone.newLines.empty());
        // Level with the section that now follows section 2.
        QCOMPARE(gone.newAt, 24);
        QVERIFY(removed.oldWords().empty());

        const RevisionComparison added(old, paginated(withSeven, 100));
        QCOMPARE(changedLines(added), (QStringList{"+69", "+71"}));
        QCOMPARE(added.changes().front().oldAt, old.count(u'\n'));
    }

    void exportsListEveryChange()
    {
        const QString old = QStringLiteral("1.  One\n\n   alpha\n   beta\n   gamma\n   delta\n");
        const QString next = QStringLiteral("1.  One\n\n   alpha\n   BETA\n   gamma\n   delta\n   epsilon\n");
        const RevisionComparison comparison(old, next);
        QCOMPARE(unifiedDiff(comparison, QStringLiteral("a.txt"), QStringLiteral("b.txt")),
                 QStringLiteral("--- a.txt\n+++ b.txt\n"
                                "@@ -1,5 +1,6 @@\n"
                                " 1.  One\n"
                                "    alpha\n"
                                "-   beta\n"
                                "+   BETA\n"
                                "    gamma\n"
                                "    delta\n"
                                "+   epsilon\n"));
        const QString listing = oldNewListing(comparison, [](int line) {
            return line >= 2 ? QStringLiteral("1") : QString();
        });
        QCOMPARE(listing, QStringLiteral("Section 1, line 4:\n\nOLD:\n\n   beta\n\nNEW:\n\n   BETA\n\n"
                                         "Section 1, line 7:\n\nOLD:\n\n   (nothing)\n\nNEW:\n\n   epsilon\n\n"));
    }
};

QTEST_APPLESS_MAIN(TestRevisionComparison)
#include "tst_revisioncomparison.moc"
