#pragma once

#include "sqlite.h"

#include <QString>

class QFileInfo;

#include <atomic>
#include <memory>

// Set while this program's indexer writes to the index: a reader that finds
// the file busy then waits, however long, for a wait that will end.
struct OwnWriter
{
    std::atomic<bool> writing{false};
};

// A connection to the index file: the documents indexed (path, size, time of
// change and their passages' row range), row ranges left over from documents
// that changed or went, and the passages' full-text index. The index is
// contentless: snippets are cut from the documents themselves, so a
// passage's row cannot be deleted, only left behind as a dead range.
class SearchDatabase
{
public:
    enum class Fault {
        None,
        Damaged, // not a database, or a damaged one
        Locked,  // another program kept it locked past our patience
        Missing, // no index yet (a reader does not create one)
        Other,
    };

    // Connects to the file; check fault(). The writer creates the tables when
    // they are missing, or anew when they are of another layout or were made
    // for another passage length. A reader waits out ownWriter (may be null).
    static std::unique_ptr<SearchDatabase> openWriter(const QString &path, int passageLength, int patienceMs);
    static std::unique_ptr<SearchDatabase> openReader(const QString &path, const OwnWriter *ownWriter,
                                                      int patienceMs);
    ~SearchDatabase();

    // Empties the index (the writer), keeping the passage length.
    bool clear();

    // Moves a damaged or stuck file aside (to path.damaged), with its
    // journal files, so that a new one can be made in its place.
    static bool moveAside(const QString &path);

    SqliteConnection &connection() const { return *m_connection; }
    Fault fault() const { return m_fault; }
    QString errorString() const { return m_error; }
    // Records the fault of a failed call (a result code of this connection).
    Fault noteFailure(int result);

    // Tells one file from the next in its place: a random name made with the tables.
    QString instance() const { return m_instance; }
    // The passage length the index was made with.
    int passageLength() const { return m_passageLength; }

    static Fault faultOf(int result);
    // A file's time of change as the index keeps it.
    static qint64 modifiedTime(const QFileInfo &file);

private:
    SearchDatabase(const QString &path, const OwnWriter *ownWriter, int patienceMs, bool create);
    bool readMeta();
    // In the open transaction.
    bool createTables(int passageLength);
    // Ends the transaction: commits when ok, else rolls back.
    bool finish(bool ok);
    static int waitWhileBusy(void *self, int attempts);

    std::unique_ptr<SqliteConnection> m_connection;
    const OwnWriter *m_ownWriter;
    int m_patienceMs;
    int m_waitedMs = 0;
    Fault m_fault = Fault::None;
    QString m_error;
    QString m_instance;
    int m_passageLength = 0;
};
