#include "searchdatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <sqlite3.h>

namespace {

constexpr int SchemaVersion = 3;
constexpr int BusyStepMs = 10;

} // namespace

SearchDatabase::SearchDatabase(const QString &path, const OwnWriter *ownWriter, int patienceMs, bool create)
    : m_connection(std::make_unique<SqliteConnection>(path, create))
    , m_ownWriter(ownWriter)
    , m_patienceMs(patienceMs)
{
    if (noteFailure(m_connection->result()) != Fault::None)
        return;
    sqlite3_busy_handler(m_connection->handle(), &SearchDatabase::waitWhileBusy, this);
}

SearchDatabase::~SearchDatabase() = default;

std::unique_ptr<SearchDatabase> SearchDatabase::openWriter(const QString &path, int passageLength, int patienceMs)
{
    const QString folder = QFileInfo(path).absolutePath();
    const bool folderMade = QDir().mkpath(folder);
    std::unique_ptr<SearchDatabase> db(new SearchDatabase(path, nullptr, patienceMs, true));
    if (db->m_fault != Fault::None) {
        // SQLite's "unable to open database file" does not say why.
        if (!folderMade)
            db->m_error = QStringLiteral("cannot make the folder %1").arg(QDir::toNativeSeparators(folder));
        return db;
    }
    // WAL: searches read while the indexer writes. The index can be made
    // again, so a commit need not reach the disk before the next one.
    SqliteConnection &connection = *db->m_connection;
    if (!connection.exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                         "PRAGMA journal_size_limit=67108864;")) {
        db->noteFailure(connection.result());
        return db;
    }
    // In a write transaction: tables another program's writer just made are kept.
    if (!connection.exec("BEGIN IMMEDIATE")) {
        db->noteFailure(connection.result());
        return db;
    }
    const bool current = db->readMeta() && db->m_passageLength == passageLength;
    const bool usable = db->m_fault == Fault::None || db->m_fault == Fault::Missing;
    db->finish(current || (usable && db->createTables(passageLength)));
    return db;
}

bool SearchDatabase::clear()
{
    if (!m_connection->exec("BEGIN IMMEDIATE"))
        return noteFailure(m_connection->result()) == Fault::None;
    return finish(createTables(m_passageLength));
}

bool SearchDatabase::finish(bool ok)
{
    if (ok && m_connection->exec("COMMIT"))
        return true;
    if (ok)
        noteFailure(m_connection->result());
    m_connection->exec("ROLLBACK");
    return false;
}

std::unique_ptr<SearchDatabase> SearchDatabase::openReader(const QString &path, const OwnWriter *ownWriter,
                                                           int patienceMs)
{
    std::unique_ptr<SearchDatabase> db(new SearchDatabase(path, ownWriter, patienceMs, false));
    if (!QFileInfo::exists(path)) {
        db->m_fault = Fault::Missing;
        return db;
    }
    if (db->m_fault == Fault::None)
        db->readMeta();
    return db;
}

bool SearchDatabase::moveAside(const QString &path)
{
    const QString aside = path + QStringLiteral(".damaged");
    QFile::remove(aside);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    return QFile::rename(path, aside) || !QFileInfo::exists(path);
}

SearchDatabase::Fault SearchDatabase::faultOf(int result)
{
    switch (result & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return Fault::None;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Fault::Damaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Fault::Locked;
    default:
        return Fault::Other;
    }
}

qint64 SearchDatabase::modifiedTime(const QFileInfo &file)
{
    return file.lastModified().toMSecsSinceEpoch();
}

SearchDatabase::Fault SearchDatabase::noteFailure(int result)
{
    m_fault = faultOf(result);
    m_error = m_fault == Fault::None ? QString() : m_connection->errorString();
    return m_fault;
}

// False when the tables are missing (Fault::Missing), of another layout
// (no fault), or cannot be read.
bool SearchDatabase::readMeta()
{
    SqliteStatement select(*m_connection, "SELECT key, value FROM meta");
    if (!select.isValid()) {
        // A file without our tables: new, or not made by us.
        if (noteFailure(select.result()) == Fault::Other)
            m_fault = Fault::Missing;
        return false;
    }
    int version = 0;
    while (select.step() == SQLITE_ROW) {
        const QString key = select.text(0);
        if (key == u"version")
            version = int(select.integer(1));
        else if (key == u"passage_length")
            m_passageLength = int(select.integer(1));
        else if (key == u"instance")
            m_instance = select.text(1);
    }
    if (noteFailure(select.result()) != Fault::None)
        return false;
    return version == SchemaVersion && !m_instance.isEmpty();
}

bool SearchDatabase::createTables(int passageLength)
{
    m_instance = QString::number(QRandomGenerator::system()->generate64(), 16);
    m_passageLength = passageLength;
    const QByteArray sql = QStringLiteral(
        "DROP TABLE IF EXISTS passage; DROP TABLE IF EXISTS document;"
        "DROP TABLE IF EXISTS dead; DROP TABLE IF EXISTS meta; DROP TABLE IF EXISTS citation;"
        "CREATE TABLE meta(key TEXT PRIMARY KEY, value);"
        "CREATE TABLE document(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE,"
        " size INTEGER NOT NULL, modified INTEGER NOT NULL, first INTEGER NOT NULL, last INTEGER NOT NULL);"
        "CREATE INDEX document_range ON document(first, last);"
        "CREATE TABLE dead(first INTEGER NOT NULL, last INTEGER NOT NULL);"
        // Where each document cites another: kind 0 unknown, 1 normative, 2 informative.
        "CREATE TABLE citation(document INTEGER NOT NULL, cited TEXT NOT NULL, line INTEGER NOT NULL,"
        " section TEXT NOT NULL, kind INTEGER NOT NULL);"
        "CREATE INDEX citation_cited ON citation(cited, document, line);"
        "CREATE INDEX citation_document ON citation(document);"
        "CREATE VIRTUAL TABLE passage USING fts5(body, content='', detail=full);"
        // Terms kept in memory up to 16 MB before they go to disk: fewer,
        // larger segments to merge made indexing twice as fast.
        "INSERT INTO passage(passage, rank) VALUES('hashsize', 16777216);"
        "INSERT INTO meta VALUES('version', %1), ('passage_length', %2), ('instance', '%3');")
                               .arg(SchemaVersion)
                               .arg(passageLength)
                               .arg(m_instance)
                               .toUtf8();
    if (m_connection->exec(sql.constData()))
        return noteFailure(SQLITE_OK) == Fault::None;
    noteFailure(m_connection->result());
    return false;
}

// The busy handler: waits for the file in steps, as long as this program's
// own indexer holds it, and up to the patience for anyone else.
int SearchDatabase::waitWhileBusy(void *self, int attempts)
{
    auto *db = static_cast<SearchDatabase *>(self);
    if (attempts == 0)
        db->m_waitedMs = 0;
    QThread::msleep(BusyStepMs);
    if (!db->m_ownWriter || !db->m_ownWriter->writing.load())
        db->m_waitedMs += BusyStepMs;
    return db->m_waitedMs < db->m_patienceMs ? 1 : 0;
}
