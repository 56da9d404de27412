#pragma once

#include "searchhit.h"

#include <QObject>

#include <atomic>
#include <memory>

class QThread;
class SearchIndexer;
class SearchRunner;
struct OwnWriter;

// The full-text search of the library: an index kept up to date on a thread
// of its own, and searches run on another, so that the window never waits.
// Lives on the user-interface thread; its signals arrive there.
class LibrarySearch : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        // Characters after which a section's passage ends at a paragraph
        // (0: every paragraph on its own).
        int passageLength = 2000;
        // How long another program may hold the file locked before it
        // counts as stuck, and the file is made again.
        int patienceMs = 5000;
    };

    // $XDG_CACHE_HOME/Tessary software/Folivane/search.sqlite, ~/.cache by default.
    static QString defaultPath();

    explicit LibrarySearch(const QString &databasePath, QObject *parent = nullptr);
    LibrarySearch(const QString &databasePath, Options options, QObject *parent = nullptr);
    ~LibrarySearch() override;

    // Brings the index up to date with the *.txt files of the folders and
    // every document indexed before, in the background.
    void updateFolders(const QStringList &folders);
    // Indexes documents wherever they are, when new or changed.
    void addDocuments(const QStringList &paths);
    bool isIndexing() const { return m_indexing; }

    // Runs a search in the background; one still running is dropped.
    void search(const SearchRequest &request);

signals:
    void indexProgress(int done, int total);
    void indexIdle();
    // A one-line report for the status bar.
    void message(const QString &text);
    // The hits of the last search: first a few, then all (complete).
    void hitsFound(const QList<SearchHit> &hits, int total, bool complete);
    void searchRejected(const QString &explanation);

private:
    void startIndexing();

    std::unique_ptr<OwnWriter> m_ownWriter;
    std::atomic<int> m_latest{0};
    QThread *m_indexThread;
    QThread *m_searchThread;
    std::unique_ptr<SearchIndexer> m_indexer;
    std::unique_ptr<SearchRunner> m_runner;
    bool m_indexing = false;
    // Why the indexer could not open or write the index, as of its last pass.
    QString m_indexFailure;
};
