#include "commandset.h"

#include "imagelist.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <map>

namespace {

enum class Menu { None, File, Edit, Search, Go, Config, View, Theme, Window, Help };

struct CommandRow
{
    Command command;
    const char *name;
    Menu menu;
    const char *caption;
    QKeySequence shortcut;
    int image;
    const char *hint;
    bool separatorBefore = false;
    QKeySequence alternateShortcut = {};
};

// The one command table, in menu order.
const CommandRow Commands[] = {
    {Command::FileOpen, "FileOpen", Menu::File, "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), ImageList::Open,
     "Open|Open a file"},
    {Command::FileOpenRfc, "FileOpenRfc", Menu::File, "Open &RFC...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
     -1, "Open RFC|Open an RFC or Internet-Draft by its number or name, fetching it once for the library"},
    {Command::FileClearRecent, "FileClearRecent", Menu::None, "Clear List", {}, -1, nullptr},
    {Command::FileCompareWith, "FileCompareWith", Menu::File, "Compare &With...", {}, -1,
     "Compare With|Compare this document with another open document, a document of the library or a file", true},
    {Command::FileCompareWithPrevious, "FileCompareWithPrevious", Menu::File, "Compare with &Previous Revision", {},
     -1, "Compare with Previous Revision|Compare this draft with its revision before, fetching it when it is missing"},
    {Command::FileCompareWithFinalDraft, "FileCompareWithFinalDraft", Menu::File, "Compare with Final &Draft", {},
     -1, "Compare with Final Draft|Compare this RFC with the draft it was published from, fetching it when it is missing"},
    {Command::FileSaveComparison, "FileSaveComparison", Menu::File, "Save Compariso&n As...", {}, -1,
     "Save Comparison As|Save the comparison in front as a unified diff or an OLD/NEW listing"},
    {Command::FileClose, "FileClose", Menu::File, "&Close", {}, -1, "Close|Close current file", true},
    {Command::FileExit, "FileExit", Menu::File, "E&xit", {}, -1, "Exit|Exit application", true},
    {Command::EditCopy, "EditCopy", Menu::Edit, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), ImageList::Copy,
     "Copy|Copies the selection and puts it on the Clipboard"},
    {Command::EditCopyReference, "EditCopyReference", Menu::Edit, "Copy &Reference",
     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), -1,
     "Copy Reference|Copies the citation of the current section and the selection quoted below it"},
    {Command::EditCopyLink, "EditCopyLink", Menu::Edit, "Copy &Link", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C),
     -1, "Copy Link|Copies the web address of the current section at the RFC Editor or the IETF"},
    {Command::EditAddBookmark, "EditAddBookmark", Menu::Edit, "&Add bookmark ...",
     QKeySequence(Qt::CTRL | Qt::Key_M), ImageList::AddBookmark, "Add Bookmark|AddBookmark", true},
    {Command::EditDeleteBookmark, "EditDeleteBookmark", Menu::Edit, "Delete bookmark", {}, -1,
     "Delete bookmark | Delete one bookmark from bookmark tab"},
    {Command::EditHighlight, "EditHighlight", Menu::Edit, "Highlight", QKeySequence(Qt::Key_F5),
     ImageList::Highlight, "Highlight | Highlight your selections ", true},
    {Command::EditCancelHighlight, "EditCancelHighlight", Menu::Edit, "Ca&ncel Highlight",
     QKeySequence(Qt::Key_F6), ImageList::CancelHighlight, "Cancel Highlight | Cancel highlight"},
    {Command::SearchFind, "SearchFind", Menu::Search, "&Find ...", QKeySequence(Qt::CTRL | Qt::Key_F),
     ImageList::Find, "Find ... | Find text in current RFC document"},
    {Command::SearchFindNext, "SearchFindNext", Menu::Search, "Find &Next", QKeySequence(Qt::Key_F3),
     ImageList::FindNext, "Find Next | Find next string in current RFC document"},
    {Command::SearchFindPrevious, "SearchFindPrevious", Menu::Search, "Find &Previous",
     QKeySequence(Qt::SHIFT | Qt::Key_F3), -1, "Find Previous|Find the previous match of the last search"},
    {Command::SearchFindAsYouType, "SearchFindAsYouType", Menu::Search, "Find as You &Type",
     QKeySequence(Qt::CTRL | Qt::Key_I), -1, "Find as You Type|Search while you type, in a bar below the text",
     true},
    {Command::SearchLibrary, "SearchLibrary", Menu::Search, "Search &Library...",
     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), -1,
     "Search Library|Search the text of every document in the library and of those you opened", true},
    {Command::GoBack, "GoBack", Menu::Go, "&Back", QKeySequence(Qt::ALT | Qt::Key_Left), ImageList::Back,
     "Back|Go back to where the last jump started"},
    {Command::GoForward, "GoForward", Menu::Go, "&Forward", QKeySequence(Qt::ALT | Qt::Key_Right),
     ImageList::Forward, "Forward|Go forward again"},
    {Command::GoPage, "GoPage", Menu::Go, "&Page...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G), -1,
     "Page|Go to a page by its printed number", true},
    {Command::GoGoTo, "GoGoTo", Menu::Go, "&Go To...", QKeySequence(Qt::CTRL | Qt::Key_G), -1,
     "Go To|Go to a line, a section, a page (\"p 20\") or a bookmark"},
    {Command::GoLinkCard, "GoLinkCard", Menu::Go, "Link &Card", QKeySequence(Qt::CTRL | Qt::Key_K), -1,
     "Link Card|Show where the link at the caret leads", true},
    {Command::GoErrata, "GoErrata", Menu::Go, "&Errata", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), -1,
     "Errata|List the corrections the RFC Editor has for this RFC"},
    {Command::GoNextErratum, "GoNextErratum", Menu::Go, "&Next Erratum", QKeySequence(Qt::CTRL | Qt::Key_E), -1,
     "Next Erratum|Go to the next line an erratum corrects"},
    {Command::GoNextChange, "GoNextChange", Menu::Go, "Next C&hange", QKeySequence(Qt::Key_F7), -1,
     "Next Change|Go to the next change of the comparison in front", true},
    {Command::GoPreviousChange, "GoPreviousChange", Menu::Go, "Pre&vious Change", QKeySequence(Qt::SHIFT | Qt::Key_F7),
     -1, "Previous Change|Go to the previous change of the comparison in front"},
    {Command::ConfigTextFont, "ConfigTextFont", Menu::Config, "&Text Font ...", {}, -1,
     "Font .. | Set RFC document font"},
    {Command::ConfigHeaderFont, "ConfigHeaderFont", Menu::Config, "&Header Font ...", {}, -1,
     "Header Font...| Config Header Font ..."},
    {Command::ViewToolbar, "ViewToolbar", Menu::View, "&Toolbar", {}, -1, nullptr},
    {Command::ViewStatusBar, "ViewStatusBar", Menu::View, "Status bar", {}, -1, nullptr},
    {Command::ViewFileTabs, "ViewFileTabs", Menu::View, "Open &Files Tab", {}, -1, nullptr},
    {Command::ViewRestoreSession, "ViewRestoreSession", Menu::View, "&Reopen Documents at Start", {}, -1,
     "Reopen Documents at Start|Open the documents of the last run again when the program starts", true},
    {Command::ViewZoomIn, "ViewZoomIn", Menu::View, "Zoom &In", QKeySequence(Qt::CTRL | Qt::Key_Plus), -1,
     "Zoom In|Enlarge the text of every document", true, QKeySequence(Qt::CTRL | Qt::Key_Equal)},
    {Command::ViewZoomOut, "ViewZoomOut", Menu::View, "Zoom &Out", QKeySequence(Qt::CTRL | Qt::Key_Minus), -1,
     "Zoom Out|Reduce the text of every document"},
    {Command::ViewActualSize, "ViewActualSize", Menu::View, "&Actual Size", QKeySequence(Qt::CTRL | Qt::Key_0),
     -1, "Actual Size|Show the text at the size of the chosen fonts"},
    {Command::ViewHidePageBreaks, "ViewHidePageBreaks", Menu::View, "Hide &Page Breaks", {}, -1,
     "Hide Page Breaks|Fold each page's footer and header into one line", true},
    {Command::ViewEmphasiseRequirementWords, "ViewEmphasiseRequirementWords", Menu::View,
     "&Emphasise Requirement Words", {}, -1,
     "Emphasise Requirement Words|Show MUST, SHOULD, MAY and the like in bold where the document cites "
     "their definition"},
    {Command::ViewUnderlineLinks, "ViewUnderlineLinks", Menu::View, "&Underline Links", {}, -1,
     "Underline Links|Draw a dotted line under every reference the document's links lead from"},
    {Command::ViewIndexPanel, "ViewIndexPanel", Menu::View, "In&dex Panel", QKeySequence(Qt::Key_F9), -1,
     "Index Panel|Show the index and the bookmarks beside the text"},
    {Command::ViewThemeSystem, "ViewThemeSystem", Menu::Theme, "&System", {}, -1,
     "System theme|Follow the colours of the desktop"},
    {Command::ViewThemeLight, "ViewThemeLight", Menu::Theme, "&Light", {}, -1, "Light theme|Dark text on light"},
    {Command::ViewThemeDark, "ViewThemeDark", Menu::Theme, "&Dark", {}, -1, "Dark theme|Light text on dark"},
    {Command::WindowCascade, "WindowCascade", Menu::Window, "&Cascade", {}, ImageList::Cascade, "Cascade"},
    {Command::WindowTileHorizontally, "WindowTileHorizontally", Menu::Window, "Tile &Horizontally", {},
     ImageList::TileHorizontally, "Tile Horizontally"},
    {Command::WindowTileVertically, "WindowTileVertically", Menu::Window, "Tile &Vertically", {},
     ImageList::TileVertically, "Tile Vertically"},
    {Command::WindowMinimizeAll, "WindowMinimizeAll", Menu::Window, "&Minimize All", {}, -1, "Minimize All"},
    {Command::WindowArrangeAll, "WindowArrangeAll", Menu::Window, "&Arrange All", {}, -1, "Arrange All"},
    {Command::HelpUserGuide, "HelpUserGuide", Menu::Help, "&User Guide", QKeySequence(Qt::Key_F1), -1,
     "User Guide|Shows how to use the reader"},
    {Command::HelpVisitWebsite, "HelpVisitWebsite", Menu::Help, "Visit website", {}, -1, nullptr},
    {Command::HelpSendMail, "HelpSendMail", Menu::Help, "Send Mail", {}, -1, nullptr},
    {Command::HelpAbout, "HelpAbout", Menu::Help, "&About...", {}, -1,
     "About|Displays program information, version number, and copyright", true},
};
static_assert(std::size(Commands) == CommandCount);

