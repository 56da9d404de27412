#pragma once

#include "documentcitations.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class SearchDatabase;
struct OwnWriter;

// A place in a library document that cites another document.
struct CitingPlace
{
    QString path;  // the citing document
    QString cited; // "RFC793", or a draft's name without revision
    int line = 0;
    QString section;
    DocumentCitation::Kind kind = DocumentCitation::Kind::Unknown;
};

// Who cites what, from the citations the indexer keeps beside the library's
// text. Opens the index file for reading; isOpen() says whether it could.
class CitationIndex
{
public:
    CitationIndex(const QString &databasePath, const OwnWriter *ownWriter, int patienceMs);
    ~CitationIndex();

    bool isOpen() const;
    QString errorString() const;

    // The places that cite the document: each citing file's together, in the
    // order the files were indexed, by line.
    std::vector<CitingPlace> citedBy(const QString &cited) const;
    // Every document indexed, by path.
    QStringList documents() const;
    // The citations of one file, in its order.
    std::vector<CitingPlace> citationsIn(const QString &path) const;

private:
    std::unique_ptr<SearchDatabase> m_db;
};
