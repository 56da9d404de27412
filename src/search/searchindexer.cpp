#include "searchindexer.h"

#include "documentcitations.h"
#include "documenttext.h"
#include "headingparser.h"
#include "passages.h"
#include "searchdatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <sqlite3.h>

namespace {

// A transaction ends after this much text (as FTS5 keeps in memory), so
// that searches see progress about every second.
constexpr qint64 BatchBytes = 16 * 1024 * 1024;
// Progress is reported for a pass that takes longer than this, and this often.
constexpr qint64 QuietMs = 300;
constexpr qint64 ProgressEveryMs = 200;
// Ten times the largest RFC: what is larger is no document of the library.
constexpr qint64 MaxIndexedBytes = 16'000'000;
// Rows left behind by changed and removed documents are never searched but
// still weigh on every search: past a quarter of the live ones, with at least
// this many, the index is made again.
constexpr qint64 WasteFloor = 20000;

bool isBroken(SearchDatabase::Fault fault)
{
    return fault == SearchDatabase::Fault::Damaged || fault == SearchDatabase::Fault::Locked;
}

QString madeAgainMessage(SearchDatabase::Fault fault)
{
    return fault == SearchDatabase::Fault::Locked
               ? QStringLiteral("Another program kept the search index locked; it is being made again")
               : QStringLiteral("The search index was damaged; it is being made again");
}

// Marks this program's writer busy, so that its readers wait for it.
class WritingMark
{
public:
    explicit WritingMark(OwnWriter &writer) : m_writer(writer) { m_writer.writing = true; }
    ~WritingMark() { m_writer.writing = false; }

private:
    OwnWriter &m_writer;
};

} // namespace

struct SearchIndexer::Statements
{
    explicit Statements(const SqliteConnection &connection)
        : insertPassage(connection, "INSERT INTO passage(rowid, body) VALUES(?1, ?2)")
        , insertDocument(connection,
                         "INSERT INTO document(path, size, modified, first, last) VALUES(?1, ?2, ?3, ?4, ?5)")
        , deleteDocument(connection, "DELETE FROM document WHERE path = ?1")
        , insertCitation(connection,
                         "INSERT INTO citation(document, cited, line, section, kind) VALUES(?1, ?2, ?3, ?4, ?5)")
        , deleteCitations(connection,
                          "DELETE FROM citation WHERE document = (SELECT id FROM document WHERE path = ?1)")
        , insertDead(connection, "INSERT INTO dead(first, last) VALUES(?1, ?2)")
        , findDocument(connection, "SELECT size, modified, first, last FROM document WHERE path = ?1")
        , lastRow(connection, "SELECT max(coalesce((SELECT max(last) FROM document), 0),"
                              " coalesce((SELECT max(last) FROM dead), 0))")
    {
    }

    SqliteStatement insertPassage;
    SqliteStatement insertDocument;
    SqliteStatement deleteDocument;
    SqliteStatement insertCitation;
    SqliteStatement deleteCitations;
    SqliteStatement insertDead;
    SqliteStatement findDocument;
    SqliteStatement lastRow;
};

SearchIndexer::SearchIndexer(QString databasePath, int passageLength, int patienceMs, OwnWriter &ownWriter)
    : m_path(std::move(databasePath))
    , m_passageLength(passageLength)
    , m_patienceMs(patienceMs)
    , m_ownWriter(ownWriter)
{
}

SearchIndexer::~SearchIndexer() = default;

void SearchIndexer::scanFolders(const QStringList &folders)
{
    enqueue({Job::Kind::Scan, folders, {}});
}

void SearchIndexer::indexFiles(const QStringList &paths)
{
    enqueue({Job::Kind::Files, paths, {}});
}

void SearchIndexer::recover(const QString &instance)
{
    enqueue({Job::Kind::Recover, {}, instance});
}

void SearchIndexer::enqueue(Job job)
{
    {
        const QMutexLocker locker(&m_queueLock);
        m_queue.push_back(std::move(job));
    }
    QMetaObject::invokeMethod(this, &SearchIndexer::work, Qt::QueuedConnection);
}

