#pragma once

#include "commands.h"

#include <QObject>

#include <array>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// The actions of every command, built once from the one command table, with
// the menus and the tool bar that show them. Controllers connect to the
// actions and set their state here; nobody else makes a command.
class CommandSet : public QObject
{
    Q_OBJECT

public:
    explicit CommandSet(QMainWindow &window);

    QAction *action(Command command) const { return m_actions[std::size_t(command)]; }
    // Connects a command to a handler; the handler gets the checked state
    // when it takes one.
    template <typename Receiver, typename Handler>
    void onTriggered(Command command, Receiver *receiver, Handler handler) const;

    QToolBar *toolBar() const { return m_toolBar; }
    QMenu *windowMenu() const { return m_windowMenu; }
    QMenu *recentMenu() const { return m_recentMenu; }

    // The commands' images drawn for the application's palette.
    void refreshImages();

private:
    void createActions();
    void createMenus(QMainWindow &window);
    void createToolBar(QMainWindow &window);

    std::array<QAction *, CommandCount> m_actions{};
    QToolBar *m_toolBar = nullptr;
    QMenu *m_windowMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
};

#include <QAction>

template <typename Receiver, typename Handler>
void CommandSet::onTriggered(Command command, Receiver *receiver, Handler handler) const
{
    QObject::connect(action(command), &QAction::triggered, receiver, handler);
}
