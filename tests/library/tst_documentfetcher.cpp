#include "documentfetcher.h"
#include "documentname.h"
#include "filedownload.h"
#include "testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

using namespace std::chrono_literals;
using Ending = TestHttpServer::Ending;

namespace {

const QByteArray RfcText = "Internet Engineering Task Force (IETF)\n\nRequest for Comments: 9999\n";

// Everything in the folder, hidden and temporary files included.
QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

DocumentName name(const QString &text)
{
    return DocumentName::parse(text).value();
}

// A zlib stream, as a server sends a body with "Content-Encoding: deflate".
QByteArray deflated(const QByteArray &data)
{
    return qCompress(data, 9).sliced(4); // without Qt's length prefix
}

} // namespace

class TestDocumentFetcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void fetches_data();
    void fetches();
    void cancelLeavesNothing();
    void stallTimesOut();
    void slowServerMissesTheDeadline();
    void refusesAnotherRfcsText_data();
    void refusesAnotherRfcsText();
    void serverDown();
    void libraryNotWritable();
    void refusesWhatItCannotFetch();

private:
    TestHttpServer m_server;
    std::unique_ptr<QTemporaryDir> m_library;
    std::unique_ptr<DocumentFetcher> m_fetcher;
};

void TestDocumentFetcher::initTestCase()
{
    QVERIFY(m_server.listen());
    const QByteArray tooLarge(FileDownload::MaxBytes + 1, 'x');
    m_server.serve("/rfc/rfc9999.txt", {200, "text/plain; charset=utf-8", RfcText});
    m_server.serve("/id/draft-ietf-quic-transport-34.txt", {200, "text/plain", RfcText});
    m_server.serve("/rfc/rfc9001.txt", {200, "text/html", "<p>Sorry</p>"});
    m_server.serve("/rfc/rfc9002.txt", {200, "text/plain", "\xEF\xBB\xBF\n <!DOCTYPE HTML><title>Error</title>"});
    m_server.serve("/rfc/rfc9003.txt", {200, "text/plain", QByteArray("RFC\0text", 8)});
    m_server.serve("/rfc/rfc9004.txt", {200, "text/plain", ""});
    m_server.serve("/rfc/rfc9005.txt", {200, "text/plain", RfcText, Ending::CutShort});
    m_server.serve("/rfc/rfc9006.txt", {500, "text/plain", "busy"});
    m_server.serve("/rfc/rfc9007.txt", {200, "text/plain", tooLarge});
    m_server.serve("/rfc/rfc9008.txt", {200, "text/plain", tooLarge, Ending::NoLength});
    m_server.serve("/rfc/rfc9009.txt", {200, "text/plain", RfcText, Ending::Stall});
    m_server.serve("/rfc/rfc9010.txt", {302, "text/plain", "", Ending::Complete, "Location: /rfc/rfc9010.txt\r\n"});
    m_server.serve("/rfc/rfc9011.txt", {302, "text/plain", "", Ending::Complete, "Location: file:///etc/passwd\r\n"});
    // Some 100 MB of text from 100 KB.
    m_server.serve("/rfc/rfc9012.txt", {200, "text/plain", deflated(QByteArray("quokka\n").repeated(15'000'000)),
                                        Ending::Complete, "Content-Encoding: deflate\r\n"});
    m_server.serve("/rfc/rfc9013.txt", {200, "text/plain", RfcText, Ending::Complete, "Content-Encoding: gzip\r\n"});
    m_server.serve("/rfc/rfc9016.txt", {200, "text/plain", RfcText, Ending::Complete, "Content-Encoding: br\r\n"});
    m_server.serve("/id/draft-ietf-quic-transport-33.txt",
                   {200, "text/plain", deflated(RfcText), Ending::Complete, "Content-Encoding: deflate\r\n"});
    m_server.serve("/rfc/rfc9015.txt", {200, "text/plain", QByteArray(10'000, 'x'), Ending::Trickle});
}

void TestDocumentFetcher::init()
{
    m_library = std::make_unique<QTemporaryDir>();
    QVERIFY(m_library->isValid());
    m_fetcher = std::make_unique<DocumentFetcher>();
    m_fetcher->setRfcBaseUrl(m_server.url("/rfc/"));
    m_fetcher->setDraftBaseUrl(m_server.url("/id"));
}

void TestDocumentFetcher::fetches_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    // Empty when the fetch succeeds; "%1" stands for the address.
    QTest::addColumn<QString>("message");

    QTest::newRow("text") << "9999" << "/rfc/rfc9999.txt" << "";
    QTest::newRow("draft") << "draft-ietf-quic-transport-34" << "/id/draft-ietf-quic-transport-34.txt" << "";
    QTest::newRow("compressed") << "draft-ietf-quic-transport-33" << "/id/draft-ietf-quic-transport-33.txt" << "";
    QTest::newRow("not found") << "RFC 99999" << "/rfc/rfc99999.txt" << "RFC 99999 was not found at %1";
    QTest::newRow("draft not found") << "draft-ietf-quic-transport-35" << "/id/draft-ietf-quic-transport-35.txt"
                                     << "draft-ietf-quic-transport-35 was not found at %1";
    QTest::newRow("web page") << "9001" << "/rfc/rfc9001.txt"
                              << "Could not fetch %1: the server sent a web page, not a text document";
    QTest::newRow("web page typed as text") << "9002" << "/rfc/rfc9002.txt"
                                            << "Could not fetch %1: the server sent a web page, not a text document";
    QTest::newRow("NUL byte") << "9003" << "/rfc/rfc9003.txt" << "Could not fetch %1: the document is not text";
    QTest::newRow("empty") << "9004" << "/rfc/rfc9004.txt" << "Could not fetch %1: the document is empty";
    QTest::newRow("cut short") << "9005" << "/rfc/rfc9005.txt" << "Could not fetch %1: the transfer was cut short";
    QTest::newRow("server error") << "9006" << "/rfc/rfc9006.txt"
                                  << "Could not fetch %1: the server replied 500 Internal Server Error";
    QTest::newRow("declared too large") << "9007" << "/rfc/rfc9007.txt"
                                        << "Could not fetch %1: the document is larger than 20 MB";
    QTest::newRow("streamed too large") << "9008" << "/rfc/rfc9008.txt"
                                        << "Could not fetch %1: the document is larger than 20 MB";
    // These said "the server replied 302 Found".
    QTest::newRow("redirect loop") << "9010" << "/rfc/rfc9010.txt" << "Could not fetch %1: too many redirects";
    QTest::newRow("redirect to a file")
        << "9011" << "/rfc/rfc9011.txt"
        << "Could not fetch %1: the redirect to file:///etc/passwd was refused, as it is not an http or https address";
    // These said "Decompression failed: " and no more.
    QTest::newRow("decompression bomb") << "9012" << "/rfc/rfc9012.txt"
                                        << "Could not fetch %1: the document is larger than 20 MB once decompressed";
    QTest::newRow("damaged compression") << "9013" << "/rfc/rfc9013.txt"
                                         << "Could not fetch %1: the compressed document is damaged";
    QTest::newRow("unknown encoding")
        << "9016" << "/rfc/rfc9016.txt"
        << "Could not fetch %1: the server sent the document in an encoding this program cannot read (br)";
}

void TestDocumentFetcher::fetches()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, message);

    QSignalSpy finished(m_fetcher.get(), &DocumentFetcher::finished);
    QSignalSpy failed(m_fetcher.get(), &DocumentFetcher::failed);
    QVERIFY(m_fetcher->fetch(::name(name), m_library->path()));
    QTRY_COMPARE(finished.count() + failed.count(), 1);
    QVERIFY(!m_fetcher->isRunning());

    const QString fileName = path.section(u'/', -1);
    if (message.isEmpty()) {
        QCOMPARE(finished.first().first().toString(), QDir(m_library->path()).filePath(fileName));
        QCOMPARE(folderEntries(m_library->path()), QStringList(fileName));
        QFile file(finished.first().first().toString());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), RfcText);
    } else {
        QCOMPARE(failed.first().first().toString(), message.arg(m_server.url(path).toDisplayString()));
        QCOMPARE(folderEntries(m_library->path()), QStringList());
    }
}

