#include "requirementwords.h"
#include "testfiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

// Requirement-level keywords, and the citation that makes them keywords.
class TestRequirementWords : public QObject
{
    Q_OBJECT

private slots:
    void cites_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("cites");
        const std::pair<const char *, bool> cases[] = {
            {"described in RFC 2119.", true},
            {"[RFC2119]", true},
            {"BCP 14 [RFC2119] [RFC8174]", true},
            {"as in BCP\n   14 when", true},
            {"BCP14", true},
            {"RFC 8174", true},
            {"RFC 21190", false},
            {"BCP 140", false},
            {"XRFC 2119", false},
            {"rfc 2119", false},
            {"RFC 2616, section 14", false},
            {"", false},
        };
        for (const auto &[text, cites] : cases)
            QTest::newRow(QByteArray(text).replace('\n', ' ')) << QString::fromLatin1(text) << cites;
    }

    void cites()
    {
        QFETCH(QString, text);
        QFETCH(bool, cites);
        QCOMPARE(citesRequirementLevels(text), cites);
    }

    void words_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("each keyword")
            << QStringLiteral("MUST, REQUIRED; SHALL (SHOULD) RECOMMENDED. MAY OPTIONAL")
            << QStringList({"MUST", "REQUIRED", "SHALL", "SHOULD", "RECOMMENDED", "MAY", "OPTIONAL"});
        QTest::newRow("negations are one span")
            << QStringLiteral("MUST NOT, SHALL  NOT SHOULD NOT NOT RECOMMENDED")
            << QStringList({"MUST NOT", "SHALL  NOT", "SHOULD NOT", "NOT RECOMMENDED"});
        QTest::newRow("NOT across a line end stays apart")
            << QStringLiteral("MUST\n   NOT and NOT\nRECOMMENDED") << QStringList({"MUST", "RECOMMENDED"});
        QTest::newRow("whole words only")
            << QStringLiteral("MAYBE MUSTARD SHOULDER OPTIONALLY XMUST MUST_FLAG MUST2 NOTE MUST NOTE")
            << QStringList({"MUST"});
        QTest::newRow("capitals only") << QStringLiteral("must Must May not recommended") << QStringList();
        QTest::newRow("NOT alone") << QStringLiteral("NOT REQUIRED") << QStringList({"REQUIRED"});
        QTest::newRow("punctuation around") << QStringLiteral("\"MAY\"-MUST/OPTIONAL\n")
                                            << QStringList({"MAY", "MUST", "OPTIONAL"});
        QTest::newRow("letters beyond ASCII join words") << QStringLiteral("MAYé éMUST SHALL")
                                                         << QStringList({"SHALL"});
        QTest::newRow("keyword at the very end") << QStringLiteral("x MUST NOT") << QStringList({"MUST NOT"});
    }

    void words()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QStringList found;
        for (const TextSpan &span : findRequirementWords(text))
            found << text.mid(span.start, span.length);
        QCOMPARE(found, words);
    }

    void corpus_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("cites");
        const std::pair<const char *, bool> documents[] = {
            {"draft-ietf-idr-rt-derived-community-00.txt", false}, {"draft-ietf-nfsv4-referrals-00.txt", false},
            {"rfc768.txt", false}, {"rfc790.txt", false}, {"rfc791.txt", false}, {"rfc792.txt", false},
            {"rfc793.txt", false}, {"rfc1001.txt", false}, {"rfc1089.txt", false}, {"rfc1094.txt", false},
            {"rfc1212.txt", false}, {"rfc2616.txt", true}, {"rfc3261.txt", true}, {"rfc5661.txt", true},
            {"rfc5662.txt", true}, {"rfc9000.txt", true}, {"rfc9293.txt", true},
        };
        for (const auto &[file, cites] : documents)
            QTest::newRow(file) << QString::fromLatin1(file) << cites;
    }

    // The scanner finds what a plain regular expression finds.
    void corpus()
    {
        QFETCH(QString, file);
        QFETCH(bool, cites);
        QFile input(corpusFile(file));
        QVERIFY2(input.open(QIODevice::ReadOnly), qPrintable(input.fileName()));
        const QString text = QString::fromUtf8(input.readAll());
        QCOMPARE(citesRequirementLevels(text), cites);

        static const QRegularExpression keyword(
            QStringLiteral("(?<!\\w)(MUST[ \\t]+NOT|SHALL[ \\t]+NOT|SHOULD[ \\t]+NOT|NOT[ \\t]+RECOMMENDED"
                           "|MUST|SHALL|SHOULD|REQUIRED|RECOMMENDED|MAY|OPTIONAL)(?!\\w)"),
            QRegularExpression::UseUnicodePropertiesOption);
        QStringList expected;
        for (const QRegularExpressionMatch &match : keyword.globalMatch(text))
            expected << QStringLiteral("%1:%2").arg(match.capturedStart()).arg(match.capturedLength());
        QStringList found;
        for (const TextSpan &span : findRequirementWords(text))
            found << QStringLiteral("%1:%2").arg(span.start).arg(span.length);
        QCOMPARE(found, expected);
    }
};

QTEST_APPLESS_MAIN(TestRequirementWords)
#include "tst_requirementwords.moc"
