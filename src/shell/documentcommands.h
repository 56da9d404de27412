#pragma once

#include <QObject>
#include <QPointer>

class CommandSet;
class Dialogs;
class DocumentManager;
class TextView;
class QWidget;

// The Edit commands on the document in front: Copy (from whichever text
// had the focus), Copy Reference, Copy Link, bookmarks and highlights.
class DocumentCommands : public QObject
{
    Q_OBJECT

public:
    DocumentCommands(CommandSet &commands, DocumentManager &documents, Dialogs &dialogs, QWidget &window);

    void updateActions();

private:
    void addBookmark();
    void copyLink();
    void focusMoved(QWidget *old, QWidget *now);

    CommandSet &m_commands;
    DocumentManager &m_documents;
    Dialogs &m_dialogs;
    QWidget &m_window;
    // The text view Copy works on.
    QPointer<TextView> m_copySource;
};