struct MenuRow
{
    Menu menu;
    const char *caption;
    const char *hint;
    // A submenu goes at the end of its parent, which comes earlier here.
    Menu parent = Menu::None;
};

const MenuRow Menus[] = {
    {Menu::File, "&File", "File related commands"},
    {Menu::Edit, "&Edit", "Edit commands"},
    {Menu::Search, "&Search", nullptr},
    {Menu::Go, "&Go", "Go back and forward between places"},
    {Menu::Config, "&Config", "Config commands"},
    {Menu::View, "&View", nullptr},
    {Menu::Theme, "T&heme", nullptr, Menu::View},
    {Menu::Window, "&Window", "Window related commands"},
    {Menu::Help, "&Help", "Help topics"},
};

// "short|long": the short form is the tool tip, the long one the status tip.
void applyHint(QAction *action, const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    action->setToolTip((bar < 0 ? hint : hint.left(bar)).trimmed());
    action->setStatusTip((bar < 0 ? hint : hint.mid(bar + 1)).trimmed());
}

} // namespace

CommandSet::CommandSet(QMainWindow &window)
    : QObject(&window)
{
    createActions();
    createMenus(window);
    createToolBar(window);
}

void CommandSet::createActions()
{
    for (const CommandRow &row : Commands) {
        auto *action = new QAction(QString::fromLatin1(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        if (row.alternateShortcut.isEmpty())
            action->setShortcut(row.shortcut);
        else
            action->setShortcuts({row.shortcut, row.alternateShortcut});
        if (row.hint)
            applyHint(action, QString::fromLatin1(row.hint));
        m_actions[std::size_t(row.command)] = action;
    }
    for (Command command : {Command::ViewToolbar, Command::ViewStatusBar, Command::ViewFileTabs,
                            Command::ViewRestoreSession, Command::ViewHidePageBreaks,
                            Command::ViewEmphasiseRequirementWords, Command::ViewUnderlineLinks,
                            Command::ViewIndexPanel})
        action(command)->setCheckable(true);
    auto *themes = new QActionGroup(this);
    for (Command command : {Command::ViewThemeSystem, Command::ViewThemeLight, Command::ViewThemeDark})
    {
        action(command)->setCheckable(true);
        themes->addAction(action(command));
    }
}

void CommandSet::createMenus(QMainWindow &window)
{
    std::map<Menu, QMenu *> menus;
    for (const MenuRow &menuRow : Menus) {
        QMenu *parent = menuRow.parent == Menu::None ? nullptr : menus.at(menuRow.parent);
        if (parent)
            parent->addSeparator();
        QMenu *menu = parent ? parent->addMenu(QString::fromLatin1(menuRow.caption))
                             : window.menuBar()->addMenu(QString::fromLatin1(menuRow.caption));
        menus[menuRow.menu] = menu;
        if (menuRow.hint)
            menu->menuAction()->setStatusTip(QString::fromLatin1(menuRow.hint));
        for (const CommandRow &row : Commands) {
            if (row.menu != menuRow.menu)
                continue;
            if (row.separatorBefore)
                menu->addSeparator();
            menu->addAction(action(row.command));
            if (row.command == Command::FileOpenRfc)
                m_recentMenu = menu->addMenu(QStringLiteral("Open R&ecent"));
        }
        if (menuRow.menu == Menu::Window)
            m_windowMenu = menu;
    }
}

void CommandSet::createToolBar(QMainWindow &window)
{
    m_toolBar = window.addToolBar(QStringLiteral("MainToolbar"));
    m_toolBar->setObjectName(QStringLiteral("MainToolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setContentsMargins(5, 0, 0, 0);
    const auto addSpacer = [this](int width) {
        auto *spacer = new QWidget;
        spacer->setFixedWidth(width);
        m_toolBar->addWidget(spacer);
    };
    m_toolBar->addAction(action(Command::FileOpen));
    addSpacer(8);
    for (Command command : {Command::EditAddBookmark, Command::EditHighlight, Command::EditCancelHighlight})
        m_toolBar->addAction(action(command));
    addSpacer(13);
    for (Command command : {Command::SearchFind, Command::SearchFindNext})
        m_toolBar->addAction(action(command));
    addSpacer(12);
    for (Command command : {Command::WindowCascade, Command::WindowTileHorizontally, Command::WindowTileVertically})
        m_toolBar->addAction(action(command));
    m_toolBar->addSeparator();
    for (Command command : {Command::GoBack, Command::GoForward})
        m_toolBar->addAction(action(command));
}

void CommandSet::refreshImages()
{
    for (const CommandRow &row : Commands)
        if (row.image >= 0)
            action(row.command)->setIcon(ImageList::icon(row.image));
}
