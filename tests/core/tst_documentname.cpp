#include "documentname.h"

#include <QTest>

using Kind = DocumentName::Kind;

class TestDocumentName : public QObject
{
    Q_OBJECT

private slots:
    void acceptsNames_data();
    void acceptsNames();
    void refusesEverythingElse_data();
    void refusesEverythingElse();
    void leadingRfcDigits_data();
    void leadingRfcDigits();
    void ofFile_data();
    void ofFile();
    void draftWithoutRevisionReachesEveryRevision();
};

void TestDocumentName::acceptsNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QStringList>("localFiles");
    QTest::addColumn<QString>("downloadFile");

    const QStringList rfc9293{"rfc9293.txt"};
    QTest::newRow("number") << "9293" << "RFC 9293" << rfc9293 << "rfc9293.txt";
    QTest::newRow("RFC and blank") << "  RFC 9293 " << "RFC 9293" << rfc9293 << "rfc9293.txt";
    QTest::newRow("lower case") << "rfc9293" << "RFC 9293" << rfc9293 << "rfc9293.txt";
    QTest::newRow("file name") << "RFC9293.txt" << "RFC 9293" << rfc9293 << "rfc9293.txt";
    QTest::newRow("zero-padded") << "rfc0793.TXT" << "RFC 793" << QStringList{"rfc793.txt", "rfc0793.txt"}
                                 << "rfc793.txt";
    QTest::newRow("one digit") << "7" << "RFC 7" << QStringList{"rfc7.txt", "rfc0007.txt"} << "rfc7.txt";
    QTest::newRow("five digits") << "RFC 99999" << "RFC 99999" << QStringList{"rfc99999.txt"} << "rfc99999.txt";
    QTest::newRow("BCP") << "BCP 14" << "BCP 14" << QStringList() << QString();
    QTest::newRow("bcp") << "bcp14" << "BCP 14" << QStringList() << QString();
    QTest::newRow("STD") << "STD 7" << "STD 7" << QStringList() << QString();
    QTest::newRow("std padded") << "std0007" << "STD 7" << QStringList() << QString();
    QTest::newRow("draft") << "draft-ietf-quic-transport-34" << "draft-ietf-quic-transport-34"
                           << QStringList{"draft-ietf-quic-transport-34.txt"} << "draft-ietf-quic-transport-34.txt";
    QTest::newRow("draft file in capitals") << "Draft-IETF-QUIC-Transport-00.TXT" << "draft-ietf-quic-transport-00"
                                            << QStringList{"draft-ietf-quic-transport-00.txt"}
                                            << "draft-ietf-quic-transport-00.txt";
    QTest::newRow("draft without revision") << "draft-ietf-quic-transport" << "draft-ietf-quic-transport"
                                            << QStringList() << QString();
    QTest::newRow("draft ending in three digits") << "draft-ietf-6man-ipv6-addr-123"
                                                  << "draft-ietf-6man-ipv6-addr-123" << QStringList() << QString();
}

void TestDocumentName::acceptsNames()
{
    QFETCH(QString, text);
    QFETCH(QString, display);
    QFETCH(QStringList, localFiles);
    QFETCH(QString, downloadFile);

    const std::optional<DocumentName> name = DocumentName::parse(text);
    QVERIFY(name);
    QCOMPARE(name->displayName(), display);
    QCOMPARE(name->localFileNames(), localFiles);
    QCOMPARE(name->downloadFileName(), downloadFile);
    QCOMPARE(DocumentName::parse(display), name);
    if (name->kind() == Kind::Rfc)
        QCOMPARE(DocumentName::rfc(name->number()), *name);
}

void TestDocumentName::refusesEverythingElse_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "   ";
    QTest::newRow("zero") << "0";
    QTest::newRow("rfc0") << "RFC 0000";
    QTest::newRow("six digits") << "123456";
    QTest::newRow("10,000 digits") << QString(10'000, u'9');
    QTest::newRow("negative") << "-5";
    QTest::newRow("prefix alone") << "RFC";
    QTest::newRow("word") << "transmission control";
    QTest::newRow("parent path") << "../../etc/passwd";
    QTest::newRow("path after number") << "rfc9293/../x";
    QTest::newRow("backslash") << "rfc9293\\x";
    QTest::newRow("absolute path") << "/tmp/rfc9293.txt";
    QTest::newRow("draft with dots") << "draft-ietf-quic-..-34";
    QTest::newRow("draft with slash") << "draft-ietf/../quic-34";
    QTest::newRow("draft with blank") << "draft-ietf quic-34";
    QTest::newRow("draft with double dash") << "draft-ietf--quic-34";
    QTest::newRow("draft with trailing dash") << "draft-ietf-quic-";
    QTest::newRow("draft prefix alone") << "draft-";
    QTest::newRow("draft too long") << "draft-" + QString(200, u'a') + "-00";
    QTest::newRow("non-ASCII digits") << QString::fromUtf8("\u0669\u0662\u0669\u0663");
    QTest::newRow("fullwidth digits") << QString::fromUtf8("rfc\uFF19\uFF12");
    QTest::newRow("non-ASCII draft") << QString::fromUtf8("draft-ietf-qu\u00efc-34");
    QTest::newRow("NUL") << QString::fromUtf8("rfc92\0" "93", 8);
    QTest::newRow("url") << "https://www.rfc-editor.org/rfc/rfc9293.txt";
    QTest::newRow("other series") << "FYI 36";
    QTest::newRow("other extension") << "rfc9293.html";
}