bool SearchIndexer::takeJob(Job *job)
{
    const QMutexLocker locker(&m_queueLock);
    if (m_queue.empty())
        return false;
    *job = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

void SearchIndexer::work()
{
    bool worked = false;
    Job job;
    while (!QThread::currentThread()->isInterruptionRequested() && takeJob(&job)) {
        worked = true;
        // Deleted under this program: the open file is no longer the index.
        if (m_db && !QFileInfo::exists(m_path))
            startOver(QStringLiteral("The search index was deleted; it is being made again"));
        if (!ensureOpen())
            continue;
        bool ok = true;
        switch (job.kind) {
        case Job::Kind::Scan:
            m_folders = job.paths;
            ok = bringUpToDate(filesIn(m_folders));
            break;
        case Job::Kind::Files:
            ok = bringUpToDate(job.paths);
            break;
        case Job::Kind::Recover:
            // A reader that could not name the file found it broken at the
            // start: opening it again tells.
            if (job.instance.isEmpty()) {
                m_statements.reset();
                m_db.reset();
                ensureOpen();
            } else if (job.instance == m_db->instance()) {
                startOver(madeAgainMessage(SearchDatabase::Fault::Damaged));
            }
            continue;
        }
        if (ok) {
            m_startedOver = false;
            rebuildIfWasteful();
        } else if (isBroken(m_db->fault())) {
            startOver(madeAgainMessage(m_db->fault()));
        } else {
            closeFailed(QStringLiteral("The search index cannot be written"), m_db->errorString());
        }
    }
    if (worked)
        emit idle(m_failure);
}

QStringList SearchIndexer::filesIn(const QStringList &folders) const
{
    QStringList paths;
    QSet<QString> listed;
    for (const QString &folder : folders) {
        const QFileInfoList files =
            QDir(folder).entryInfoList({QStringLiteral("*.txt")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo &file : files) {
            paths << file.absoluteFilePath();
            listed.insert(paths.last());
        }
    }
    for (auto known = m_known.cbegin(); known != m_known.cend(); ++known)
        if (!listed.contains(known.key()))
            paths << known.key();
    return paths;
}

bool SearchIndexer::ensureOpen()
{
    if (m_db)
        return true;
    {
        const WritingMark mark(m_ownWriter);
        m_db = SearchDatabase::openWriter(m_path, m_passageLength, m_patienceMs);
        const SearchDatabase::Fault fault = m_db->fault();
        if (isBroken(fault)) {
            m_db.reset();
            SearchDatabase::moveAside(m_path);
            emit reset(madeAgainMessage(fault));
            m_db = SearchDatabase::openWriter(m_path, m_passageLength, m_patienceMs);
        }
    }
    if (m_db->fault() == SearchDatabase::Fault::None) {
        m_statements = std::make_unique<Statements>(m_db->connection());
        if (loadKnown()) {
            m_failure.clear();
            return true;
        }
    }
    closeFailed(QStringLiteral("The search index cannot be opened"), m_db->errorString());
    return false;
}

void SearchIndexer::closeFailed(const QString &what, const QString &reason)
{
    m_failure = reason;
    emit failed(QStringLiteral("%1: %2").arg(what, reason));
    m_statements.reset();
    m_db.reset();
}

bool SearchIndexer::loadKnown()
{
    m_known.clear();
    m_liveRows = 0;
    SqliteStatement documents(m_db->connection(), "SELECT path, size, modified, first, last FROM document");
    while (documents.step() == SQLITE_ROW) {
        const Known known{documents.integer(1), documents.integer(2), documents.integer(3), documents.integer(4)};
        m_known.insert(documents.text(0), known);
        m_liveRows += known.last - known.first + 1;
    }
    SqliteStatement dead(m_db->connection(), "SELECT coalesce(sum(last - first + 1), 0) FROM dead");
    if (documents.result() != SQLITE_DONE || dead.step() != SQLITE_ROW) {
        m_db->noteFailure(documents.result() != SQLITE_DONE ? documents.result() : dead.result());
        return false;
    }
    m_deadRows = dead.integer(0);
    return true;
}

bool SearchIndexer::bringUpToDate(const QStringList &paths)
{
    QStringList gone;
    QList<QFileInfo> changed;
    for (const QString &path : paths) {
        const QFileInfo file(path);
        const auto known = m_known.constFind(path);
        if (!file.isFile()) {
            if (known != m_known.cend())
                gone << path;
        } else if (known == m_known.cend() || known->size != file.size()
                   || known->modified != SearchDatabase::modifiedTime(file)) {
            changed << file;
        }
    }
    for (const QString &path : std::as_const(gone))
        if (!removeDocument(path))
            return false;
    QElapsedTimer pass;
    pass.start();
    qint64 reported = 0;
    const int total = int(changed.size());
    for (int done = 0; done < total; ++done) {
        if (QThread::currentThread()->isInterruptionRequested())
            break;
        if (!indexDocument(changed[done]))
            return false;
        if (m_batchBytes >= BatchBytes && !commit())
            return false;
        if (pass.elapsed() >= QuietMs && pass.elapsed() - reported >= ProgressEveryMs) {
            reported = pass.elapsed();
            emit progress(done + 1, total);
        }
    }
    return commit();
}

bool SearchIndexer::indexDocument(const QFileInfo &file)
{
    const QString path = file.absoluteFilePath();
    std::optional<Known> indexed;
    if (!begin() || !findDocument(path, &indexed))
        return false;
    const qint64 size = file.size();
    const qint64 modified = SearchDatabase::modifiedTime(file);
    // Another program's indexer may have been first.
    if (indexed && indexed->size == size && indexed->modified == modified) {
        m_known.insert(path, *indexed);
        return true;
    }
    if (indexed && !dropDocument(path, *indexed))
        return false;
    // A file that cannot be read is kept with no passages, so that it is
    // tried again only when it changes; so is one far larger than any RFC
    // (a log, a dump), whose text would only crowd the index.
    std::vector<Passage> passages;
    std::vector<DocumentCitation> citations;
    if (size <= MaxIndexedBytes) {
        const DocumentText text = DocumentText::read(path);
        if (text.ok()) {
            const Outline outline = parseOutline(text);
            passages = splitPassages(text, outline, m_passageLength);
            citations = documentCitations(text.text(), outline, DocumentName::ofFile(file.fileName(), text.text()));
        }
    }
    const Known known{size, modified, m_nextRow, m_nextRow + qint64(passages.size()) - 1};
    SqliteStatement &insert = m_statements->insertPassage;
    for (const Passage &passage : passages) {
        const QByteArray body = passage.text.toUtf8();
        insert.bind(1, m_nextRow);
        insert.bindUtf8(2, body);
        if (!insert.run())
            return failedWith(insert.result());
        ++m_nextRow;
        m_batchBytes += body.size();
    }
    SqliteStatement &document = m_statements->insertDocument;
    document.bind(1, path);
    document.bind(2, known.size);
    document.bind(3, known.modified);
    document.bind(4, known.first);
    document.bind(5, known.last);
    if (!document.run())
        return failedWith(document.result());
    const qint64 documentId = sqlite3_last_insert_rowid(m_db->connection().handle());
    SqliteStatement &cite = m_statements->insertCitation;
    for (const DocumentCitation &citation : citations) {
        cite.bind(1, documentId);
        cite.bind(2, citation.cited);
        cite.bind(3, qint64(citation.line));
        cite.bind(4, citation.section);
        cite.bind(5, qint64(citation.kind));
        if (!cite.run())
            return failedWith(cite.result());
    }
    m_known.insert(path, known);
    m_liveRows += known.last - known.first + 1;
    return true;
}

bool SearchIndexer::removeDocument(const QString &path)
{
    std::optional<Known> indexed;
    if (!begin() || !findDocument(path, &indexed))
        return false;
    if (indexed && !dropDocument(path, *indexed))
        return false;
    m_known.remove(path);
    return true;
}

bool SearchIndexer::findDocument(const QString &path, std::optional<Known> *indexed)
{
    SqliteStatement &find = m_statements->findDocument;
    find.bind(1, path);
    const int result = find.step();
    if (result == SQLITE_ROW)
        *indexed = Known{find.integer(0), find.integer(1), find.integer(2), find.integer(3)};
    find.reset();
    return result == SQLITE_ROW || result == SQLITE_DONE || failedWith(result);
}

bool SearchIndexer::dropDocument(const QString &path, const Known &indexed)
{
    if (indexed.last >= indexed.first) {
        SqliteStatement &dead = m_statements->insertDead;
        dead.bind(1, indexed.first);
        dead.bind(2, indexed.last);
        if (!dead.run())
            return failedWith(dead.result());
    }
    // Its citations first: they name the document by its row.
    SqliteStatement &uncite = m_statements->deleteCitations;
    uncite.bind(1, path);
    if (!uncite.run())
        return failedWith(uncite.result());
    SqliteStatement &remove = m_statements->deleteDocument;
    remove.bind(1, path);
    if (!remove.run())
        return failedWith(remove.result());
    m_liveRows -= indexed.last - indexed.first + 1;
    m_deadRows += indexed.last - indexed.first + 1;
    return true;
}

bool SearchIndexer::begin()
{
    if (m_inTransaction)
        return true;
    m_ownWriter.writing = true;
    if (!m_db->connection().exec("BEGIN IMMEDIATE")) {
        m_ownWriter.writing = false;
        m_db->noteFailure(m_db->connection().result());
        return false;
    }
    m_inTransaction = true;
    // Rows are numbered after the last one of the file, which another
    // program's indexer may have written since.
    SqliteStatement &last = m_statements->lastRow;
    const int result = last.step();
    m_nextRow = last.integer(0) + 1;
    last.reset();
    return result == SQLITE_ROW || failedWith(result);
}

bool SearchIndexer::commit()
{
    if (!m_inTransaction)
        return true;
    const bool ok = m_db->connection().exec("COMMIT");
    if (!ok)
        return failedWith(m_db->connection().result());
    m_inTransaction = false;
    m_ownWriter.writing = false;
    m_batchBytes = 0;
    return true;
}

// Records the failure and rolls the open transaction back; what this object
// holds in memory is then out of step, so the caller closes the file.
bool SearchIndexer::failedWith(int result)
{
    m_db->noteFailure(result);
    if (m_inTransaction) {
        m_db->connection().exec("ROLLBACK");
        m_inTransaction = false;
        m_ownWriter.writing = false;
    }
    m_batchBytes = 0;
    return false;
}

void SearchIndexer::startOver(const QString &why)
{
    // A file that breaks again before any work succeeds is not ours to mend.
    if (std::exchange(m_startedOver, true)) {
        closeFailed(QStringLiteral("The search index cannot be made"), m_db ? m_db->errorString() : why);
        return;
    }
    const QStringList known = m_known.keys();
    m_statements.reset();
    m_db.reset();
    m_known.clear();
    {
        const WritingMark mark(m_ownWriter);
        SearchDatabase::moveAside(m_path);
    }
    emit reset(why);
    scanFolders(m_folders);
    indexFiles(known);
}

void SearchIndexer::rebuildIfWasteful()
{
    if (m_deadRows <= std::max(WasteFloor, m_liveRows / 4))
        return;
    const QStringList known = m_known.keys();
    m_statements.reset();
    bool ok = false;
    {
        const WritingMark mark(m_ownWriter);
        ok = m_db->clear() && loadKnown();
    }
    if (!ok) {
        m_statements.reset();
        m_db.reset();
        return;
    }
    m_statements = std::make_unique<Statements>(m_db->connection());
    indexFiles(known);
}
