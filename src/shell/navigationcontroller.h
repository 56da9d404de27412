#pragma once

#include "jumphistory.h"
#include "linkfinder.h"

#include <QObject>

#include <optional>

class CommandSet;
class Dialogs;
class DocumentManager;
class DocumentWindow;
class LibraryController;
class QWidget;

// Moving between places: back and forward over the jumps (the Go menu, the
// mouse's side buttons), links to other documents and web pages, Go To,
// Go to Page and the card of the link at the caret.
class NavigationController : public QObject
{
    Q_OBJECT

public:
    NavigationController(CommandSet &commands, DocumentManager &documents, LibraryController &library,
                         Dialogs &dialogs, QWidget &window);

    // Keeps the place in front for Back, before a jump leaves it.
    void leavingCurrentPlace();
    // A link of the bar above a text: an RFC, or a web page after a question.
    void openAddress(const QString &address);

signals:
    void message(const QString &text, int timeout);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void recordJump(const Place &from);
    std::optional<Place> currentPlace() const;
    void goThroughHistory(std::optional<Place> (JumpHistory::*step)(const Place &));
    // A link to another document: the open copy, a local one, or one fetched.
    void followLink(const LinkTarget &target);
    void goToPage();
    void goTo();
    void showLinkCard();
    void updateActions();

    CommandSet &m_commands;
    DocumentManager &m_documents;
    LibraryController &m_library;
    Dialogs &m_dialogs;
    QWidget &m_window;
    JumpHistory m_history;
};