void TestDocumentName::refusesEverythingElse()
{
    QFETCH(QString, text);
    QVERIFY(!DocumentName::parse(text));
}

// What Open RFC reads as a number before it searches titles.
void TestDocumentName::leadingRfcDigits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digits");

    QTest::newRow("completion") << "RFC 9293 Transmission Control Protocol (TCP)" << "9293";
    QTest::newRow("completion in lower case") << "  rfc9293 (TCP)" << "9293";
    QTest::newRow("number nothing has") << "RFC 0" << "0";
    QTest::newRow("six digits") << " 123456 " << "123456";
    QTest::newRow("number then words") << "9293 tcp" << "";
    QTest::newRow("digits run into letters") << "RFC 9293abc" << "";
    QTest::newRow("title") << "Transmission Control Protocol" << "";
    QTest::newRow("BCP") << "BCP 14" << "";
    QTest::newRow("empty") << "" << "";
}

void TestDocumentName::leadingRfcDigits()
{
    QFETCH(QString, text);
    QFETCH(QString, digits);
    QCOMPARE(DocumentName::leadingRfcDigits(text), digits);
}

void TestDocumentName::ofFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name"); // empty: none

    QTest::newRow("file name first") << "rfc9293.txt" << "Request for Comments: 793\n" << "RFC 9293";
    QTest::newRow("draft file") << "draft-ietf-quic-transport-34.txt" << "" << "draft-ietf-quic-transport-34";
    QTest::newRow("a bare number names nothing") << "1.txt" << "hello\n" << "";
    QTest::newRow("header") << "copy.txt"
                            << "\n\nInternet Engineering Task Force (IETF)          W. Eddy, Ed.\nSTD: 7\n"
                               "Request for Comments: 9293                                   August 2022\n"
                            << "RFC 9293";
    QTest::newRow("oldest form") << "udp.txt" << "\nRFC 768                                J. Postel\n" << "RFC 768";
    QTest::newRow("RFC cited later is no name") << "notes.txt" << "Notes\nRFC 768   is UDP\n" << "";
    QTest::newRow("draft title block") << "referrals.txt"
                                       << "INTERNET-DRAFT      David Noveck\n\n   Implementation Guide\n"
                                          "                   draft-ietf-nfsv4-referrals-00.txt\n"
                                       << "draft-ietf-nfsv4-referrals-00";
    QTest::newRow("draft cited in a sentence") << "x.txt" << "See draft-ietf-foo-bar-01 for more.\n" << "";
    QTest::newRow("past the first page") << "late.txt" << QString(70, u'\n') + "Request for Comments: 1\n" << "";
    QTest::newRow("one huge line") << "log.txt" << QString(100000, u'x') + "Request for Comments: 1" << "";
}

void TestDocumentName::ofFile()
{
    QFETCH(QString, fileName);
    QFETCH(QString, text);
    QFETCH(QString, name);
    const std::optional<DocumentName> found = DocumentName::ofFile(fileName, text);
    QCOMPARE(found ? found->displayName() : QString(), name);
}

void TestDocumentName::draftWithoutRevisionReachesEveryRevision()
{
    const DocumentName any = *DocumentName::parse(u"draft-ietf-foo");
    const DocumentName five = *DocumentName::parse(u"draft-ietf-foo-05");
    QVERIFY(any.reaches(five));
    QVERIFY(!five.reaches(five.withRevision(6)));
    QVERIFY(!any.reaches(*DocumentName::parse(u"draft-ietf-foobar-05")));
    QVERIFY(DocumentName::rfc(1).reaches(DocumentName::rfc(1)) && !DocumentName::rfc(1).reaches(DocumentName::rfc(2)));
}

QTEST_APPLESS_MAIN(TestDocumentName)
#include "tst_documentname.moc"
