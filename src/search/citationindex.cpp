#include "citationindex.h"

#include "searchdatabase.h"

#include <sqlite3.h>

namespace {

DocumentCitation::Kind kindOf(qint64 stored)
{
    return stored >= 0 && stored <= 2 ? DocumentCitation::Kind(stored) : DocumentCitation::Kind::Unknown;
}

} // namespace

CitationIndex::CitationIndex(const QString &databasePath, const OwnWriter *ownWriter, int patienceMs)
    : m_db(SearchDatabase::openReader(databasePath, ownWriter, patienceMs))
{
}

CitationIndex::~CitationIndex() = default;

bool CitationIndex::isOpen() const
{
    return m_db && m_db->fault() == SearchDatabase::Fault::None;
}

QString CitationIndex::errorString() const
{
    return m_db ? m_db->errorString() : QString();
}

std::vector<CitingPlace> CitationIndex::citedBy(const QString &cited) const
{
    std::vector<CitingPlace> places;
    if (!isOpen())
        return places;
    // Citations name their document by its row: many rows share few paths.
    SqliteStatement query(m_db->connection(),
                          "SELECT document, line, section, kind FROM citation WHERE cited = ?1 ORDER BY document, line");
    SqliteStatement pathOf(m_db->connection(), "SELECT path FROM document WHERE id = ?1");
    query.bind(1, cited);
    qint64 document = -1;
    QString path;
    while (query.step() == SQLITE_ROW) {
        if (query.integer(0) != document) {
            document = query.integer(0);
            pathOf.bind(1, document);
            path = pathOf.step() == SQLITE_ROW ? pathOf.text(0) : QString();
            pathOf.reset();
        }
        places.push_back({path, cited, int(query.integer(1)), query.text(2), kindOf(query.integer(3))});
    }
    return places;
}

QStringList CitationIndex::documents() const
{
    QStringList paths;
    if (!isOpen())
        return paths;
    SqliteStatement query(m_db->connection(), "SELECT path FROM document ORDER BY path");
    while (query.step() == SQLITE_ROW)
        paths << query.text(0);
    return paths;
}

std::vector<CitingPlace> CitationIndex::citationsIn(const QString &path) const
{
    std::vector<CitingPlace> places;
    if (!isOpen())
        return places;
    SqliteStatement query(m_db->connection(),
                          "SELECT cited, line, section, kind FROM citation"
                          " WHERE document = (SELECT id FROM document WHERE path = ?1) ORDER BY line");
    query.bind(1, path);
    while (query.step() == SQLITE_ROW)
        places.push_back({path, query.text(0), int(query.integer(1)), query.text(2), kindOf(query.integer(3))});
    return places;
}
