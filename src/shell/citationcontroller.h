#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class CitedByPanel;
class DocumentManager;
class DocumentWindow;
class LibrarySearch;
class NavigationController;

// The library documents that cite each open RFC: a "Referenced by" tab
// beside its index and their count in the bar above its text, read from the
// library's index off the user-interface thread and read again whenever the
// index has been brought up to date.
class CitationController : public QObject
{
    Q_OBJECT

public:
    CitationController(QString indexPath, DocumentManager &documents, NavigationController &navigation,
                       LibrarySearch *search, QObject *parent = nullptr);

private:
    void addPanel(DocumentWindow *window);
    void refresh(DocumentWindow *window);
    void openPlace(const QString &path, int line);

    const QString m_indexPath;
    DocumentManager &m_documents;
    NavigationController &m_navigation;
    QHash<DocumentWindow *, QPointer<CitedByPanel>> m_panels;
};