void TestDocumentFetcher::cancelLeavesNothing()
{
    QSignalSpy progress(m_fetcher.get(), &DocumentFetcher::progress);
    QSignalSpy finished(m_fetcher.get(), &DocumentFetcher::finished);
    QSignalSpy failed(m_fetcher.get(), &DocumentFetcher::failed);
    QVERIFY(m_fetcher->fetch(name("9009"), m_library->path()));
    QTRY_VERIFY(!progress.isEmpty() && progress.last().first().toLongLong() == RfcText.size());
    QCOMPARE(progress.last().last().toLongLong(), RfcText.size() + 1000);

    m_fetcher->cancel();
    QVERIFY(!m_fetcher->isRunning());
    QCOMPARE(folderEntries(m_library->path()), QStringList());

    // The cancelled fetch reports nothing, before or after the next one.
    QVERIFY(m_fetcher->fetch(name("9999"), m_library->path()));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(folderEntries(m_library->path()), QStringList("rfc9999.txt"));
}

void TestDocumentFetcher::stallTimesOut()
{
    m_fetcher->setTimeout(300ms);
    QSignalSpy failed(m_fetcher.get(), &DocumentFetcher::failed);
    QVERIFY(m_fetcher->fetch(name("9009"), m_library->path()));
    QTRY_COMPARE(failed.count(), 1);
    QCOMPARE(failed.first().first().toString(),
             "Could not fetch " + m_server.url("/rfc/rfc9009.txt").toDisplayString() + ": no data for 300 ms");
    QCOMPARE(folderEntries(m_library->path()), QStringList());
}

