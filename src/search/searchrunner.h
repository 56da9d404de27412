#pragma once

#include "searchhit.h"

#include <QHash>
#include <QObject>

#include <atomic>
#include <memory>
#include <vector>

class SearchDatabase;
struct OwnWriter;

// Runs searches on the thread it lives on, never the user interface's: the
// best passages by FTS5's bm25, each named by document, section and line,
// with a snippet cut from the document itself.
class SearchRunner : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxHits = 200;
    static constexpr int FirstHits = 50;

    // latest is the number of the last search asked for: an earlier one
    // still running gives up.
    SearchRunner(QString databasePath, const OwnWriter &ownWriter, int patienceMs, const std::atomic<int> &latest);
    ~SearchRunner() override;

    // Runs search number id. Many matches are ranked in slices of rows: the
    // best FirstHits of the first slice come at once (complete false), then
    // the best MaxHits of all.
    void run(int id, const SearchRequest &request);
    // Closes the file, to open it afresh for the next search.
    void reopen();

signals:
    // total counts every passage that matches.
    void hitsFound(int id, const QList<SearchHit> &hits, int total, bool complete);
    // Why FTS5 refused the query, or why the index cannot be read, in a line.
    void rejected(int id, const QString &explanation);
    // There is no index file (none made yet, or deleted): search id did not run.
    void missing(int id);
    // The file is damaged or stuck; instance names it for the indexer.
    void damaged(const QString &instance);
    // A document changed since it was indexed: its hits were left out.
    void staleDocument(const QString &path);

private:
    struct Range
    {
        qint64 first;
        qint64 last;
    };
    struct Candidate
    {
        qint64 row;
        double score;
    };
    struct LoadedDocument;
    struct Statements;

    bool ensureOpen(int id);
    bool superseded(int id) const { return m_latest.load() != id; }
    // False when a statement failed; the failure is reported.
    bool count(int id, const QByteArray &query, const Range &range, qint64 *matches);
    bool rank(int id, const QByteArray &query, const Range &range, int limit, std::vector<Candidate> *best);
    bool failed(int id, int result);
    QList<SearchHit> hitsFor(const std::vector<Candidate> &best, int wanted, const QByteArray &query,
                             const SearchRequest &request);
    // Makes hits of the rows' passages, with the matches marked as FTS5 reads the query.
    void markPassages(const std::vector<std::pair<qint64, LoadedDocument *>> &rows, const QByteArray &query);
    // The document whose passage the row is, read or queued in toRead;
    // null for a row of a document that changed or went.
    LoadedDocument *documentOf(qint64 row, std::vector<LoadedDocument *> *toRead);

    const QString m_path;
    const OwnWriter &m_ownWriter;
    const int m_patienceMs;
    const std::atomic<int> &m_latest;
    std::unique_ptr<SearchDatabase> m_db;
    std::unique_ptr<Statements> m_statements;
    // For one search: the documents read and the hits made.
    QHash<qint64, std::shared_ptr<LoadedDocument>> m_documents;
    QHash<qint64, SearchHit> m_hits;
};
