#include "librarysearch.h"

#include "searchdatabase.h"
#include "searchindexer.h"
#include "searchrunner.h"
#include "userfolders.h"

#include <QFileInfo>
#include <QThread>

QString LibrarySearch::defaultPath()
{
    return folivaneFolder(UserFolder::Cache) + QStringLiteral("/search.sqlite");
}

LibrarySearch::LibrarySearch(const QString &databasePath, QObject *parent)
    : LibrarySearch(databasePath, Options(), parent)
{
}

LibrarySearch::LibrarySearch(const QString &databasePath, Options options, QObject *parent)
    : QObject(parent)
    , m_ownWriter(std::make_unique<OwnWriter>())
    , m_indexThread(new QThread(this))
    , m_searchThread(new QThread(this))
    , m_indexer(std::make_unique<SearchIndexer>(databasePath, options.passageLength, options.patienceMs,
                                                *m_ownWriter))
    , m_runner(std::make_unique<SearchRunner>(databasePath, *m_ownWriter, options.patienceMs, m_latest))
{
    m_indexer->moveToThread(m_indexThread);
    m_runner->moveToThread(m_searchThread);
    connect(m_indexer.get(), &SearchIndexer::progress, this, &LibrarySearch::indexProgress);
    connect(m_indexer.get(), &SearchIndexer::idle, this, [this](const QString &failure) {
        m_indexFailure = failure;
        m_indexing = false;
        emit indexIdle();
    });
    connect(m_indexer.get(), &SearchIndexer::reset, this, [this](const QString &text) {
        QMetaObject::invokeMethod(m_runner.get(), &SearchRunner::reopen, Qt::QueuedConnection);
        emit message(text);
    });
    connect(m_indexer.get(), &SearchIndexer::failed, this, &LibrarySearch::message);
    connect(m_runner.get(), &SearchRunner::hitsFound, this,
            [this](int id, const QList<SearchHit> &hits, int total, bool complete) {
                if (id == m_latest)
                    emit hitsFound(hits, total, complete);
            });
    connect(m_runner.get(), &SearchRunner::rejected, this, [this](int id, const QString &explanation) {
        if (id == m_latest)
            emit searchRejected(explanation);
    });
    connect(m_runner.get(), &SearchRunner::missing, this, [this](int id) {
        if (id == m_latest)
            emit searchRejected(m_indexFailure.isEmpty()
                                    ? QStringLiteral("The search index is unavailable: its file is missing; it is "
                                                     "being made again")
                                    : QStringLiteral("The search index is unavailable: %1").arg(m_indexFailure));
        // The indexer makes the file again, or tells again why it cannot.
        m_indexing = true;
        m_indexer->recover({});
    });
    connect(m_runner.get(), &SearchRunner::damaged, this,
            [this](const QString &instance) { m_indexer->recover(instance); });
    connect(m_runner.get(), &SearchRunner::staleDocument, this, [this](const QString &path) {
        m_indexing = true;
        m_indexer->indexFiles({path});
    });
    // Indexing gives way to the window; a search is what the user waits for.
    m_indexThread->start(QThread::LowPriority);
    m_searchThread->start();
}

LibrarySearch::~LibrarySearch()
{
    ++m_latest; // a search still running gives up
    m_indexThread->requestInterruption();
    m_indexThread->quit();
    m_searchThread->quit();
    m_indexThread->wait();
    m_searchThread->wait();
}

void LibrarySearch::updateFolders(const QStringList &folders)
{
    m_indexing = true;
    m_indexer->scanFolders(folders);
}

void LibrarySearch::addDocuments(const QStringList &paths)
{
    QStringList absolute;
    for (const QString &path : paths)
        absolute << QFileInfo(path).absoluteFilePath();
    m_indexing = true;
    m_indexer->indexFiles(absolute);
}

void LibrarySearch::search(const SearchRequest &request)
{
    const int id = ++m_latest;
    QMetaObject::invokeMethod(
        m_runner.get(), [runner = m_runner.get(), id, request] { runner->run(id, request); }, Qt::QueuedConnection);
}
