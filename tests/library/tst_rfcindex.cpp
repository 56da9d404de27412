#include "genindex.h"
#include "rfcindex.h"

#include <QFile>
#include <QFuture>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/stat.h>

namespace {

QByteArray fixture()
{
    QFile file(QStringLiteral(":/rfc-index-fixture.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using Numbers = QList<int>;

} // namespace

class TestRfcIndex : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsEntries();
    void resolvesSeries_data();
    void resolvesSeries();
    void toolTip_data();
    void toolTip();
    void searchesTitleWords_data();
    void searchesTitleWords();
    void damagedIndex_data();
    void damagedIndex();
    void generatedIndexIsConsistent();
    void cancelStopsParsing();
    void followsReplacementsToTheirEnd();

private:
    RfcIndex m_index;
};

void TestRfcIndex::initTestCase()
{
    m_index = RfcIndex::parse(fixture());
    QCOMPARE(m_index.errorString(), QString());
    QCOMPARE(m_index.size(), 4);
}

void TestRfcIndex::readsEntries()
{
    const RfcEntry *tcp = m_index.entry(9293);
    QVERIFY(tcp);
    QCOMPARE(tcp->title, "Transmission Control Protocol (TCP)");
    QCOMPARE(tcp->authors, QStringList("W. Eddy"));
    QCOMPARE(tcp->month, "August");
    QCOMPARE(tcp->year, 2022);
    QCOMPARE(tcp->obsoletes, Numbers({793, 879}));
    QCOMPARE(tcp->updates, Numbers({1011, 1122}));
    QCOMPARE(tcp->isAlso, QList<DocumentName>({DocumentName::parse(u"STD 7").value()}));
    QCOMPARE(tcp->errataUrl, "https://www.rfc-editor.org/errata/rfc9293");

    const RfcEntry *old = m_index.entry(793);
    QVERIFY(old);
    QCOMPARE(old->obsoletes, Numbers({761}));
    QCOMPARE(old->obsoletedBy, Numbers({9293}));
    QCOMPARE(old->updatedBy, Numbers({1122, 3168, 6093}));
    QVERIFY(old->errataUrl.isEmpty());

    QCOMPARE(m_index.entry(8174)->updates, Numbers({2119}));
    QVERIFY(!m_index.entry(8));
    QVERIFY(!m_index.entry(1150));
    QVERIFY(!m_index.entry(99999));
}

void TestRfcIndex::resolvesSeries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Numbers>("rfcs");

    QTest::newRow("BCP of two") << "BCP 14" << Numbers{2119, 8174};
    QTest::newRow("STD of one") << "std7" << Numbers{9293};
    QTest::newRow("STD of five, in order") << "STD 69" << Numbers{5730, 5731, 5732, 5733, 5734};
    QTest::newRow("unknown BCP") << "BCP 999" << Numbers{};
    QTest::newRow("RFC") << "RFC 42" << Numbers{42};
    QTest::newRow("draft") << "draft-ietf-tcpm-rfc793bis-28" << Numbers{};
}

void TestRfcIndex::resolvesSeries()
{
    QFETCH(QString, name);
    QFETCH(Numbers, rfcs);
    QCOMPARE(m_index.rfcsOf(DocumentName::parse(name).value()), rfcs);
}

void TestRfcIndex::toolTip_data()
{
    QTest::addColumn<int>("rfc");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("standard") << 9293 << "RFC 9293: Transmission Control Protocol (TCP), Internet Standard, August 2022";
    QTest::newRow("BCP") << 2119
                         << "RFC 2119: Key words for use in RFCs to Indicate Requirement Levels, "
                            "Best Current Practice, March 1997";
    QTest::newRow("unknown") << 1 << "";
}

void TestRfcIndex::toolTip()
{
    QFETCH(int, rfc);
    QFETCH(QString, toolTip);
    QCOMPARE(m_index.toolTip(rfc), toolTip);
}

void TestRfcIndex::searchesTitleWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<Numbers>("found");

    QTest::newRow("current before obsoleted") << "transmission control" << 10 << Numbers{9293, 793};
    QTest::newRow("prefixes, any case and order") << "CONTR trans" << 10 << Numbers{9293, 793};
    QTest::newRow("word in parentheses") << "tcp" << 10 << Numbers{9293};
    QTest::newRow("newest first") << "key words" << 10 << Numbers{8174, 2119};
    QTest::newRow("limit") << "protocol" << 1 << Numbers{9293};
    QTest::newRow("not a word start") << "ransmission" << 10 << Numbers{};
    QTest::newRow("one word missing") << "transmission key" << 10 << Numbers{};
    QTest::newRow("punctuation only") << " ( ) " << 10 << Numbers{};
}

void TestRfcIndex::searchesTitleWords()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(Numbers, found);
    QCOMPARE(m_index.search(text, limit), found);
    QCOMPARE(m_index.completionText(9293), "RFC 9293 Transmission Control Protocol (TCP)");
}

