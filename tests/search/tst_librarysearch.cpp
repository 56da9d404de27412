#include "documenttext.h"
#include "librarysearch.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sqlite3.h>

#include <atomic>

namespace {

constexpr int IndexingTimeoutMs = 60000;

struct Outcome
{
    QList<SearchHit> hits;
    QList<int> batchSizes; // of each hitsFound, the last one complete
    int total = -1;
    QString rejection;
};

Outcome searchFor(LibrarySearch &search, const QString &query, std::optional<QStringList> documents = {},
                  std::function<DocumentLabel(const QString &)> label = {})
{
    QSignalSpy found(&search, &LibrarySearch::hitsFound);
    QSignalSpy rejected(&search, &LibrarySearch::searchRejected);
    search.search({query, std::move(documents), std::move(label)});
    const auto finished = [&] { return !rejected.isEmpty() || (!found.isEmpty() && found.last().at(2).toBool()); };
    Outcome outcome;
    if (!QTest::qWaitFor(finished, IndexingTimeoutMs)) {
        outcome.rejection = QStringLiteral("no answer");
        return outcome;
    }
    if (!rejected.isEmpty()) {
        outcome.rejection = rejected.first().first().toString();
        return outcome;
    }
    for (const QList<QVariant> &batch : std::as_const(found))
        outcome.batchSizes << int(batch.first().value<QList<SearchHit>>().size());
    outcome.hits = found.last().first().value<QList<SearchHit>>();
    outcome.total = found.last().at(1).toInt();
    return outcome;
}

// "file:line:column:length" of each hit, sorted.
QStringList places(const Outcome &outcome)
{
    QStringList described;
    for (const SearchHit &hit : outcome.hits)
        described << QStringLiteral("%1:%2:%3:%4")
                         .arg(QFileInfo(hit.path).fileName())
                         .arg(hit.line)
                         .arg(hit.column)
                         .arg(hit.length);
    described.sort();
    return described;
}

bool waitIdle(QSignalSpy &idle)
{
    return idle.wait(IndexingTimeoutMs);
}

} // namespace