// A server that sent a line every 20 seconds held the fetch for minutes.
void TestDocumentFetcher::slowServerMissesTheDeadline()
{
    m_fetcher->setDeadline(500ms);
    QSignalSpy progress(m_fetcher.get(), &DocumentFetcher::progress);
    QSignalSpy failed(m_fetcher.get(), &DocumentFetcher::failed);
    QVERIFY(m_fetcher->fetch(name("9015"), m_library->path()));
    QTRY_COMPARE(failed.count(), 1);
    QCOMPARE(failed.first().first().toString(), "Could not fetch " + m_server.url("/rfc/rfc9015.txt").toDisplayString()
                                                    + ": the transfer took longer than 500 ms");
    QVERIFY(progress.count() > 1);
    QCOMPARE(folderEntries(m_library->path()), QStringList());
}

void TestDocumentFetcher::refusesAnotherRfcsText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("the number asked") << QByteArray("IETF\nRequest for Comments: 9014\nCategory: x\n") << true;
    // Another RFC's text was stored under the number asked for.
    QTest::newRow("another number") << QByteArray("IETF\nRequest for Comments: 9015\nCategory: x\n") << false;
    QTest::newRow("old header without the line") << QByteArray("Network Working Group\nRFC: 9\n\nText\n") << true;
    QTest::newRow("named past the first page")
        << QByteArray("RFC 9014\n\f\nas Request for Comments: 1 said\nRequest for Comments: 1\n") << true;
}

void TestDocumentFetcher::refusesAnotherRfcsText()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, accepted);

    m_server.serve("/rfc/rfc9014.txt", {200, "text/plain", text});
    QSignalSpy finished(m_fetcher.get(), &DocumentFetcher::finished);
    QSignalSpy failed(m_fetcher.get(), &DocumentFetcher::failed);
    QVERIFY(m_fetcher->fetch(name("9014"), m_library->path()));
    QTRY_COMPARE(finished.count() + failed.count(), 1);
    if (accepted) {
        QCOMPARE(folderEntries(m_library->path()), QStringList("rfc9014.txt"));
    } else {
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().first().toString(), "Could not fetch " + m_server.url("/rfc/rfc9014.txt").toDisplayString()
                                                        + ": the server sent RFC 9015 instead of RFC 9014");
        QCOMPARE(folderEntries(m_library->path()), QStringList());
    }
}

void TestDocumentFetcher::serverDown()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QUrl base(QStringLiteral("http://127.0.0.1:%1/rfc/").arg(closed.serverPort()));
    closed.close();
    m_fetcher->setRfcBaseUrl(base);

    QSignalSpy failed(m_fetcher.get(), &DocumentFetcher::failed);
    QVERIFY(m_fetcher->fetch(name("9999"), m_library->path()));
    QTRY_COMPARE(failed.count(), 1);
    QCOMPARE(failed.first().first().toString(),
             "Could not fetch " + base.toDisplayString() + "rfc9999.txt: Connection refused");
    QCOMPARE(folderEntries(m_library->path()), QStringList());
}

void TestDocumentFetcher::libraryNotWritable()
{
    // A regular file where the library's parent folder should be.
    const QString blocker = QDir(m_library->path()).filePath("file");
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString folder = QDir(blocker).filePath("library");

    QSignalSpy failed(m_fetcher.get(), &DocumentFetcher::failed);
    QVERIFY(m_fetcher->fetch(name("9999"), folder));
    QTRY_COMPARE(failed.count(), 1);
    const QString prefix = "Could not fetch " + m_server.url("/rfc/rfc9999.txt").toDisplayString() + ": cannot write "
        + QDir(folder).filePath("rfc9999.txt") + ": ";
    QVERIFY2(failed.first().first().toString().startsWith(prefix), qPrintable(failed.first().first().toString()));
    QCOMPARE(folderEntries(m_library->path()), QStringList("file"));
}

void TestDocumentFetcher::refusesWhatItCannotFetch()
{
    QVERIFY(!m_fetcher->fetch(name("BCP 14"), m_library->path()));
    QVERIFY(!m_fetcher->fetch(name("STD 7"), m_library->path()));
    QVERIFY(!m_fetcher->fetch(name("draft-ietf-quic-transport"), m_library->path()));
    QVERIFY(!m_fetcher->isRunning());

    QVERIFY(m_fetcher->fetch(name("9009"), m_library->path()));
    QVERIFY(!m_fetcher->fetch(name("9999"), m_library->path()));
    m_fetcher->cancel();
}

QTEST_GUILESS_MAIN(TestDocumentFetcher)
#include "tst_documentfetcher.moc"
