#include "dailydownload.h"
#include "testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
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

QUrl newIndexUrl(const TestHttpServer &server)
{
    return server.url("/rfc-index.xml");
}

} // namespace

class TestDailyDownload : public QObject
{
    Q_OBJECT

private slots:
    void isDue_data();
    void isDue();
    void fetchesOnceADay();
    void failedUpdateKeepsOldFile();
    void asksOnlyForNewerCopy();
};

void TestDailyDownload::isDue_data()
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

void TestDailyDownload::isDue()
{
    QFETCH(qint64, secondsSinceUpdate);
    QFETCH(bool, due);

    const QDateTime now = QDateTime::currentDateTimeUtc();
    QCOMPARE(DailyDownload::isDue(now.addSecs(-secondsSinceUpdate), now), due);
    QVERIFY(DailyDownload::isDue(QDateTime(), now));
}

void TestDailyDownload::fetchesOnceADay()
{
    TestHttpServer server;
    QVERIFY(server.listen());
    server.serve("/rfc-index.xml", {200, "application/xml", IndexXml});
    QTemporaryDir library;
    QVERIFY(library.isValid());
    const QString folder = QDir(library.path()).filePath("new library");

    DailyDownload updater("rfc-index.xml", newIndexUrl(server));
    QSignalSpy updated(&updater, &DailyDownload::updated);
    QVERIFY(updater.updateIfDue(folder));
    QTRY_COMPARE(updated.count(), 1);
    const QString path = QDir(folder).filePath("rfc-index.xml");
    QCOMPARE(updater.path(folder), path);
    QCOMPARE(updated.first().first().toString(), path);
    QCOMPARE(contents(path), IndexXml);

    QVERIFY(!updater.updateIfDue(folder));
    DailyDownload another("rfc-index.xml", newIndexUrl(server));
    QVERIFY(!another.updateIfDue(folder));
    QCOMPARE(server.requestedPaths(), QStringList("/rfc-index.xml"));
}

void TestDailyDownload::failedUpdateKeepsOldFile()
{
    TestHttpServer server;
    QVERIFY(server.listen());
    server.serve("/rfc-index.xml", {200, "application/xml", IndexXml, Ending::CutShort});
    QTemporaryDir library;
    QVERIFY(library.isValid());
    const QString path = QDir(library.path()).filePath("rfc-index.xml");
    const QByteArray oldIndex = IndexXml + "<!-- old -->\n";
    QVERIFY(writeAged(path, oldIndex, 2));

    DailyDownload updater("rfc-index.xml", newIndexUrl(server));
    QSignalSpy failed(&updater, &DailyDownload::failed);
    QVERIFY(updater.updateIfDue(library.path()));
    QTRY_COMPARE(failed.count(), 1);
    const QString message = failed.first().first().toString();
    QVERIFY(message.startsWith("Could not fetch " + newIndexUrl(server).toDisplayString() + ": "));
    QCOMPARE(contents(path), oldIndex);
    QCOMPARE(QDir(library.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList("rfc-index.xml"));

    // Offline, the failed attempt counts as the day's fetch.
    QVERIFY(!updater.updateIfDue(library.path()));
}

void TestDailyDownload::asksOnlyForNewerCopy()
{
    TestHttpServer server;
    QVERIFY(server.listen());
    server.serve("/rfc-index.xml", {200, "application/xml", IndexXml});
    QTemporaryDir library;
    QVERIFY(library.isValid());
    DailyDownload first("rfc-index.xml", newIndexUrl(server));
    QSignalSpy updated(&first, &DailyDownload::updated);
    QVERIFY(first.updateIfDue(library.path()));
    QTRY_COMPARE(updated.count(), 1);
    QVERIFY(!server.requestHeads().last().contains("If-Modified-Since"));

    const QString path = first.path(library.path());
    QVERIFY(writeAged(path, IndexXml, 2));
    const QDateTime stored = QFileInfo(path).lastModified();
    server.serve("/rfc-index.xml", {304, "application/xml", {}});
    DailyDownload second("rfc-index.xml", newIndexUrl(server));
    QSignalSpy unchanged(&second, &DailyDownload::unchanged);
    QSignalSpy failed(&second, &DailyDownload::failed);
    QVERIFY(second.updateIfDue(library.path()));
    QTRY_COMPARE(unchanged.count(), 1);
    QCOMPARE(unchanged.first().first().toString(), path);
    const QString date = QLocale::c().toString(stored.toUTC(), u"ddd, dd MMM yyyy hh:mm:ss 'GMT'");
    QVERIFY(server.requestHeads().last().contains("\r\nIf-Modified-Since: " + date.toLatin1() + "\r\n"));
    QCOMPARE(contents(path), IndexXml);
    QCOMPARE(failed.count(), 0);
    // Now dated today, the file is not asked for again, even by a new session.
    QVERIFY(!DailyDownload("rfc-index.xml", newIndexUrl(server)).updateIfDue(library.path()));

    // Unasked, a 304 is no answer.
    QFile::remove(path);
    DailyDownload third("rfc-index.xml", newIndexUrl(server));
    QSignalSpy thirdFailed(&third, &DailyDownload::failed);
    QVERIFY(third.updateIfDue(library.path()));
    QTRY_COMPARE(thirdFailed.count(), 1);
    QVERIFY(!QFileInfo::exists(path));
}

QTEST_GUILESS_MAIN(TestDailyDownload)
#include "tst_dailydownload.moc"
