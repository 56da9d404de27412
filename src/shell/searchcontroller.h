#pragma once

#include <QObject>

class CommandSet;
class DocumentManager;
class LibraryController;
class LibrarySearch;
class NavigationController;
class QMainWindow;
class SearchPanel;
class StatusProgress;
struct SearchHit;

// The full-text search of the library: the Search Library panel, the
// indexing progress in the status bar, and opening a hit at its words.
class SearchController : public QObject
{
    Q_OBJECT

public:
    // An empty index path leaves the search out and its command disabled.
    SearchController(const QString &indexPath, CommandSet &commands, DocumentManager &documents,
                     LibraryController &library, NavigationController &navigation, QMainWindow &window);

    // Null when the program runs without the search.
    LibrarySearch *search() const { return m_search; }
    SearchPanel *panel() const { return m_panel; }

signals:
    void message(const QString &text, int timeout);

private:
    void showPanel();
    void run(const QString &query, bool openDocumentsOnly);
    // Opens the hit's document at the matched words, as a jump.
    void openHit(const SearchHit &hit);

    DocumentManager &m_documents;
    LibraryController &m_library;
    NavigationController &m_navigation;
    LibrarySearch *m_search = nullptr;
    SearchPanel *m_panel = nullptr;
    StatusProgress *m_progress = nullptr;
};
