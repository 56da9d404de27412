#pragma once

#include <QList>
#include <QObject>

class CommandSet;
class DocumentManager;
class QAction;
class QMdiArea;

// The Window menu: cascading, tiling and minimizing the document windows,
// and the list of open documents to bring one to the front.
class WindowArrangement : public QObject
{
    Q_OBJECT

public:
    WindowArrangement(CommandSet &commands, DocumentManager &documents, QMdiArea &area, QObject *parent = nullptr);

    void updateActions();

private:
    void cascade();
    void tile(Qt::Orientation orientation);
    void minimizeAll();
    void arrangeMinimized();
    void fillWindowList();

    CommandSet &m_commands;
    DocumentManager &m_documents;
    QMdiArea &m_area;
    QList<QAction *> m_windowListEntries;
};
