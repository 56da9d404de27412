#pragma once

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>

class QFileInfo;
class SearchDatabase;
class SqliteStatement;
struct OwnWriter;

// Keeps the index up to date with the documents, on the thread it lives on:
// new and changed files (by size and time of change) are read and split
// into passages, removed ones dropped. Work is queued from any thread and
// done in order; what is committed is searchable at once.
class SearchIndexer : public QObject
{
    Q_OBJECT

public:
    SearchIndexer(QString databasePath, int passageLength, int patienceMs, OwnWriter &ownWriter);
    ~SearchIndexer() override;

    // These queue work and may be called from any thread.
    // Every *.txt file of the folders, and every document indexed before.
    void scanFolders(const QStringList &folders);
    // Files wherever they are, such as the documents the user opens.
    void indexFiles(const QStringList &paths);
    // Makes the index file again when it is still the one a reader found
    // damaged or stuck (instance as the reader saw it).
    void recover(const QString &instance);

signals:
    // Documents (re)indexed so far out of those this pass found to do.
    void progress(int done, int total);
    // All queued work is done; failure says why the index could not be
    // opened or written, empty when it could.
    void idle(const QString &failure);
    // The index file was damaged or stuck and is being made again.
    void reset(const QString &message);
    void failed(const QString &message);

private:
    struct Job
    {
        enum class Kind { Scan, Files, Recover } kind;
        QStringList paths;
        QString instance;
    };
    struct Known
    {
        qint64 size = 0;
        qint64 modified = 0;
        qint64 first = 0;
        qint64 last = -1;
    };
    struct Statements;

    void enqueue(Job job);
    void work();
    bool takeJob(Job *job);
    // The *.txt files of the folders, then every other document indexed.
    QStringList filesIn(const QStringList &folders) const;
    bool ensureOpen();
    bool loadKnown();
    // False when the index failed under it.
    bool bringUpToDate(const QStringList &paths);
    bool indexDocument(const QFileInfo &file);
    bool removeDocument(const QString &path);
    // What the file says of a document, in the open transaction.
    bool findDocument(const QString &path, std::optional<Known> *indexed);
    // Leaves the document's rows behind as dead ones.
    bool dropDocument(const QString &path, const Known &indexed);
    bool begin();
    bool commit();
    bool failedWith(int result);
    // Reports the failure as "what: reason" and closes the file.
    void closeFailed(const QString &what, const QString &reason);
    void startOver(const QString &why);
    void rebuildIfWasteful();

    const QString m_path;
    const int m_passageLength;
    const int m_patienceMs;
    OwnWriter &m_ownWriter;

    QMutex m_queueLock;
    std::deque<Job> m_queue;

    std::unique_ptr<SearchDatabase> m_db;
    std::unique_ptr<Statements> m_statements;
    QHash<QString, Known> m_known;
    QStringList m_folders;
    qint64 m_nextRow = 1; // valid in a transaction
    qint64 m_liveRows = 0;
    qint64 m_deadRows = 0;
    bool m_inTransaction = false;
    bool m_startedOver = false;
    qint64 m_batchBytes = 0;
    // Why the file was closed after a failure; empty while it is open.
    QString m_failure;
};
