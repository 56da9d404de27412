#include "documentaddress.h"

#include <QTest>
#include <QUrl>

// Which web addresses the reader opens itself, and the addresses it shares.
class TestDocumentAddress : public QObject
{
    Q_OBJECT

private slots:
    void readerAddresses_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("document"); // empty: the browser's
        QTest::addColumn<QString>("section");

        QTest::newRow("rfc page") << "https://www.rfc-editor.org/rfc/rfc9293" << "RFC 9293" << "";
        QTest::newRow("txt") << "https://www.rfc-editor.org/rfc/rfc9293.txt" << "RFC 9293" << "";
        QTest::newRow("html section") << "https://www.rfc-editor.org/rfc/rfc9293.html#section-3.8.1" << "RFC 9293"
                                      << "3.8.1";
        QTest::newRow("appendix") << "http://rfc-editor.org/rfc/rfc9293#appendix-A" << "RFC 9293" << "A";
        QTest::newRow("appendix part") << "https://www.rfc-editor.org/rfc/rfc9110#appendix-B.2" << "RFC 9110"
                                       << "B.2";
        QTest::newRow("info page") << "https://www.rfc-editor.org/info/rfc793" << "RFC 793" << "";
        QTest::newRow("datatracker rfc") << "https://datatracker.ietf.org/doc/html/rfc9293#section-2" << "RFC 9293"
                                         << "2";
        QTest::newRow("datatracker draft")
            << "https://datatracker.ietf.org/doc/html/draft-ietf-quic-transport-34#section-17.2"
            << "draft-ietf-quic-transport-34" << "17.2";
        QTest::newRow("draft without revision") << "https://datatracker.ietf.org/doc/draft-ietf-quic-transport/"
                                                << "draft-ietf-quic-transport" << "";
        QTest::newRow("archive") << "https://www.ietf.org/archive/id/draft-ietf-quic-transport-34.txt"
                                 << "draft-ietf-quic-transport-34" << "";
        QTest::newRow("tools") << "https://tools.ietf.org/html/rfc2616#section-14.9" << "RFC 2616" << "14.9";
        QTest::newRow("other anchor") << "https://www.rfc-editor.org/rfc/rfc9293#page-5" << "RFC 9293" << "";

        QTest::newRow("errata page") << "https://www.rfc-editor.org/errata/rfc9293" << "" << "";
        QTest::newRow("history") << "https://datatracker.ietf.org/doc/draft-ietf-quic-transport/history/" << ""
                                 << "";
        QTest::newRow("search") << "https://www.rfc-editor.org/search/rfc_search.php" << "" << "";
        QTest::newRow("bare number") << "https://www.rfc-editor.org/rfc/9293" << "" << "";
        QTest::newRow("bcp") << "https://www.rfc-editor.org/info/bcp14" << "" << "";
        QTest::newRow("look-alike host") << "https://www.rfc-editor.org.example/rfc/rfc9293" << "" << "";
        QTest::newRow("other site") << "https://example.com/rfc/rfc9293" << "" << "";
        QTest::newRow("ftp") << "ftp://ftp.rfc-editor.org/rfc/rfc9293.txt" << "" << "";
    }

    void readerAddresses()
    {
        QFETCH(QString, url);
        QFETCH(QString, document);
        QFETCH(QString, section);
        const std::optional<DocumentAddress> address = parseDocumentAddress(QUrl(url));
        QCOMPARE(address ? address->name.displayName() : QString(), document);
        QCOMPARE(address ? address->section : QString(), section);
    }

    void sharedAddressesReadBack()
    {
        const DocumentName tcp = DocumentName::rfc(9293);
        QCOMPARE(documentAddressUrl(tcp, QStringLiteral("3.8.1")),
                 QStringLiteral("https://www.rfc-editor.org/rfc/rfc9293#section-3.8.1"));
        QCOMPARE(documentAddressUrl(tcp, QString()), QStringLiteral("https://www.rfc-editor.org/rfc/rfc9293"));
        const DocumentName draft = *DocumentName::parse(u"draft-ietf-quic-transport-34");
        QCOMPARE(documentAddressUrl(draft, QStringLiteral("A.2")),
                 QStringLiteral("https://datatracker.ietf.org/doc/html/draft-ietf-quic-transport-34#appendix-A.2"));
        QVERIFY(documentAddressUrl(*DocumentName::parse(u"draft-ietf-quic-transport"), {}).isEmpty());
        QVERIFY(documentAddressUrl(*DocumentName::parse(u"BCP 14"), {}).isEmpty());
        for (const QString &section : {QStringLiteral("3.8.1"), QStringLiteral("A.2")}) {
            const std::optional<DocumentAddress> back = parseDocumentAddress(QUrl(documentAddressUrl(draft, section)));
            QVERIFY(back);
            QCOMPARE(back->name, draft);
            QCOMPARE(back->section, section);
        }
    }
};

QTEST_APPLESS_MAIN(TestDocumentAddress)
#include "tst_documentaddress.moc"
