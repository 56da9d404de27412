#include "searchrunner.h"

#include "documenttext.h"
#include "headingparser.h"
#include "markedpassage.h"
#include "passages.h"
#include "querytext.h"
#include "searchdatabase.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentMap>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <algorithm>

namespace {

// Matches ranked in one statement: bm25 over this many rows takes some 30 ms
// here, so that the first hits come quickly however common the word.
constexpr qint64 SliceHits = 25000;

// The number and the title of the section that holds line, from its heading
// ("3.10.7.4.  SYN-RECEIVED STATE").
void nameSection(const Outline &outline, int line, SearchHit *hit)
{
    const int heading = outline.headingAtLine(line);
    if (heading < 0)
        return;
    const QString text = outline.headings[size_t(heading)].text.trimmed();
    const qsizetype blank = text.indexOf(u' ');
    QStringView number = QStringView(text).first(blank < 0 ? text.size() : blank);
    while (number.endsWith(u'.'))
        number.chop(1);
    hit->section = number.toString();
    hit->sectionTitle = blank < 0 ? QString() : text.mid(blank).trimmed();
}

} // namespace

struct SearchRunner::LoadedDocument
{
    QString path;
    qint64 size = 0;
    qint64 modified = 0;
    qint64 first = 0;
    qint64 rows = 0;
    bool usable = false;
    Outline outline;
    std::vector<Passage> passages;
    DocumentLabel label;

    // Makes the passages again from the file, as the indexer made them, when
    // it is still the file that was indexed.
    void read(int passageLength)
    {
        const QFileInfo file(path);
        if (file.size() != size || SearchDatabase::modifiedTime(file) != modified)
            return;
        const DocumentText text = DocumentText::read(path);
        if (!text.ok())
            return;
        outline = parseOutline(text);
        passages = splitPassages(text, outline, passageLength);
        usable = qint64(passages.size()) == rows;
    }
};

struct SearchRunner::Statements
{
    explicit Statements(const SqliteConnection &connection)
        : count(connection, "SELECT count(*) FROM passage WHERE passage MATCH ?1 AND rowid BETWEEN ?2 AND ?3")
        , rank(connection, "SELECT rowid, rank FROM passage WHERE passage MATCH ?1 AND rowid BETWEEN ?2 AND ?3"
                           " ORDER BY rank LIMIT ?4")
        , documentAt(connection, "SELECT id, path, size, modified, first, last FROM document"
                                 " WHERE first <= ?1 ORDER BY first DESC, last DESC LIMIT 1")
        , documentRange(connection, "SELECT first, last FROM document WHERE path = ?1")
        , lastRow(connection, "SELECT last FROM document ORDER BY first DESC, last DESC LIMIT 1")
        , deadRanges(connection, "SELECT first, last FROM dead")
        , clearShown(connection, "INSERT INTO temp.shown(shown) VALUES('delete-all')")
        , clearShownText(connection, "DELETE FROM temp.shown_text")
        , insertShown(connection, "INSERT INTO temp.shown(rowid, body) VALUES(?1, ?2)")
        , insertShownText(connection, "INSERT INTO temp.shown_text(id, body) VALUES(?1, ?2)")
        , highlight(connection, "SELECT rowid, highlight(shown, 0, char(1), char(2)) FROM temp.shown"
                                " WHERE shown MATCH ?1")
    {
    }

    // The result of the first statement that could not be made, or SQLITE_OK.
    int preparation() const
    {
        for (const SqliteStatement *statement :
             {&count, &rank, &documentAt, &documentRange, &lastRow, &deadRanges, &clearShown, &clearShownText,
              &insertShown, &insertShownText, &highlight})
            if (!statement->isValid())
                return statement->result();
        return SQLITE_OK;
    }

    SqliteStatement count;
    SqliteStatement rank;
    SqliteStatement documentAt;
    SqliteStatement documentRange;
    SqliteStatement lastRow;
    SqliteStatement deadRanges;
    // The passages being made into hits, in a table of their own, where
    // highlight() marks the matches as FTS5 reads the query. Its text is
    // kept apart, so that emptying it needs no tokenizing.
    SqliteStatement clearShown;
    SqliteStatement clearShownText;
    SqliteStatement insertShown;
    SqliteStatement insertShownText;
    SqliteStatement highlight;
};

SearchRunner::SearchRunner(QString databasePath, const OwnWriter &ownWriter, int patienceMs,
                           const std::atomic<int> &latest)
    : m_path(std::move(databasePath))
    , m_ownWriter(ownWriter)
    , m_patienceMs(patienceMs)
    , m_latest(latest)
{
}

SearchRunner::~SearchRunner() = default;

void SearchRunner::reopen()
{
    m_statements.reset();
    m_db.reset();
}

