#include "markedpassage.h"
#include "querytext.h"

#include <QTest>

// The query as FTS5 gets it, the line that explains a refused one, and the
// place and snippet read from a passage that highlight() marked.
class TestQueryText : public QObject
{
    Q_OBJECT

private slots:
    void ftsQuery_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("query");
        QTest::newRow("words") << "segment arrives" << "segment arrives";
        QTest::newRow("hyphenated word") << "SYN-RECEIVED state" << "\"SYN-RECEIVED\" state";
        QTest::newRow("slash, dots and apostrophe") << "TCP/IP e.g. peer's"
                                                    << "\"TCP/IP\" \"e.g.\" \"peer's\"";
        QTest::newRow("phrase left alone") << "\"SYN-RECEIVED state\"" << "\"SYN-RECEIVED state\"";
        QTest::newRow("unclosed phrase left to FTS5") << "\"open end" << "\"open end";
        QTest::newRow("prefix of a quoted word") << "SYN-REC*" << "\"SYN-REC\"*";
        QTest::newRow("operators and parentheses") << "(ack OR SYN-SENT) NOT reset"
                                                   << "(ack OR \"SYN-SENT\") NOT reset";
        QTest::newRow("column filter left to FTS5") << "body:ack x:y" << "body:ack x:y";
        QTest::newRow("leading minus left to FTS5") << "-reset" << "-reset";
        QTest::newRow("non-ASCII is a word") << "Tüxen" << "Tüxen";
    }
    void ftsQuery()
    {
        QFETCH(QString, typed);
        QFETCH(QString, query);
        QCOMPARE(::ftsQuery(typed), query);
    }

    void rejectionText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("explanation");
        QTest::newRow("operator at the end") << "fts5: syntax error near \"\""
                                             << "The search ends too soon: AND, OR, NOT or \"(\" wants more after it";
        QTest::newRow("stray operator") << "fts5: syntax error near \"AND\""
                                        << "The search cannot be read at \"AND\": use words, \"quoted phrases\", "
                                           "prefix*, AND, OR, NOT and parentheses";
        QTest::newRow("colon") << "no such column: x" << "\"x:\" reads as a column name: put words with a colon in quotes";
        QTest::newRow("open quote") << "unterminated string" << "A quotation mark is not closed";
    }
    void rejectionText()
    {
        QFETCH(QString, message);
        QFETCH(QString, explanation);
        QCOMPARE(::rejectionText(message), explanation);
    }

    void readMarkedPassage_data()
    {
        QTest::addColumn<QString>("marked");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("snippet");
        const QChar o = MatchOpen;
        const QChar c = MatchClose;
        QTest::newRow("word on the second line")
            << QString("3.  Title\n   the " + QString(o) + "word" + c + " here") << 12 << 7 << 4
            << "3. Title the <b>word</b> here";
        QTest::newRow("phrase across a line end counts it twice")
            << QString("   SYN-" + QString(o) + "RECEIVED\n   state" + c + " is") << 10 << 7 << 18
            << "SYN-<b>RECEIVED state</b> is";
        QTest::newRow("markup is escaped, later matches marked too")
            << QString(QString(o) + "a" + c + " <b> & " + o + "a" + c) << 10 << 0 << 1
            << "<b>a</b> &lt;b&gt; &amp; <b>a</b>";
        QTest::newRow("long passage is cut around the match")
            << QString(QString("lead ").repeated(30) + o + "hit" + c + QString(" tail").repeated(60)) << 10 << 150 << 3
            << QString("\u2026" + QString("lead ").repeated(6) + "<b>hit</b>" + QString(" tail").repeated(36)
                       + "\u2026");
    }
    void readMarkedPassage()
    {
        QFETCH(QString, marked);
        const std::optional<PassageMatch> match = ::readMarkedPassage(marked, {10, 12});
        QVERIFY(match);
        QTEST(match->line, "line");
        QTEST(match->column, "column");
        QTEST(match->length, "length");
        QTEST(match->snippet, "snippet");
    }

    void passageWithoutMarksHasNoMatch() { QVERIFY(!::readMarkedPassage(u"no marks", {1})); }
};

QTEST_APPLESS_MAIN(TestQueryText)
#include "tst_querytext.moc"