// The library's full-text index: kept up to date, searched off the
// user-interface thread, and made again when its file is damaged.
class TestLibrarySearch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_folder = m_dir->filePath(QStringLiteral("library"));
        m_index = m_dir->filePath(QStringLiteral("cache/search.sqlite"));
        QDir().mkpath(m_folder);
    }

    void picksUpAddedChangedAndRemovedFiles()
    {
        const QString one = m_folder + QStringLiteral("/rfc1.txt");
        const QString two = m_folder + QStringLiteral("/rfc2.txt");
        const QString three = m_folder + QStringLiteral("/RFC3.TXT");
        writeFile(one, "1.  Alpha\n\n   The quokka sleeps.\n");
        writeFile(two, "1.  Beta\n\n   The wombat digs.\n");
        writeFile(m_folder + QStringLiteral("/notes.md"), "a quokka in a file that is no document\n");
        LibrarySearch search(m_index);
        update(search);
        QCOMPARE(places(searchFor(search, QStringLiteral("quokka"))), QStringList{"rfc1.txt:3:7:6"});
        QCOMPARE(searchFor(search, QStringLiteral("wombat")).total, 1);

        writeFile(one, "1.  Alpha\n\n   The numbat changed its mind.\n");
        writeFile(three, "1.  Gamma\n\n   Another quokka.\n");
        QVERIFY(QFile::remove(two));
        update(search);
        QCOMPARE(places(searchFor(search, QStringLiteral("quokka"))), QStringList{"RFC3.TXT:3:11:6"});
        QCOMPARE(places(searchFor(search, QStringLiteral("numbat"))), QStringList{"rfc1.txt:3:7:6"});
        const Outcome gone = searchFor(search, QStringLiteral("wombat"));
        QCOMPARE(gone.total, 0);
        QVERIFY(gone.hits.isEmpty());
    }

    void namesSectionAndLineInTheCorpus_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("line");
        QTest::newRow("decimation") << "decimation" << "3.8.6.3"
                                    << "Delayed Acknowledgments -- When to Send an ACK Segment" << 2341;
        QTest::newRow("fingerprinting") << "fingerprinting" << "7" << "Security and Privacy Considerations" << 4419;
        QTest::newRow("bidirectionally") << "bidirectionally" << "2.2" << "Key TCP Concepts" << 262;
    }
    void namesSectionAndLineInTheCorpus()
    {
        QFETCH(QString, word);
        const QString rfc = corpusFile(QStringLiteral("rfc9293.txt"));
        LibrarySearch search(m_index);
        QSignalSpy idle(&search, &LibrarySearch::indexIdle);
        search.addDocuments({rfc});
        QVERIFY(waitIdle(idle));

        const Outcome outcome = searchFor(search, word);
        QCOMPARE(outcome.total, 1);
        const SearchHit &hit = outcome.hits.first();
        QCOMPARE(hit.path, QFileInfo(rfc).absoluteFilePath());
        QTEST(hit.section, "section");
        QTEST(hit.sectionTitle, "title");
        QTEST(hit.line, "line");
        const QStringList lines = DocumentText::read(rfc).text().split(u'\n');
        QCOMPARE(lines[hit.line - 1].mid(hit.column, hit.length), word);
        QVERIFY2(hit.snippet.contains(QStringLiteral("<b>%1</b>").arg(word)), qPrintable(hit.snippet));
    }

    void phraseAndPrefixQueries_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("hits");
        QTest::newRow("phrase") << "\"connection enters\"" << QStringList{"rfc10.txt:3:7:17"};
        QTest::newRow("phrase across a line end")
            << "\"SYN-RECEIVED state\"" << QStringList{"rfc10.txt:3:29:22"};
        QTest::newRow("hyphenated word") << "SYN-RECEIVED" << QStringList{"rfc10.txt:3:29:12"};
        QTest::newRow("prefix, heading and text in one passage")
            << "synchroni*" << QStringList{"rfc10.txt:6:4:15"};
        QTest::newRow("NOT") << "connection NOT syn" << QStringList{"rfc11.txt:3:18:10"};
        QTest::newRow("OR") << "peer OR arrives" << QStringList{"rfc10.txt:4:21:7", "rfc11.txt:3:46:4"};
        QTest::newRow("case and first match") << "STATE" << QStringList{"rfc10.txt:4:3:5", "rfc11.txt:3:5:5"};
    }
    void phraseAndPrefixQueries()
    {
        QFETCH(QString, query);
        writeFile(m_folder + QStringLiteral("/rfc10.txt"), "1.  Introduction\n\n"
                                                           "   The connection enters the SYN-RECEIVED\n"
                                                           "   state after a SYN arrives.\n\n"
                                                           "2.  Synchronization\n\n"
                                                           "   Synchronizing sequence numbers is the first step.\n");
        writeFile(m_folder + QStringLiteral("/rfc11.txt"), "1.  Overview\n\n"
                                                           "   A state of the connection is kept for each peer.\n");
        LibrarySearch search(m_index);
        update(search);
        QTEST(places(searchFor(search, query)), "hits");
    }

    void rejectedQueryIsExplained_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("explanation");
        QTest::newRow("operator at the end") << "state AND" << "ends too soon";
        QTest::newRow("open quote") << "\"state" << "quotation mark";
        QTest::newRow("colon") << "x:state" << "column";
        QTest::newRow("NOT first") << "NOT state" << "at \"NOT\"";
    }
    void rejectedQueryIsExplained()
    {
        QFETCH(QString, query);
        writeFile(m_folder + QStringLiteral("/rfc1.txt"), "1.  One\n\n   some state\n");
        LibrarySearch search(m_index);
        update(search);
        const Outcome outcome = searchFor(search, query);
        QFETCH(QString, explanation);
        QVERIFY2(outcome.rejection.contains(explanation), qPrintable(outcome.rejection));
        QVERIFY(outcome.hits.isEmpty());
    }

    // Two programs (on two settings files) share the index in the cache:
    // what one knows of it may be out of date when it writes.
    void secondIndexerOnTheFileKeepsItWhole()
    {
        LibrarySearch second(m_index);
        update(second);
        for (int i = 0; i < 40; ++i)
            writeFile(m_folder + QStringLiteral("/rfc%1.txt").arg(100 + i),
                      "1.  One\n\n   The quokka number " + QByteArray::number(i) + " sleeps.\n");
        {
            LibrarySearch first(m_index);
            update(first);
        }
        writeFile(m_folder + QStringLiteral("/rfc99.txt"), "1.  Two\n\n   A wombat.\n");
        QSignalSpy messages(&second, &LibrarySearch::message);
        update(second);
        QCOMPARE(messages.size(), 0);
        QCOMPARE(searchFor(second, QStringLiteral("quokka")).total, 40);
        QCOMPARE(places(searchFor(second, QStringLiteral("number 7"))), QStringList{"rfc107.txt:3:14:6"});
        QCOMPARE(places(searchFor(second, QStringLiteral("wombat"))), QStringList{"rfc99.txt:3:5:6"});
    }

    void scopeOfOpenDocuments()
    {
        const QString one = m_folder + QStringLiteral("/rfc1.txt");
        writeFile(one, "1.  One\n\n   a shared word\n");
        writeFile(m_folder + QStringLiteral("/rfc2.txt"), "1.  Two\n\n   the shared word again\n");
        LibrarySearch search(m_index);
        update(search);
        QCOMPARE(searchFor(search, QStringLiteral("shared")).total, 2);
        QCOMPARE(places(searchFor(search, QStringLiteral("shared"), QStringList{one})),
                 QStringList{"rfc1.txt:3:5:6"});
        QCOMPARE(searchFor(search, QStringLiteral("shared"), QStringList()).total, 0);
    }

    // Many matches: the first fifty at once, then at most two hundred, and
    // the count of all.
    void manyMatchesComeInTwoBatches()
    {
        QByteArray text = "1.  Many\n\n";
        for (int i = 0; i < 260; ++i)
            text += "   paragraph " + QByteArray::number(i) + " with the common word\n\n";
        writeFile(m_folder + QStringLiteral("/rfc1.txt"), text);
        LibrarySearch::Options options;
        options.passageLength = 0;
        LibrarySearch search(m_index, options);
        update(search);
        const Outcome outcome = searchFor(search, QStringLiteral("common"));
        QCOMPARE(outcome.total, 260);
        QCOMPARE(outcome.batchSizes, (QList<int>{50, 200}));
        for (qsizetype i = 1; i < outcome.hits.size(); ++i)
            QVERIFY(outcome.hits[i - 1].score <= outcome.hits[i].score);
    }

    void searchRunsOffTheUserInterfaceThread()
    {
        writeFile(m_folder + QStringLiteral("/rfc1.txt"), "1.  One\n\n   The quokka sleeps.\n");
        LibrarySearch search(m_index);
        update(search);
        std::atomic<QThread *> labelledOn = nullptr;
        const Outcome outcome = searchFor(search, QStringLiteral("quokka"), std::nullopt, [&](const QString &) {
            labelledOn = QThread::currentThread();
            return DocumentLabel{1, QStringLiteral("Quokka Protocol")};
        });
        QCOMPARE(outcome.hits.size(), 1);
        QCOMPARE(outcome.hits.first().document.title, QStringLiteral("Quokka Protocol"));
        QVERIFY(labelledOn.load());
        QVERIFY(labelledOn.load() != QThread::currentThread());
    }

    void damagedIndexFileIsMadeAgain_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not a database") << QByteArray("this is no index at all\n").repeated(500);
        QTest::newRow("zeros") << QByteArray(16384, '\0');
    }
    void damagedIndexFileIsMadeAgain()
    {
        QFETCH(QByteArray, bytes);
        writeFile(m_folder + QStringLiteral("/rfc1.txt"), "1.  One\n\n   The quokka sleeps.\n");
        QDir().mkpath(QFileInfo(m_index).path());
        writeFile(m_index, bytes);
        LibrarySearch search(m_index);
        QSignalSpy messages(&search, &LibrarySearch::message);
        update(search);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().first().toString().contains(QLatin1String("damaged")));
        QCOMPARE(readFile(m_index + QStringLiteral(".damaged")), bytes);
        QCOMPARE(searchFor(search, QStringLiteral("quokka")).total, 1);
    }

    // The damage is found by a search, before the indexer opened the file.
    void damageFoundBySearchIsMended()
    {
        writeFile(m_folder + QStringLiteral("/rfc1.txt"), "1.  One\n\n   The quokka sleeps.\n");
        {
            LibrarySearch search(m_index);
            update(search);
        }
        QFile file(m_index);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write(QByteArray(100, 'x'));
        file.close();

        LibrarySearch search(m_index);
        QSignalSpy messages(&search, &LibrarySearch::message);
        const Outcome broken = searchFor(search, QStringLiteral("quokka"));
        QVERIFY2(broken.rejection.contains(QLatin1String("damaged")), qPrintable(broken.rejection));
        QVERIFY(messages.wait(IndexingTimeoutMs));
        update(search);
        QCOMPARE(searchFor(search, QStringLiteral("quokka")).total, 1);
        QCOMPARE(messages.size(), 1);
    }

    void fileLockedByAnotherProgramIsMovedAside()
    {
        writeFile(m_folder + QStringLiteral("/rfc1.txt"), "1.  One\n\n   The quokka sleeps.\n");
        {
            LibrarySearch search(m_index);
            update(search);
        }
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(m_index.toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM meta;", nullptr, nullptr, nullptr), SQLITE_OK);

        writeFile(m_folder + QStringLiteral("/rfc2.txt"), "1.  Two\n\n   The wombat digs.\n");
        LibrarySearch::Options options;
        options.patienceMs = 200;
        LibrarySearch search(m_index, options);
        QSignalSpy messages(&search, &LibrarySearch::message);
        update(search);
        sqlite3_close(other);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().first().toString().contains(QLatin1String("locked")));
        QCOMPARE(searchFor(search, QStringLiteral("quokka OR wombat")).total, 2);
    }

    // A deleted index file answered "no passage matches", with no word of it.
    void deletedIndexIsMadeAgain_data()
    {
        QTest::addColumn<bool>("searchFirst");
        QTest::newRow("found by a search") << true;
        QTest::newRow("found by indexing") << false;
    }
    void deletedIndexIsMadeAgain()
    {
        QFETCH(bool, searchFirst);
        writeFile(m_folder + QStringLiteral("/rfc1.txt"), "1.  One\n\n   The quokka sleeps.\n");
        LibrarySearch search(m_index);
        update(search);
        QCOMPARE(searchFor(search, QStringLiteral("quokka")).total, 1);

        QVERIFY(QFile::remove(m_index));
        QSignalSpy messages(&search, &LibrarySearch::message);
        QSignalSpy idle(&search, &LibrarySearch::indexIdle);
        if (searchFirst) {
            const Outcome gone = searchFor(search, QStringLiteral("quokka"));
            QVERIFY2(gone.rejection.startsWith(QLatin1String("The search index is unavailable")),
                     qPrintable(gone.rejection));
            QVERIFY(waitIdle(idle));
        } else {
            update(search);
        }
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().first().toString().contains(QLatin1String("deleted")),
                 qPrintable(messages.first().first().toString()));
        QVERIFY(QFileInfo::exists(m_index));
        QCOMPARE(searchFor(search, QStringLiteral("quokka")).total, 1);
    }

    // A cache folder that cannot be made: a search said "no passage matches".
    void unwritableCacheFolderIsReported()
    {
        const QString blocker = m_dir->filePath(QStringLiteral("cache"));
        writeFile(blocker, "a file where the folder should be\n");
        writeFile(m_folder + QStringLiteral("/rfc1.txt"), "1.  One\n\n   The quokka sleeps.\n");
        LibrarySearch search(m_index);
        QSignalSpy messages(&search, &LibrarySearch::message);
        update(search);
        const QString reason = QStringLiteral("cannot make the folder %1").arg(QDir::toNativeSeparators(blocker));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().first().toString(), QStringLiteral("The search index cannot be opened: ") + reason);
        QCOMPARE(searchFor(search, QStringLiteral("quokka")).rejection,
                 QStringLiteral("The search index is unavailable: ") + reason);
    }

private:
    void update(LibrarySearch &search)
    {
        QSignalSpy idle(&search, &LibrarySearch::indexIdle);
        search.updateFolders({m_folder});
        QVERIFY(waitIdle(idle));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    QString m_index;
};

QTEST_GUILESS_MAIN(TestLibrarySearch)
#include "tst_librarysearch.moc"