bool SearchRunner::ensureOpen(int id)
{
    if (m_db)
        return true;
    m_db = SearchDatabase::openReader(m_path, &m_ownWriter, m_patienceMs);
    if (m_db->fault() == SearchDatabase::Fault::Missing) {
        m_db.reset();
        emit missing(id);
        return false;
    }
    if (m_db->fault() == SearchDatabase::Fault::None
        && !m_db->connection().exec("CREATE TEMP TABLE IF NOT EXISTS shown_text(id INTEGER PRIMARY KEY, body TEXT);"
                                    "CREATE VIRTUAL TABLE IF NOT EXISTS temp.shown USING fts5(body,"
                                    " content='shown_text', content_rowid='id')"))
        m_db->noteFailure(m_db->connection().result());
    if (m_db->fault() == SearchDatabase::Fault::None) {
        m_statements = std::make_unique<Statements>(m_db->connection());
        if (m_statements->preparation() == SQLITE_OK)
            return true;
        m_db->noteFailure(m_statements->preparation());
    }
    return failed(id, m_db->fault() == SearchDatabase::Fault::Other ? SQLITE_IOERR : SQLITE_CORRUPT);
}

void SearchRunner::run(int id, const SearchRequest &request)
{
    Q_ASSERT_X(QThread::currentThread() != QCoreApplication::instance()->thread(), "SearchRunner::run",
               "a search runs on the user-interface thread");
    // A file deleted under an open connection still answers, from what it held.
    if (m_db && !QFileInfo::exists(m_path))
        reopen();
    if (superseded(id) || !ensureOpen(id))
        return;
    m_documents.clear();
    m_hits.clear();
    const QByteArray query = ftsQuery(request.query).toUtf8();
    Statements &statements = *m_statements;

    std::vector<Range> ranges;
    std::vector<Range> dead;
    if (request.documents) {
        for (const QString &path : *request.documents) {
            SqliteStatement &range = statements.documentRange;
            range.bind(1, QFileInfo(path).absoluteFilePath());
            if (range.step() == SQLITE_ROW && range.integer(1) >= range.integer(0))
                ranges.push_back({range.integer(0), range.integer(1)});
            range.reset();
        }
    } else {
        if (statements.lastRow.step() == SQLITE_ROW && statements.lastRow.integer(0) > 0)
            ranges.push_back({1, statements.lastRow.integer(0)});
        statements.lastRow.reset();
        while (statements.deadRanges.step() == SQLITE_ROW)
            dead.push_back({statements.deadRanges.integer(0), statements.deadRanges.integer(1)});
        statements.deadRanges.reset();
    }

    // An empty range still has FTS5 read the query, to refuse it.
    if (ranges.empty())
        ranges.push_back({1, 0});

    // Rows of changed and removed documents still match: counted apart, and
    // ranked among the rest, so that as many more are asked for.
    qint64 deadMatches = 0;
    for (const Range &range : dead) {
        qint64 matches = 0;
        if (!count(id, query, range, &matches))
            return;
        deadMatches += matches;
    }
    qint64 total = -deadMatches;
    std::vector<Range> slices;
    for (const Range &range : ranges) {
        qint64 matches = 0;
        if (!count(id, query, range, &matches))
            return;
        total += matches;
        if (matches == 0)
            continue;
        const qint64 pieces = matches / SliceHits + 1;
        const qint64 width = (range.last - range.first + pieces) / pieces;
        for (qint64 from = range.first; from <= range.last; from += width)
            slices.push_back({from, std::min(range.last, from + width - 1)});
    }

    const int limit = int(MaxHits + std::min<qint64>(deadMatches, 10 * MaxHits));
    std::vector<Candidate> best;
    for (size_t slice = 0; slice < slices.size(); ++slice) {
        if (superseded(id) || !rank(id, query, slices[slice], limit, &best))
            return;
        if (slice == 0 && (slices.size() > 1 || best.size() > size_t(FirstHits)))
            emit hitsFound(id, hitsFor(best, FirstHits, query, request), int(total), false);
    }
    if (!superseded(id))
        emit hitsFound(id, hitsFor(best, MaxHits, query, request), int(total), true);
    // Freeing what was read takes milliseconds: not before the next search.
    m_documents.clear();
    m_hits.clear();
}

bool SearchRunner::count(int id, const QByteArray &query, const Range &range, qint64 *matches)
{
    SqliteStatement &count = m_statements->count;
    count.bindUtf8(1, query);
    count.bind(2, range.first);
    count.bind(3, range.last);
    const int result = count.step();
    *matches = result == SQLITE_ROW ? count.integer(0) : 0;
    count.reset();
    return result == SQLITE_ROW || failed(id, result);
}

