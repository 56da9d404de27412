#include "erratasource.h"
#include "testfiles.h"
#include "testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Ending = TestHttpServer::Ending;

namespace {

const QList<int> Rfc793Ids{572, 1562, 2771, 4580, 6477};

QList<int> idsOf(const QList<Erratum> &errata)
{
    QList<int> ids;
    for (const Erratum &erratum : errata)
        ids << erratum.id;
    return ids;
}

// A source fetching from a local server into an empty library folder.
struct Library
{
    QByteArray json = readFile(QStringLiteral(FOLIVANE_ERRATA_DATA "/errata.json"));
    TestHttpServer server;
    QTemporaryDir folder;
    ErrataSource source;
    QSignalSpy changed{&source, &ErrataSource::errataChanged};
    QSignalSpy failed{&source, &ErrataSource::failed};

    Library()
    {
        server.listen();
        serve({200, "application/json", json});
        source.setUrl(server.url("/errata.json"));
        source.setFolder(folder.path());
    }
    void serve(const TestHttpServer::Response &response) { server.serve("/errata.json", response); }
    QString path() const { return folder.filePath("errata.json"); }
    QStringList files() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }
    // A good copy from two days ago: the next refresh asks for a new one.
    void storeAgedCopy() const
    {
        writeFile(path(), json);
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    }
};

} // namespace

class TestErrataSource : public QObject
{
    Q_OBJECT

private slots:
    void fetchesOnceADay();
    void notModifiedKeepsFileAndList();
    void badFetchKeepsLastGoodList_data();
    void badFetchKeepsLastGoodList();
    void damagedStoredFileFails();
};

void TestErrataSource::fetchesOnceADay()
{
    Library library;
    library.source.refresh();
    QVERIFY(library.source.errataOf(793).isEmpty());
    QTRY_COMPARE(library.changed.count(), 1);
    QCOMPARE(idsOf(library.source.errataOf(793)), Rfc793Ids);
    QCOMPARE(readFile(library.path()), library.json);
    QCOMPARE(library.files(), QStringList("errata.json"));

    library.source.refresh();
    ErrataSource next;
    next.setUrl(library.server.url("/errata.json"));
    next.setFolder(library.folder.path());
    QSignalSpy nextChanged(&next, &ErrataSource::errataChanged);
    next.refresh();
    // Read on a worker thread, the stored copy is not there at once.
    QVERIFY(!next.isLoaded());
    QTRY_COMPARE(nextChanged.count(), 1);
    QCOMPARE(idsOf(next.errataOf(793)), Rfc793Ids);
    QCOMPARE(library.server.requestedPaths(), QStringList("/errata.json"));
}

void TestErrataSource::notModifiedKeepsFileAndList()
{
    Library library;
    library.serve({304, "application/json", {}});
    library.storeAgedCopy();
    library.source.refresh();
    QTRY_COMPARE(library.changed.count(), 1);
    // Dated again when the server said it has nothing newer.
    QTRY_VERIFY(QFileInfo(library.path()).lastModified().secsTo(QDateTime::currentDateTime()) < 60);
    QCOMPARE(library.server.requestedPaths(), QStringList("/errata.json"));
    QCOMPARE(readFile(library.path()), library.json);
    QCOMPARE(idsOf(library.source.errataOf(793)), Rfc793Ids);
    QCOMPARE(library.failed.count(), 0);
}

void TestErrataSource::badFetchKeepsLastGoodList_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<Ending>("ending");

    const QByteArray json = readFile(QStringLiteral(FOLIVANE_ERRATA_DATA "/errata.json"));
    QTest::newRow("not JSON") << QByteArray("Service unavailable\n") << Ending::Complete;
    QTest::newRow("damaged JSON") << QByteArray("[{\"errata_id\": \"1\", \"doc-id\": ") << Ending::Complete;
    QTest::newRow("no errata") << QByteArray(" [{\"notice\": \"moved\"}]") << Ending::Complete;
    QTest::newRow("cut short") << json.left(json.size() / 2) << Ending::CutShort;
}

void TestErrataSource::badFetchKeepsLastGoodList()
{
    QFETCH(QByteArray, body);
    QFETCH(Ending, ending);

    Library library;
    library.serve({200, "application/json", body, ending});
    library.storeAgedCopy();
    library.source.refresh();
    QTRY_COMPARE(library.failed.count(), 1);
    const QString message = library.failed.first().first().toString();
    QVERIFY(message.startsWith("Could not fetch " + library.server.url("/errata.json").toDisplayString() + ": "));
    QCOMPARE(library.changed.count(), 1);
    QCOMPARE(idsOf(library.source.errataOf(793)), Rfc793Ids);
    QCOMPARE(readFile(library.path()), library.json);
    QCOMPARE(library.files(), QStringList("errata.json"));
}

void TestErrataSource::damagedStoredFileFails()
{
    Library library;
    writeFile(library.path(), "[{\"errata_id\": ");
    library.source.loadStored();
    QTRY_COMPARE(library.failed.count(), 1);
    QVERIFY(library.failed.first().first().toString().startsWith("Could not read "));
    QVERIFY(!library.source.isLoaded());
    QVERIFY(library.source.errataOf(793).isEmpty());
    QCOMPARE(library.changed.count(), 0);
    // Gone, so that the next fetch asks for a whole copy.
    QVERIFY(library.files().isEmpty());
    QVERIFY(library.server.requestedPaths().isEmpty());
}

QTEST_GUILESS_MAIN(TestErrataSource)
#include "tst_erratasource.moc"
