#include "citationindex.h"

#include "searchdatabase.h"

#include <sqlite3.h>

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
    return select("SELECT path, cited, line, section, kind FROM citation WHERE cited = ?1 ORDER BY path, line",
                  cited);
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
    return select("SELECT path, cited, line, section, kind FROM citation WHERE path = ?1 ORDER BY line", path);
}

std::vector<CitingPlace> CitationIndex::select(const char *sql, const QString &value) const
{
    std::vector<CitingPlace> places;
    if (!isOpen())
        return places;
    SqliteStatement query(m_db->connection(), sql);
    query.bind(1, value);
    while (query.step() == SQLITE_ROW) {
        const qint64 kind = query.integer(4);
        places.push_back({query.text(0), query.text(1), int(query.integer(2)), query.text(3),
                          kind >= 0 && kind <= 2 ? DocumentCitation::Kind(kind) : DocumentCitation::Kind::Unknown});
    }
    return places;
}