bool SearchRunner::rank(int id, const QByteArray &query, const Range &range, int limit,
                        std::vector<Candidate> *best)
{
    SqliteStatement &rank = m_statements->rank;
    rank.bindUtf8(1, query);
    rank.bind(2, range.first);
    rank.bind(3, range.last);
    rank.bind(4, limit);
    while (rank.step() == SQLITE_ROW)
        best->push_back({rank.integer(0), rank.real(1)});
    const int result = rank.result();
    rank.reset();
    if (result != SQLITE_DONE)
        return failed(id, result);
    std::stable_sort(best->begin(), best->end(),
                     [](const Candidate &a, const Candidate &b) { return a.score < b.score; });
    if (best->size() > size_t(limit))
        best->resize(size_t(limit));
    return true;
}

bool SearchRunner::failed(int id, int result)
{
    const SearchDatabase::Fault fault = m_db->noteFailure(result);
    if ((result & 0xff) == SQLITE_ERROR) {
        emit rejected(id, rejectionText(m_db->errorString()));
        return false;
    }
    if (fault == SearchDatabase::Fault::Damaged || fault == SearchDatabase::Fault::Locked) {
        emit damaged(m_db->instance());
        emit rejected(id, QStringLiteral("The search index is damaged; it is being made again"));
    } else {
        emit rejected(id, QStringLiteral("The search index cannot be read: %1").arg(m_db->errorString()));
    }
    reopen();
    return false;
}

QList<SearchHit> SearchRunner::hitsFor(const std::vector<Candidate> &best, int wanted, const QByteArray &query,
                                       const SearchRequest &request)
{
    QList<SearchHit> hits;
    size_t next = 0;
    while (next < best.size() && hits.size() < wanted) {
        // As many candidates as hits are still wanted, made into hits
        // together; some may turn out dead or stale, hence the round again.
        const size_t end = std::min(best.size(), next + size_t(wanted - hits.size()));
        std::vector<std::pair<qint64, LoadedDocument *>> rows;
        std::vector<LoadedDocument *> toRead;
        for (size_t i = next; i < end; ++i) {
            if (m_hits.contains(best[i].row))
                continue;
            if (LoadedDocument *document = documentOf(best[i].row, &toRead))
                rows.emplace_back(best[i].row, document);
        }
        // Reading and splitting the documents is most of the work: on every core.
        const int passageLength = m_db->passageLength();
        QtConcurrent::blockingMap(toRead, [passageLength](LoadedDocument *document) { document->read(passageLength); });
        for (LoadedDocument *document : toRead) {
            if (!document->usable)
                emit staleDocument(document->path);
            else if (request.label)
                document->label = request.label(document->path);
        }
        markPassages(rows, query);
        for (size_t i = next; i < end; ++i) {
            if (const auto hit = m_hits.constFind(best[i].row); hit != m_hits.cend()) {
                hits << *hit;
                hits.last().score = best[i].score;
            }
        }
        next = end;
    }
    return hits;
}

void SearchRunner::markPassages(const std::vector<std::pair<qint64, LoadedDocument *>> &rows, const QByteArray &query)
{
    Statements &statements = *m_statements;
    statements.clearShown.run();
    statements.clearShownText.run();
    QHash<qint64, std::pair<const LoadedDocument *, const Passage *>> shown;
    for (const auto &[row, document] : rows) {
        if (!document->usable)
            continue;
        const Passage &passage = document->passages[size_t(row - document->first)];
        for (SqliteStatement *insert : {&statements.insertShownText, &statements.insertShown}) {
            insert->bind(1, row);
            insert->bind(2, passage.text);
        }
        if (statements.insertShownText.run() && statements.insertShown.run())
            shown.insert(row, {document, &passage});
    }
    if (shown.isEmpty())
        return;
    statements.highlight.bindUtf8(1, query);
    while (statements.highlight.step() == SQLITE_ROW) {
        const qint64 row = statements.highlight.integer(0);
        const auto [document, passage] = shown.value(row);
        const std::optional<PassageMatch> match = readMarkedPassage(statements.highlight.text(1), passage->lines);
        if (!match)
            continue;
        SearchHit hit;
        hit.path = document->path;
        hit.document = document->label;
        hit.line = match->line;
        hit.column = match->column;
        hit.length = match->length;
        hit.snippet = match->snippet;
        nameSection(document->outline, match->line, &hit);
        m_hits.insert(row, hit);
    }
    statements.highlight.reset();
}

SearchRunner::LoadedDocument *SearchRunner::documentOf(qint64 row, std::vector<LoadedDocument *> *toRead)
{
    SqliteStatement &at = m_statements->documentAt;
    at.bind(1, row);
    if (at.step() != SQLITE_ROW || at.integer(5) < row) {
        at.reset();
        return nullptr;
    }
    std::shared_ptr<LoadedDocument> &document = m_documents[at.integer(0)];
    if (!document) {
        document = std::make_shared<LoadedDocument>();
        document->path = at.text(1);
        document->size = at.integer(2);
        document->modified = at.integer(3);
        document->first = at.integer(4);
        document->rows = at.integer(5) - document->first + 1;
        toRead->push_back(document.get());
    }
    at.reset();
    return document.get();
}
