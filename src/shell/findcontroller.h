#pragma once

#include "documentwindow.h"
#include "textsearch.h"

#include <QObject>

class CommandSet;
class DocumentManager;
class FindBar;
class FindDialog;
class QWidget;

// Finding in the document in front: the Find dialog, the find bar that
// searches as the user types, and F3 / Shift+F3, which repeat the last
// search of either kind.
class FindController : public QObject
{
    Q_OBJECT

public:
    FindController(CommandSet &commands, DocumentManager &documents, QWidget &window);

    FindBar *findBar() const { return m_findBar; }
    FindDialog *findDialog() const { return m_findDialog; }

signals:
    // A one-line report for the status bar; an empty text clears it.
    void message(const QString &text, int timeout);

private:
    void showDialog();
    void findFromDialog();
    void openFindBar();
    void searchFromFindBar();
    void repeatSearch(bool forward);
    void showMatch(const SearchableText::MatchResult &result, const QString &text);
    void closeFindBar();

    DocumentManager &m_documents;
    FindBar *m_findBar;
    FindDialog *m_findDialog;
    enum class SearchSource { Dialog, FindBar };
    struct LastSearch
    {
        SearchSource source = SearchSource::Dialog;
        QString text;
        SearchOptions options;
    };
    LastSearch m_lastSearch;
    LastSearch m_searchBeforeBar; // what F3 repeats while the bar is empty
    qint32 m_findAnchor = 0;
};