void TestRfcIndex::damagedIndex_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("entries");

    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("web page") << QByteArray("<!DOCTYPE html><html><body>Not Found</body></html>") << 0;
    QTest::newRow("other XML") << QByteArray("<?xml version=\"1.0\"?><feed><rfc-entry/></feed>") << 0;
    // Cut inside the third entry: the two before it stay usable.
    const QByteArray xml = fixture();
    QTest::newRow("cut short") << xml.left(xml.indexOf("<title>Transmission Control Protocol (TCP)")) << 2;
}

void TestRfcIndex::damagedIndex()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, entries);

    const RfcIndex index = RfcIndex::parse(xml);
    QVERIFY(!index.errorString().isEmpty());
    QCOMPARE(index.size(), entries);
}

void TestRfcIndex::generatedIndexIsConsistent()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("rfc-index.xml");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(genindex::generate(10'000)) > 0);
    file.close();

    QFuture<RfcIndex> future = RfcIndex::loadAsync(path);
    future.waitForFinished();
    const RfcIndex index = future.result();
    QCOMPARE(index.errorString(), QString());
    QCOMPARE(index.size(), 10'000);

    int obsoleted = 0;
    for (int number = 1; number <= 10'000; ++number) {
        const RfcEntry *entry = index.entry(number);
        QVERIFY(entry);
        QVERIFY(!entry->title.isEmpty());
        QVERIFY(!entry->authors.isEmpty());
        for (int newer : entry->obsoletedBy)
            QVERIFY(index.entry(newer)->obsoletes.contains(number));
        for (int newer : entry->updatedBy)
            QVERIFY(index.entry(newer)->updates.contains(number));
        for (const DocumentName &series : entry->isAlso)
            QVERIFY(index.rfcsOf(series).contains(number));
        obsoleted += entry->obsoletedBy.isEmpty() ? 0 : 1;
    }
    QVERIFY(obsoleted > 500);
    QVERIFY(!index.rfcsOf(DocumentName::parse(u"BCP 1").value()).isEmpty());
}

void TestRfcIndex::cancelStopsParsing()
{
    // The parser reads from a pipe that never delivers the end of the index:
    // only a parser that heeds the cancel finishes while the pipe is open.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("rfc-index.xml");
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    // A parser that stopped has closed its end; writing on is no crash.
    std::signal(SIGPIPE, SIG_IGN);

    QFuture<RfcIndex> future = RfcIndex::loadAsync(path);
    QFile pipe(path);
    QVERIFY(pipe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray xml = genindex::generate(400);
    const QByteArray unfinished = xml.left(xml.lastIndexOf("</rfc-index>"));
    const qsizetype half = unfinished.size() / 2;
    QCOMPARE(pipe.write(unfinished.left(half)), half);

    future.cancel();
    pipe.write(unfinished.mid(half));
    QTRY_VERIFY(future.isFinished());
    QVERIFY(future.isCanceled());
    QCOMPARE(future.resultCount(), 0);
}


// RFC 2616 went to RFC 7230-7235, which went to RFC 9110-9112; a cycle in
// data from afar ends the walk instead of looping.
void TestRfcIndex::followsReplacementsToTheirEnd()
{
    QByteArray xml = "<?xml version=\"1.0\"?><rfc-index xmlns=\"http://www.rfc-editor.org/rfc-index\">"
                     "<rfc-entry><doc-id>RFC2616</doc-id><publication-status>DRAFT STANDARD</publication-status>"
                     "<current-status>PROPOSED STANDARD</current-status><obsoleted-by>";
    for (int rfc = 7230; rfc <= 7235; ++rfc)
        xml += "<doc-id>RFC" + QByteArray::number(rfc) + "</doc-id>";
    xml += "</obsoleted-by></rfc-entry>";
    for (int rfc = 7230; rfc <= 7235; ++rfc)
        xml += "<rfc-entry><doc-id>RFC" + QByteArray::number(rfc) + "</doc-id><obsoleted-by>"
               "<doc-id>RFC" + QByteArray::number(rfc < 7234 ? 9110 + (rfc % 3) : 9111) + "</doc-id>"
               "</obsoleted-by></rfc-entry>";
    xml += "<rfc-entry><doc-id>RFC1</doc-id><obsoleted-by><doc-id>RFC2</doc-id></obsoleted-by></rfc-entry>"
           "<rfc-entry><doc-id>RFC2</doc-id><obsoleted-by><doc-id>RFC1</doc-id></obsoleted-by></rfc-entry>"
           "</rfc-index>";
    const RfcIndex index = RfcIndex::parse(xml);
    QCOMPARE(index.errorString(), QString());
    const QList<QList<int>> steps = index.successors(2616);
    QCOMPARE(steps, (QList<QList<int>>{{7230, 7231, 7232, 7233, 7234, 7235}, {9110, 9111, 9112}}));
    QCOMPARE(rfcRanges(steps[0]), QStringLiteral("RFC 7230\u20137235"));
    QCOMPARE(rfcRanges({9112, 9110, 9111, 9200}), QStringLiteral("RFC 9110\u20139112, RFC 9200"));
    QCOMPARE(index.entry(2616)->publicationStatus, QStringLiteral("DRAFT STANDARD"));
    QCOMPARE(index.successors(1), QList<QList<int>>{{2}});
    QVERIFY(index.successors(9110).isEmpty());
}

QTEST_GUILESS_MAIN(TestRfcIndex)
#include "tst_rfcindex.moc"
