#include "windowarrangement.h"

#include "commandset.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "menutext.h"

#include <QMdiArea>
#include <QMenu>

WindowArrangement::WindowArrangement(CommandSet &commands, DocumentManager &documents, QMdiArea &area,
                                     QObject *parent)
    : QObject(parent)
    , m_commands(commands)
    , m_documents(documents)
    , m_area(area)
{
    commands.onTriggered(Command::WindowCascade, this, &WindowArrangement::cascade);
    commands.onTriggered(Command::WindowTileHorizontally, this, [this] { tile(Qt::Vertical); });
    commands.onTriggered(Command::WindowTileVertically, this, [this] { tile(Qt::Horizontal); });
    commands.onTriggered(Command::WindowMinimizeAll, this, &WindowArrangement::minimizeAll);
    commands.onTriggered(Command::WindowArrangeAll, this, &WindowArrangement::arrangeMinimized);
    connect(commands.windowMenu(), &QMenu::aboutToShow, this, &WindowArrangement::fillWindowList);
}

void WindowArrangement::updateActions()
{
    const bool hasDocuments = !m_area.subWindowList().isEmpty();
    for (Command command : {Command::WindowCascade, Command::WindowTileHorizontally, Command::WindowTileVertically,
                            Command::WindowMinimizeAll, Command::WindowArrangeAll})
        m_commands.action(command)->setEnabled(hasDocuments);
}

void WindowArrangement::cascade()
{
    for (QMdiSubWindow *window : m_area.subWindowList())
        if (window->isMaximized())
            window->showNormal();
    m_area.cascadeSubWindows();
}

// Horizontally tiled windows lie one below the other, each as wide as the area.
void WindowArrangement::tile(Qt::Orientation stacking)
{
    const QList<QMdiSubWindow *> windows = m_area.subWindowList();
    if (windows.isEmpty())
        return;
    const QRect area = m_area.viewport()->rect();
    const int count = int(windows.size());
    for (int i = 0; i < count; ++i) {
        windows[i]->showNormal();
        if (stacking == Qt::Vertical)
            windows[i]->setGeometry(0, i * (area.height() / count), area.width(), area.height() / count);
        else
            windows[i]->setGeometry(i * (area.width() / count), 0, area.width() / count, area.height());
    }
}

void WindowArrangement::minimizeAll()
{
    const QList<QMdiSubWindow *> windows = m_area.subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        (*it)->showMinimized();
}

void WindowArrangement::arrangeMinimized()
{
    // Minimized windows lined up from the bottom left, left to right, in rows
    // that fit the area's width, each row above the last.
    const QSize area = m_area.viewport()->size();
    int x = 0;
    int bottom = area.height();
    int rowHeight = 0;
    for (QMdiSubWindow *window : m_area.subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        if (x > 0 && x + window->width() > area.width()) {
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, bottom - window->height());
        x += window->width();
        rowHeight = std::max(rowHeight, window->height());
    }
}

void WindowArrangement::fillWindowList()
{
    qDeleteAll(std::exchange(m_windowListEntries, {}));
    const QList<DocumentWindow *> windows = m_documents.documents();
    if (windows.isEmpty())
        return;
    QMenu *menu = m_commands.windowMenu();
    m_windowListEntries.append(menu->addSeparator());
    for (DocumentWindow *window : windows) {
        QAction *entry = menu->addAction(literalMenuText(window->documentPath()));
        entry->setCheckable(true);
        entry->setChecked(window == m_documents.active());
        connect(entry, &QAction::triggered, this, [this, window] { m_documents.activate(window); });
        m_windowListEntries.append(entry);
    }
}
