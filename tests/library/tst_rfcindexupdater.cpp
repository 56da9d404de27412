#include "rfcindexupdater.h"
#include "testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Ending = TestHttpServer::Ending;

namespace {

const QByteArray IndexXml = "<?xml version=\"1.0\"?>\n<rfc-index xmlns=\"http://www.rfc-editor.org/rfc-index\"/>\n";

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeAged(const QString &path, const QByteArray &data, int ageInDays)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush()
        && file.setFileTime(QDateTime::currentDateTime().addDays(-ageInDays), QFileDevice::FileModificationTime);
}

} // namespace

class TestRfcIndexUpdater : public QObject
{
    Q_OBJECT

private slots:
    void isDue_data();
    void isDue();
    void fetchesOnceADay();
    void failedUpdateKeepsOldIndex();
};

void TestRfcIndexUpdater::isDue_data()
{
    QTest::addColumn<qint64>("secondsSinceUpdate");
    QTest::addColumn<bool>("due");

    constexpr qint64 Day = 24 * 60 * 60;
    QTest::newRow("an hour ago") << qint64(60 * 60) << false;
    QTest::newRow("just under a day") << Day - 1 << false;
    QTest::newRow("a day") << Day << true;
    QTest::newRow("a year") << 365 * Day << true;
    QTest::newRow("an hour ahead") << qint64(-60 * 60) << false;
    QTest::newRow("two days ahead") << -2 * Day << true;
}

void TestRfcIndexUpdater::isDue()
{
    QFETCH(qint64, secondsSinceUpdate);
    QFETCH(bool, due);

    const QDateTime now = QDateTime::currentDateTimeUtc();
    QCOMPARE(RfcIndexUpdater::isDue(now.addSecs(-secondsSinceUpdate), now), due);
    QVERIFY(RfcIndexUpdater::isDue(QDateTime(), now));
}

void TestRfcIndexUpdater::fetchesOnceADay()
{
    TestHttpServer server;
    QVERIFY(server.listen());
    server.serve("/rfc-index.xml", {200, "application/xml", IndexXml});
    QTemporaryDir library;
    QVERIFY(library.isValid());
    const QString folder = QDir(library.path()).filePath("new library");

    RfcIndexUpdater updater;
    updater.setIndexUrl(server.url("/rfc-index.xml"));
    QSignalSpy updated(&updater, &RfcIndexUpdater::updated);
    QVERIFY(updater.updateIfDue(folder));
    QTRY_COMPARE(updated.count(), 1);
    const QString path = RfcIndexUpdater::indexPath(folder);
    QCOMPARE(updated.first().first().toString(), path);
    QCOMPARE(contents(path), IndexXml);

    QVERIFY(!updater.updateIfDue(folder));
    RfcIndexUpdater another;
    another.setIndexUrl(server.url("/rfc-index.xml"));
    QVERIFY(!another.updateIfDue(folder));
    QCOMPARE(server.requestedPaths(), QStringList("/rfc-index.xml"));
}

void TestRfcIndexUpdater::failedUpdateKeepsOldIndex()
{
    TestHttpServer server;
    QVERIFY(server.listen());
    server.serve("/rfc-index.xml", {200, "application/xml", IndexXml, Ending::CutShort});
    QTemporaryDir library;
    QVERIFY(library.isValid());
    const QString path = RfcIndexUpdater::indexPath(library.path());
    const QByteArray oldIndex = IndexXml + "<!-- old -->\n";
    QVERIFY(writeAged(path, oldIndex, 2));

    RfcIndexUpdater updater;
    updater.setIndexUrl(server.url("/rfc-index.xml"));
    QSignalSpy failed(&updater, &RfcIndexUpdater::failed);
    QVERIFY(updater.updateIfDue(library.path()));
    QTRY_COMPARE(failed.count(), 1);
    QVERIFY(failed.first().first().toString().startsWith("Could not fetch " + server.url("/rfc-index.xml").toDisplayString() + ": "));
    QCOMPARE(contents(path), oldIndex);
    QCOMPARE(QDir(library.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList("rfc-index.xml"));

    // Offline, the failed attempt counts as the day's fetch.
    QVERIFY(!updater.updateIfDue(library.path()));
}

QTEST_GUILESS_MAIN(TestRfcIndexUpdater)
#include "tst_rfcindexupdater.moc"
