#include "mainwindow.h"

#include "about.h"
#include "appcontext.h"
#include "dialogs.h"
#include "documentwindow.h"
#include "findbar.h"
#include "finddialog.h"
#include "fontsettings.h"
#include "fontstyle.h"
#include "imagelist.h"
#include "librarysearch.h"
#include "documentname.h"
#include "product.h"
#include "rfclibrary.h"
#include "searchpanel.h"
#include "settinglist.h"
#include "textview.h"
#include "themepalette.h"
#include "usersettings.h"
#include "plaintooltip.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QLineEdit>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <map>
#include <memory>

namespace {

// Published names have no dot as often as they have one (rfc7777).
const QString OpenFilter =
    QStringLiteral("RFC document (RFC*)|RFC*|Draft document (draft*)|draft*|All files (*)|*");
const QString LastFolderName = QStringLiteral("last_folder");
const QString ProgramCaption = QStringLiteral("Folivane");
constexpr int StatusLinePanelWidth = 150;
constexpr int BookmarkNameLimit = 255;
constexpr int PageNumberLimit = 6;
constexpr int RecentCapacity = 10;
constexpr int SessionCapacity = 1000;
const QString RestoreSessionValue = QStringLiteral("restore_session");
const QString SessionActiveValue = QStringLiteral("session_active");

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
    {Command::FileClose, "FileClose", Menu::File, "&Close", {}, -1, "Close|Close current file"},
    {Command::FileExit, "FileExit", Menu::File, "E&xit", {}, -1, "Exit|Exit application", true},
    {Command::EditCopy, "EditCopy", Menu::Edit, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), ImageList::Copy,
     "Copy|Copies the selection and puts it on the Clipboard"},
    {Command::EditCopyReference, "EditCopyReference", Menu::Edit, "Copy &Reference",
     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), -1,
     "Copy Reference|Copies the citation of the current section and the selection quoted below it"},
    {Command::EditPaste, "EditPaste", Menu::Edit, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V),
     ImageList::Paste, "Paste|Inserts Clipboard contents"},
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

// A symbolic link or another spelling of a path names the same file; a
// file that is gone is known by its path as written.
bool isSameFile(const QString &first, const QString &second)
{
    if (first == second)
        return true;
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
}

// The file-name part of a path: the text after its last separator.
QString fileNamePart(const QString &path)
{
    qsizetype cut = -1;
    for (const QChar separator : {u'\\', u'/'})
        cut = std::max(cut, path.lastIndexOf(separator));
    return path.mid(cut + 1);
}

// Text shown as it is in a tab or a menu, where "&" marks a mnemonic.
QString literalMenuText(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

// Text shown as it is in a window caption, where "[*]" marks a modified window.
QString literalCaption(QString text)
{
    return text.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

} // namespace

MainWindow::MainWindow(AppContext &context)
    : m_context(context)
    , m_desktopStyle(QApplication::style()->name())
    , m_findBar(new FindBar)
    , m_recentList(context.settings, QStringLiteral("recent"), RecentCapacity)
    , m_sessionList(context.settings, QStringLiteral("session"), SessionCapacity)
    , m_mdiArea(new QMdiArea)
    , m_fileTabPanel(new QWidget)
    , m_fileTabs(new QTabBar)
{
    createActions();
    connectActions();
    createMenus();
    createToolBar();
    createStatusBar();

    auto *layout = new QVBoxLayout(m_fileTabPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_fileTabs);
    m_fileTabPanel->setFixedHeight(29);
    m_fileTabPanel->hide();
    m_fileTabs->setExpanding(false);
    m_fileTabs->setDocumentMode(true);
    connect(m_fileTabs, &QTabBar::tabBarClicked, this, &MainWindow::showTabDocument);
    // The wheel and the keys change the tab without a click; the program's
    // own changes block the signal.
    connect(m_fileTabs, &QTabBar::currentChanged, this, &MainWindow::showTabDocument);

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::updateActions);

    auto *client = new QWidget;
    auto *clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    clientLayout->addWidget(m_fileTabPanel);
    clientLayout->addWidget(m_mdiArea, 1);
    clientLayout->addWidget(m_findBar);
    m_findBar->hide();
    setCentralWidget(client);
    // Its menu of bars would hide the tool bar behind the View menu's back.
    setContextMenuPolicy(Qt::PreventContextMenu);
    resize(541, 342);
    setWindowIcon(QIcon(QStringLiteral(":/folivane.svg")));

    m_findDialog = new FindDialog(this);
    connect(m_findDialog, &FindDialog::find, this, &MainWindow::findFromDialog);

    readWindowSettings();
    readViewSettings();
    createLibrary();
    createSearch();
    m_recent = m_recentList.read();
    m_restoreSession = m_context.settings.readInteger(SettingsKeyPath, RestoreSessionValue).value_or(1) != 0;
    action(Command::ViewRestoreSession)->setChecked(m_restoreSession);
    setAcceptDrops(true);
    updateActions();
    m_aboutBox = new AboutBox(m_context.dialogs, this);
}

MainWindow::~MainWindow()
{
    // The children go after this body, actions first; a window among them that
    // gives up the focus must not reach updateActions() then.
    disconnect(qApp, nullptr, this, nullptr);
    // Nor the area, which reports a document window still open as deactivated
    // when it is hidden with the rest.
    disconnect(m_mdiArea, nullptr, this, nullptr);
}

void MainWindow::createActions()
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
    for (Command command :
         {Command::ViewToolbar, Command::ViewStatusBar, Command::ViewFileTabs, Command::ViewRestoreSession})
        action(command)->setCheckable(true);
    for (Command command : {Command::ViewHidePageBreaks, Command::ViewEmphasiseRequirementWords})
        action(command)->setCheckable(true);
    auto *themes = new QActionGroup(this);
    for (Command command : {Command::ViewThemeSystem, Command::ViewThemeLight, Command::ViewThemeDark}) {
        action(command)->setCheckable(true);
        themes->addAction(action(command));
    }
    action(Command::EditPaste)->setVisible(false);
}

void MainWindow::connectActions()
{
    const auto on = [this](Command command, auto handler) {
        connect(action(command), &QAction::triggered, this, handler);
    };
    const auto onDocument = [this](Command command, void (DocumentWindow::*handler)()) {
        connect(action(command), &QAction::triggered, this, [this, handler] {
            if (DocumentWindow *document = activeDocument())
                (document->*handler)();
        });
    };
    on(Command::FileOpen, &MainWindow::chooseOpenFile);
    on(Command::FileOpenRfc, [this] {
        m_library->refreshIndex();
        const QString text = m_context.dialogs.askDocumentName(this, m_library->completions());
        if (!text.isEmpty())
            m_library->open(text, activeDocumentFolder());
    });
    connect(action(Command::FileClose), &QAction::triggered, m_mdiArea, &QMdiArea::closeActiveSubWindow);
    on(Command::FileExit, &QWidget::close);
    on(Command::EditCopy, [this] {
        if (m_copySource)
            m_copySource->copy();
    });
    on(Command::EditCopyReference, [this] {
        if (DocumentWindow *document = activeDocument())
            QApplication::clipboard()->setText(document->reference());
    });
    on(Command::EditAddBookmark, &MainWindow::addBookmark);
    onDocument(Command::EditDeleteBookmark, &DocumentWindow::deleteBookmark);
    onDocument(Command::EditHighlight, &DocumentWindow::highlightSelection);
    onDocument(Command::EditCancelHighlight, &DocumentWindow::unhighlightSelection);
    on(Command::SearchFind, [this] {
        if (!activeDocument())
            return;
        m_findDialog->show();
        m_findDialog->raise();
        m_findDialog->activateWindow();
    });
    on(Command::SearchFindNext, [this] { repeatSearch(true); });
    on(Command::SearchFindPrevious, [this] { repeatSearch(false); });
    on(Command::SearchFindAsYouType, &MainWindow::openFindBar);
    on(Command::SearchLibrary, [this] {
        // Titles for the hits, from the RFC index kept in the library.
        m_library->loadStoredIndex();
        m_search->updateFolders(libraryFolders());
        m_searchPanel->activate();
    });
    connect(m_findBar, &FindBar::searchChanged, this, &MainWindow::searchFromFindBar);
    connect(m_findBar, &FindBar::nextRequested, this, [this] { repeatSearch(true); });
    connect(m_findBar, &FindBar::previousRequested, this, [this] { repeatSearch(false); });
    connect(m_findBar, &FindBar::closed, this, &MainWindow::closeFindBar);
    on(Command::GoBack, [this] { goThroughHistory(&JumpHistory::back); });
    on(Command::GoForward, [this] { goThroughHistory(&JumpHistory::forward); });
    on(Command::GoPage, &MainWindow::goToPage);
    on(Command::ConfigTextFont, [this] { chooseFont(m_context.fonts.text, false); });
    on(Command::ConfigHeaderFont, [this] { chooseFont(m_context.fonts.header, true); });
    on(Command::ViewToolbar, &MainWindow::toggleToolBar);
    on(Command::ViewStatusBar, &MainWindow::toggleStatusBar);
    on(Command::ViewFileTabs, &MainWindow::toggleFileTabs);
    on(Command::ViewZoomIn, [this] { setZoom(m_view.zoomedBy(1)); });
    on(Command::ViewZoomOut, [this] { setZoom(m_view.zoomedBy(-1)); });
    on(Command::ViewActualSize, [this] { setZoom(ViewSettings::DefaultZoom); });
    on(Command::ViewHidePageBreaks, [this](bool checked) {
        m_view.hidePageBreaks = checked;
        applyViewSettings();
    });
    on(Command::ViewEmphasiseRequirementWords, [this](bool checked) {
        m_view.emphasiseRequirementWords = checked;
        applyViewSettings();
    });
    on(Command::ViewThemeSystem, [this] { setTheme(ViewSettings::Theme::System); });
    on(Command::ViewThemeLight, [this] { setTheme(ViewSettings::Theme::Light); });
    on(Command::ViewThemeDark, [this] { setTheme(ViewSettings::Theme::Dark); });
    on(Command::ViewRestoreSession, [this] { m_restoreSession = action(Command::ViewRestoreSession)->isChecked(); });
    on(Command::FileClearRecent, [this] {
        m_recent.clear();
        m_recentList.write(m_recent);
    });
    on(Command::WindowCascade, &MainWindow::cascade);
    on(Command::WindowTileHorizontally, &MainWindow::tileHorizontally);
    on(Command::WindowTileVertically, &MainWindow::tileVertically);
    on(Command::WindowMinimizeAll, &MainWindow::minimizeAll);
    on(Command::WindowArrangeAll, &MainWindow::arrangeMinimized);
    on(Command::HelpVisitWebsite,
       [this] { m_context.dialogs.shellOpen(this, QUrl(QLatin1String(WebAddress))); });
    on(Command::HelpSendMail, [this] { m_context.dialogs.shellOpen(this, QUrl(QLatin1String(MailAddress))); });
    on(Command::HelpAbout, [this] { m_context.dialogs.showModal(*m_aboutBox); });
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::focusMoved);
    // The mouse's back and forward buttons, wherever the pointer is.
    qApp->installEventFilter(this);
}

void MainWindow::createMenus()
{
    std::map<Menu, QMenu *> menus;
    for (const MenuRow &menuRow : Menus) {
        QMenu *parent = menuRow.parent == Menu::None ? nullptr : menus.at(menuRow.parent);
        if (parent)
            parent->addSeparator();
        QMenu *menu = parent ? parent->addMenu(QString::fromLatin1(menuRow.caption))
                             : menuBar()->addMenu(QString::fromLatin1(menuRow.caption));
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
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::fillWindowList);
    connect(m_recentMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
}

void MainWindow::createToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("MainToolbar"));
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

void MainWindow::createStatusBar()
{
    m_lineIndicator = new QLabel;
    m_lineIndicator->setObjectName(QStringLiteral("LinePanel"));
    m_lineIndicator->setFixedWidth(StatusLinePanelWidth);
    statusBar()->addPermanentWidget(m_lineIndicator);
    statusBar()->setFixedHeight(19);
}

void MainWindow::readWindowSettings()
{
    UserSettings &settings = m_context.settings;
    const QString &key = SettingsKeyPath;
    settings.openKey(key);
    const auto read = [&](const char *name) { return settings.readInteger(key, QLatin1String(name)); };
    // The first value that cannot be read ends the reading and turns every bar on.
    const auto readAll = [&] {
        for (auto [name, flag] : {std::pair{"show_toolbar", &m_showToolBar},
                                  std::pair{"show_status_bar", &m_showStatusBar},
                                  std::pair{"show_file_tab", &m_showFileTabs}}) {
            const std::optional<qint32> value = read(name);
            if (!value)
                return false;
            *flag = *value != 0;
        }
        const std::optional<qint32> height = read("main_height");
        if (!height)
            return false;
        resize(width(), *height);
        const std::optional<qint32> width = read("main_width");
        if (!width)
            return false;
        resize(*width, this->height());
        return true;
    };
    if (!readAll())
        m_showToolBar = m_showStatusBar = m_showFileTabs = true;
    // A damaged file can hold any size: past the screen's, the centred
    // window would lie wholly off it, and be stored so again on exit.
    if (const QScreen *where = screen())
        resize(size().boundedTo(where->availableGeometry().size()));
}

bool MainWindow::writeSettings(QString *error)
{
    UserSettings &settings = m_context.settings;
    const QString &key = SettingsKeyPath;
    const auto failed = [error](const QString &name) {
        *error = QStringLiteral("Failed to set data for '%1'").arg(name);
        return false;
    };
    settings.openKey(key);
    const std::pair<const char *, qint32> values[] = {
        {"show_toolbar", m_showToolBar},     {"show_status_bar", m_showStatusBar},
        {"show_file_tab", m_showFileTabs},   {"main_height", height()},
        {"main_width", width()},
    };
    for (const auto &[name, value] : values) {
        if (!settings.writeInteger(key, QLatin1String(name), value))
            return failed(QLatin1String(name));
    }
    if (!settings.writeInteger(key, RestoreSessionValue, m_restoreSession))
        return failed(RestoreSessionValue);
    QString listValue;
    if (!m_sessionList.write(m_closedSession.paths, &listValue))
        return failed(listValue);
    if (!settings.writeInteger(key, SessionActiveValue, m_closedSession.active))
        return failed(SessionActiveValue);
    if (!m_library->settings().write(settings))
        return failed(QStringLiteral("library_folder"));
    if (!m_context.fonts.write())
        return failed(QStringLiteral("font"));
    for (const auto &[name, value] : m_view.storedValues()) {
        if (!settings.writeInteger(key, QLatin1String(name), value))
            return failed(QLatin1String(name));
    }
    return true;
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        applyBarSettings();
}

// Centred, with the frame the window manager adds (its title bar above all)
// on the screen's available area: a stored size can be the whole screen's.
void MainWindow::placeOnScreen()
{
    const QRect available = screen()->availableGeometry();
    const QSize frameExtra = frameGeometry().size() - size();
    resize(size().boundedTo(available.size() - frameExtra));
    QRect frame = frameGeometry();
    frame.moveCenter(available.center());
    frame.moveTopLeft({std::max(frame.left(), available.left()), std::max(frame.top(), available.top())});
    move(frame.topLeft());
}

void MainWindow::applyBarSettings()
{
    if (!std::exchange(m_centred, true) && screen())
        placeOnScreen();
    setWindowTitle(QLatin1String(ProductTitle) + ProductVersion);
    m_toolBar->setVisible(m_showToolBar);
    action(Command::ViewToolbar)->setChecked(m_showToolBar);
    statusBar()->setVisible(m_showStatusBar);
    action(Command::ViewStatusBar)->setChecked(m_showStatusBar);
    action(Command::ViewFileTabs)->setChecked(m_showFileTabs);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Taken before the documents close: closing takes their tabs away.
    m_closedSession = currentSession();
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        // A document that could not save its state stays open, and so does the program.
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    QString error;
    // The program stays unless the user chooses to exit without its settings.
    if (!writeSettings(&error)
        && !m_context.dialogs.errorWithDiscard(this, error, ProgramCaption, QStringLiteral("Exit without saving"))) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::toggleToolBar()
{
    m_showToolBar = action(Command::ViewToolbar)->isChecked();
    m_toolBar->setVisible(m_showToolBar);
}

void MainWindow::toggleStatusBar()
{
    m_showStatusBar = action(Command::ViewStatusBar)->isChecked();
    statusBar()->setVisible(m_showStatusBar);
}

void MainWindow::toggleFileTabs()
{
    m_showFileTabs = action(Command::ViewFileTabs)->isChecked();
    if (activeDocument())
        m_fileTabPanel->setVisible(m_showFileTabs);
}

void MainWindow::chooseOpenFile()
{
    // Apart from the window values: a folder that cannot be read must not
    // turn the bars on. Without one the dialog starts in the working folder.
    const QString folder = m_context.settings.readString(SettingsKeyPath, LastFolderName).value_or(QString());
    const QStringList paths = m_context.dialogs.openFileNames(this, OpenFilter, folder);
    if (paths.isEmpty())
        return;
    // Only where the dialog starts next: a failed write is not worth a message.
    m_context.settings.writeString(SettingsKeyPath, LastFolderName, QFileInfo(paths.constLast()).absolutePath());
    for (const QString &path : paths)
        openDocument(path);
}

DocumentWindow *MainWindow::activeDocument() const
{
    return qobject_cast<DocumentWindow *>(m_mdiArea->activeSubWindow());
}

QList<DocumentWindow *> MainWindow::documents() const
{
    QList<DocumentWindow *> result;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto *document = qobject_cast<DocumentWindow *>(window))
            result.append(document);
    return result;
}

void MainWindow::openDocument(const QString &path)
{
    DocumentWindow *window = nullptr;
    for (DocumentWindow *document : documents()) {
        if (isSameFile(document->documentPath(), path)) {
            window = document;
            break;
        }
    }
    if (!window) {
        // Only regular files: a FIFO or a device named like a document is ignored.
        if (!QFileInfo(path).isFile())
            return;
        auto loaded = std::make_unique<DocumentWindow>(m_context.dialogs, m_context.stateStore, m_context.fonts);
        loaded->setViewSettings(m_view);
        QString reason;
        // A busy pointer while a large document loads: the load runs on this thread.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool ok = loaded->load(path, &reason);
        QApplication::restoreOverrideCursor();
        if (!ok) {
            m_context.dialogs.error(this, QStringLiteral("Cannot open %1:\n%2").arg(path, reason),
                                    QStringLiteral("Open"));
            return;
        }
        window = loaded.release();
        connect(window, &DocumentWindow::activated, this, [this, window] { documentActivated(window); });
        connect(window, &DocumentWindow::closing, this, [this, window] { documentClosing(window); });
        connect(window, &DocumentWindow::caretLineChanged, this, &MainWindow::showCaretLine);
        connect(window, &DocumentWindow::jumping, this, &MainWindow::recordJump);
        connect(window, &DocumentWindow::noticeLinkActivated, this, &MainWindow::openAddress);
        connect(window, &DocumentWindow::externalLinkActivated, this, &MainWindow::followLink);
        connect(window, &DocumentWindow::message, this,
                [this](const QString &text) { statusBar()->showMessage(text, 10000); });
        connect(window->textView(), &QPlainTextEdit::copyAvailable, this, &MainWindow::updateActions);
        connect(window->textView(), &TextView::zoomRequested, this,
                [this](int steps) { setZoom(m_view.zoomedBy(steps)); });
        connect(window->textView(), &TextView::findRequested, this, &MainWindow::openFindBar);
        // Queued: while the signal runs, the area still lists the window.
        connect(window, &QObject::destroyed, this, &MainWindow::updateActions, Qt::QueuedConnection);
        m_mdiArea->addSubWindow(window);
        window->showMaximized();
        window->showText();
        addFileTab(window, path);
        window->setWindowTitle(literalCaption(path));
        window->setWindowIcon(windowIcon());
        showIndexFacts(window);
        if (isInLibrary(path))
            m_library->refreshIndex();
        if (m_search)
            m_search->addDocuments({path});
    }
    rememberRecent(path);
    if (window->isMinimized())
        window->showNormal();
    window->show();
    m_mdiArea->setActiveSubWindow(window);
    window->raise();
    // Keys go to the text at once, as after a click in it.
    window->textView()->setFocus();
}

void MainWindow::addFileTab(DocumentWindow *window, const QString &path)
{
    if (m_fileTabPanel->isHidden() && m_showFileTabs)
        m_fileTabPanel->show();
    const int index = m_fileTabs->addTab(ImageList::icon(ImageList::ActiveTab), literalMenuText(fileNamePart(path)));
    m_fileTabs->setTabData(index, QVariant::fromValue(static_cast<QObject *>(window)));
    const QSignalBlocker programChange(m_fileTabs);
    m_fileTabs->setCurrentIndex(index);
    refreshTabImages();
}

int MainWindow::fileTabOf(DocumentWindow *window) const
{
    for (int index = 0; index < m_fileTabs->count(); ++index)
        if (m_fileTabs->tabData(index).value<QObject *>() == window)
            return index;
    return -1;
}

void MainWindow::refreshTabImages()
{
    for (int index = 0; index < m_fileTabs->count(); ++index)
        m_fileTabs->setTabIcon(index, ImageList::icon(index == m_fileTabs->currentIndex() ? ImageList::ActiveTab
                                                                                        : ImageList::OtherTab));
}

void MainWindow::showTabDocument(int index)
{
    if (index < 0)
        return;
    if (auto *window = qobject_cast<DocumentWindow *>(m_fileTabs->tabData(index).value<QObject *>())) {
        window->show();
        m_mdiArea->setActiveSubWindow(window);
    }
}

void MainWindow::documentActivated(DocumentWindow *window)
{
    const int index = fileTabOf(window);
    if (index < 0)
        return;
    const QSignalBlocker programChange(m_fileTabs);
    m_fileTabs->setCurrentIndex(index);
    refreshTabImages();
}

void MainWindow::documentClosing(DocumentWindow *window)
{
    const int index = fileTabOf(window);
    if (index < 0)
        return;
    // The area picks the window to activate next, and the tab follows it.
    const QSignalBlocker programChange(m_fileTabs);
    m_fileTabs->removeTab(index);
    if (m_fileTabs->count() == 0)
        m_fileTabPanel->hide();
    else
        refreshTabImages();
}

void MainWindow::showCaretLine(int line, int count)
{
    m_lineIndicator->setText(QStringLiteral("line: %1/%2").arg(line).arg(count));
}

void MainWindow::addBookmark()
{
    if (!activeDocument())
        return;
    const QString name = m_context.dialogs.inputBox(this, QStringLiteral("Bookmark"),
                                                    QStringLiteral("Please input bookmark name:"), QString(),
                                                    BookmarkNameLimit);
    if (!name.isEmpty())
        if (DocumentWindow *document = activeDocument())
            document->addBookmark(name);
}

void MainWindow::findFromDialog()
{
    m_lastSearch = {SearchSource::Dialog, m_findDialog->text(),
                    {m_findDialog->matchCase(), m_findDialog->wholeWord()}};
    // The dialog can outlive the last document.
    if (DocumentWindow *document = activeDocument())
        document->search(m_lastSearch.text, m_lastSearch.options);
}

void MainWindow::openFindBar()
{
    DocumentWindow *document = activeDocument();
    if (!document)
        return;
    TextView *view = document->textView();
    view->prepareSearch();
    m_findAnchor = view->selectionStart();
    m_searchBeforeBar = m_lastSearch;
    const QString selected = view->selectedText();
    m_findBar->open(selected.contains(u'\n') ? QString() : selected);
    searchFromFindBar();
}

void MainWindow::searchFromFindBar()
{
    DocumentWindow *document = activeDocument();
    if (!document || m_findBar->isHidden())
        return;
    const LastSearch typed{SearchSource::FindBar, m_findBar->text(), m_findBar->options()};
    m_lastSearch = typed.text.isEmpty() ? m_searchBeforeBar : typed;
    showMatch(document->findMatch(typed.text, typed.options, m_findAnchor, true), typed.text);
    document->markMatches(typed.text, typed.options);
}

void MainWindow::repeatSearch(bool forward)
{
    DocumentWindow *document = activeDocument();
    if (!document)
        return;
    // The dialog's own way of going on: each document its own last search.
    if (forward && m_lastSearch.source == SearchSource::Dialog) {
        document->searchAgain();
        return;
    }
    if (m_lastSearch.text.isEmpty())
        return;
    const TextView *view = document->textView();
    const qint32 from = forward ? view->selectionStart() + 1 : view->selectionStart();
    showMatch(document->findMatch(m_lastSearch.text, m_lastSearch.options, from, forward), m_lastSearch.text);
}

void MainWindow::showMatch(const DocumentWindow::MatchResult &result, const QString &text)
{
    if (!m_findBar->isHidden())
        m_findBar->showResult(result.index, result.count, result.wrapped);
    if (result.index < 0 && !text.isEmpty())
        statusBar()->showMessage(QStringLiteral("Not found: %1").arg(text), 5000);
    else if (result.wrapped)
        statusBar()->showMessage(QStringLiteral("Search wrapped"), 3000);
    else
        statusBar()->clearMessage();
}

void MainWindow::closeFindBar()
{
    if (DocumentWindow *document = activeDocument()) {
        document->markMatches(QString(), {});
        document->textView()->setFocus();
    }
}

// Every open document takes the record at once; it is stored when the
// program ends.
void MainWindow::chooseFont(FontRecord &record, bool heading)
{
    const QFont offered = FontStyle::dialogFont(record, heading);
    const QColor offeredColor = FontStyle::color(record, QApplication::palette());
    QFont font = offered;
    QColor color = offeredColor;
    if (!m_context.dialogs.chooseFont(this, font, color))
        return;
    record = FontStyle::fromDialog(record, offered, offeredColor, font, color);
    for (DocumentWindow *document : documents())
        document->restyle();
}

void MainWindow::readViewSettings()
{
    m_view = ViewSettings::read(m_context.settings);
    action(Command::ViewHidePageBreaks)->setChecked(m_view.hidePageBreaks);
    action(Command::ViewEmphasiseRequirementWords)->setChecked(m_view.emphasiseRequirementWords);
    setTheme(m_view.theme);
    applyViewSettings();
}

void MainWindow::applyViewSettings()
{
    action(Command::ViewZoomIn)->setEnabled(m_view.zoom < ViewSettings::MaxZoom);
    action(Command::ViewZoomOut)->setEnabled(m_view.zoom > ViewSettings::MinZoom);
    for (DocumentWindow *document : documents())
        document->setViewSettings(m_view);
}

void MainWindow::setZoom(int zoom)
{
    m_view.zoom = zoom;
    applyViewSettings();
}

void MainWindow::setTheme(ViewSettings::Theme theme)
{
    m_view.theme = theme;
    const Command commands[] = {Command::ViewThemeSystem, Command::ViewThemeLight, Command::ViewThemeDark};
    action(commands[int(theme)])->setChecked(true);
    ThemePalette::apply(theme, m_desktopStyle);
    followPalette();
}

void MainWindow::followPalette()
{
    const QPalette palette = QApplication::palette();
    if (std::exchange(m_followedPalette, palette.cacheKey()) == palette.cacheKey())
        return;
    m_mdiArea->setBackground(palette.brush(QPalette::Dark));
    for (const CommandRow &row : Commands)
        if (row.image >= 0)
            action(row.command)->setIcon(ImageList::icon(row.image));
    refreshTabImages();
    for (DocumentWindow *document : documents())
        document->restyle();
}

void MainWindow::goToPage()
{
    if (!activeDocument())
        return;
    const QString caption = QStringLiteral("Go to page");
    const QString answer =
        m_context.dialogs.inputBox(this, caption, QStringLiteral("Page number:"), QString(), PageNumberLimit)
            .trimmed();
    if (answer.isEmpty())
        return;
    bool ok = false;
    const int page = answer.toInt(&ok);
    DocumentWindow *document = activeDocument();
    if (document && !(ok && document->goToPage(page)))
        m_context.dialogs.information(this, QStringLiteral("There is no page %1.").arg(answer), caption);
}

void MainWindow::cascade()
{
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        if (window->isMaximized())
            window->showNormal();
    m_mdiArea->cascadeSubWindows();
}

void MainWindow::tileHorizontally()
{
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int height = area.height() / int(windows.size());
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(0, i * height, area.width(), height);
    }
}

void MainWindow::tileVertically()
{
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int width = area.width() / int(windows.size());
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(i * width, 0, width, area.height());
    }
}

void MainWindow::minimizeAll()
{
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        (*it)->showMinimized();
}

void MainWindow::arrangeMinimized()
{
    // Minimized windows lined up from the bottom left, left to right, in rows
    // that fit the area's width, each row above the last.
    const QSize area = m_mdiArea->viewport()->size();
    int x = 0;
    int bottom = area.height();
    int rowHeight = 0;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
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

void MainWindow::fillWindowList()
{
    qDeleteAll(std::exchange(m_windowListEntries, {}));
    const QList<DocumentWindow *> windows = documents();
    if (windows.isEmpty())
        return;
    m_windowListEntries.append(m_windowMenu->addSeparator());
    for (DocumentWindow *window : windows) {
        QAction *entry = m_windowMenu->addAction(literalMenuText(window->documentPath()));
        entry->setCheckable(true);
        entry->setChecked(window == activeDocument());
        connect(entry, &QAction::triggered, this, [this, window] {
            window->show();
            m_mdiArea->setActiveSubWindow(window);
        });
        m_windowListEntries.append(entry);
    }
}

void MainWindow::updateActions()
{
    const bool hasDocuments = !m_mdiArea->subWindowList().isEmpty();
    for (Command command : {Command::WindowCascade, Command::WindowTileHorizontally, Command::WindowTileVertically,
                            Command::WindowMinimizeAll, Command::WindowArrangeAll})
        action(command)->setEnabled(hasDocuments);
    action(Command::FileClose)->setEnabled(activeDocument() != nullptr);
    action(Command::GoBack)->setEnabled(m_history.canGoBack());
    action(Command::GoForward)->setEnabled(m_history.canGoForward());
    action(Command::EditCopy)->setEnabled(m_copySource && m_copySource->selectionLength() > 0);
}

void MainWindow::focusMoved(QWidget *, QWidget *now)
{
    // The menu bar takes the focus while it is worked from the keyboard
    // (Alt+E): Copy still copies from the text that had it.
    if (!qobject_cast<QMenuBar *>(now))
        m_copySource = qobject_cast<TextView *>(now);
    updateActions();
}

void MainWindow::openDocuments(const QStringList &paths)
{
    for (const QString &path : paths)
        openDocument(path);
}

void MainWindow::restoreSession()
{
    if (!m_restoreSession)
        return;
    const QStringList paths = m_sessionList.read();
    openDocuments(paths);
    const int active = m_context.settings.readInteger(SettingsKeyPath, SessionActiveValue).value_or(-1);
    if (active >= 0 && active < paths.size())
        openDocument(paths[active]);
}

MainWindow::Session MainWindow::currentSession() const
{
    Session session;
    for (int index = 0; index < m_fileTabs->count(); ++index) {
        if (auto *window = qobject_cast<DocumentWindow *>(m_fileTabs->tabData(index).value<QObject *>())) {
            if (window == activeDocument())
                session.active = int(session.paths.size());
            session.paths << window->documentPath();
        }
    }
    return session;
}

void MainWindow::rememberRecent(const QString &path)
{
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > RecentCapacity)
        m_recent.removeLast();
    m_recentList.write(m_recent);
}

void MainWindow::fillRecentMenu()
{
    m_recentMenu->clear();
    for (const QString &path : std::as_const(m_recent)) {
        QAction *entry = m_recentMenu->addAction(QString(path).replace(u'&', QStringLiteral("&&")));
        if (!QFileInfo(path).isFile()) {
            // Still choosable, so that choosing it takes it off the list.
            QFont gone = entry->font();
            gone.setItalic(true);
            entry->setFont(gone);
            entry->setStatusTip(QStringLiteral("The file is gone; choose it to remove it from the list"));
        }
        connect(entry, &QAction::triggered, this, [this, path] {
            if (QFileInfo(path).isFile()) {
                openDocument(path);
                return;
            }
            m_recent.removeAll(path);
            m_recentList.write(m_recent);
            statusBar()->showMessage(QStringLiteral("%1 is gone").arg(path), 5000);
        });
    }
    m_recentMenu->addSeparator();
    m_recentMenu->addAction(action(Command::FileClearRecent));
    action(Command::FileClearRecent)->setEnabled(!m_recent.isEmpty());
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    openDocuments(paths);
}

QStringList MainWindow::droppedFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            paths << url.toLocalFile();
    }
    return paths;
}

void MainWindow::recordJump(const Place &from)
{
    m_history.recordJump(from);
    updateActions();
}

std::optional<Place> MainWindow::currentPlace() const
{
    if (DocumentWindow *document = activeDocument())
        return Place{document->documentPath(), document->topLine()};
    return std::nullopt;
}

void MainWindow::goThroughHistory(std::optional<Place> (JumpHistory::*step)(const Place &))
{
    Place current = currentPlace().value_or(Place());
    // Places in documents that are gone are passed over.
    while (const std::optional<Place> target = (m_history.*step)(current)) {
        if (!QFileInfo(target->path).isFile()) {
            m_history.forget(target->path);
            continue;
        }
        openDocument(target->path);
        DocumentWindow *document = activeDocument();
        if (document && document->documentPath() == target->path) {
            document->showLine(target->topLine);
            break;
        }
        current = *target;
    }
    updateActions();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The desktop's palette can change under the System theme.
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        followPalette();
    if (event->type() == QEvent::MouseButtonPress && isAncestorOf(qobject_cast<QWidget *>(watched))) {
        const auto button = static_cast<QMouseEvent *>(event)->button();
        if (button == Qt::BackButton || button == Qt::ForwardButton) {
            action(button == Qt::BackButton ? Command::GoBack : Command::GoForward)->trigger();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::createLibrary()
{
    m_library = new RfcLibrary(LibrarySettings::read(m_context.settings), this);
    connect(m_library, &RfcLibrary::openRequested, this, &MainWindow::openDocument);
    connect(m_library, &RfcLibrary::message, this, [this](const QString &text) {
        statusBar()->showMessage(text, 15000);
    });
    connect(m_library, &RfcLibrary::indexChanged, this, [this] {
        for (DocumentWindow *window : documents())
            showIndexFacts(window);
    });

    m_fetchPanel = new QWidget;
    auto *layout = new QHBoxLayout(m_fetchPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *what = new QLabel;
    auto *progress = new QProgressBar;
    progress->setMaximumWidth(160);
    progress->setMaximumHeight(14);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setToolTip(QStringLiteral("Stop fetching (Escape)"));
    layout->addWidget(what);
    layout->addWidget(progress);
    layout->addWidget(cancel);
    statusBar()->addWidget(m_fetchPanel);
    m_fetchPanel->hide();
    connect(cancel, &QPushButton::clicked, m_library, &RfcLibrary::cancelFetch);
    connect(m_library, &RfcLibrary::fetchStarted, this, [this, what, progress](const QString &name) {
        what->setText(QStringLiteral("Fetching %1").arg(name));
        progress->setRange(0, 0);
        m_fetchPanel->show();
    });
    connect(m_library, &RfcLibrary::fetchProgress, this, [progress](qint64 received, qint64 total) {
        // Kilobytes: a range of int must hold the 20 MB limit.
        progress->setRange(0, total > 0 ? int(total / 1024) : 0);
        progress->setValue(int(received / 1024));
    });
    connect(m_library, &RfcLibrary::fetchEnded, m_fetchPanel, &QWidget::hide);

    // Escape stops a fetch, unless the user is typing somewhere; it is
    // only taken while a fetch runs, so that it still closes bars and boxes.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setEnabled(false);
    connect(escape, &QShortcut::activated, this, [this] {
        if (!qobject_cast<QLineEdit *>(QApplication::focusWidget()))
            m_library->cancelFetch();
    });
    connect(m_library, &RfcLibrary::fetchStarted, escape, [escape] { escape->setEnabled(true); });
    connect(m_library, &RfcLibrary::fetchEnded, escape, [escape] { escape->setEnabled(false); });
}

void MainWindow::openArguments(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (QFileInfo(argument).isFile())
            openDocument(argument);
        else
            m_library->open(argument, QString());
    }
}

QString MainWindow::activeDocumentFolder() const
{
    const DocumentWindow *document = activeDocument();
    return document ? QFileInfo(document->documentPath()).absolutePath() : QString();
}

QStringList MainWindow::libraryFolders() const
{
    const LibrarySettings &settings = m_library->settings();
    return QStringList{settings.folder} + settings.extraFolders;
}

bool MainWindow::isInLibrary(const QString &path) const
{
    const QString folder = QFileInfo(path).absolutePath();
    for (const QString &libraryFolder : libraryFolders()) {
        if (QDir(libraryFolder).absolutePath() == folder)
            return true;
    }
    return false;
}

void MainWindow::showIndexFacts(DocumentWindow *window)
{
    const RfcIndex &index = m_library->index();
    const int rfc = RfcLibrary::rfcNumberOf(window->documentPath());
    const int tab = fileTabOf(window);
    if (tab >= 0)
        m_fileTabs->setTabToolTip(tab, plainToolTip(rfc ? index.toolTip(rfc) : QString()));
    const RfcEntry *entry = rfc ? index.entry(rfc) : nullptr;
    if (!entry) {
        window->setNotice(QString());
        return;
    }
    const auto links = [](const QList<int> &rfcs) {
        QStringList parts;
        for (int number : rfcs)
            parts << QStringLiteral("<a href=\"rfc:%1\">RFC %1</a>").arg(number);
        return parts.join(QStringLiteral(", "));
    };
    QStringList facts;
    if (!entry->obsoletedBy.isEmpty())
        facts << QStringLiteral("Obsoleted by ") + links(entry->obsoletedBy);
    if (!entry->updatedBy.isEmpty())
        facts << QStringLiteral("Updated by ") + links(entry->updatedBy);
    if (!entry->errataUrl.isEmpty())
        facts << QStringLiteral("<a href=\"%1\">Errata exist</a>").arg(entry->errataUrl.toHtmlEscaped());
    window->setNotice(facts.join(QStringLiteral(" &nbsp;\u00b7&nbsp; ")));
}

void MainWindow::openAddress(const QString &address)
{
    if (address.startsWith(QStringLiteral("rfc:"))) {
        m_library->open(QStringLiteral("RFC ") + address.mid(4), activeDocumentFolder());
        return;
    }
    const QUrl url(address);
    if ((url.scheme() == u"http" || url.scheme() == u"https")
        && m_context.dialogs.confirm(this, QStringLiteral("Open %1 in the web browser?").arg(address),
                                     QStringLiteral("Open Link")))
        m_context.dialogs.shellOpen(this, url);
}

void MainWindow::followLink(const LinkTarget &target)
{
    if (target.kind == LinkTarget::Kind::Url) {
        openAddress(target.url);
        return;
    }
    const std::optional<DocumentName> name = DocumentName::parse(target.document);
    if (!name)
        return;
    const QString folder = activeDocumentFolder();
    const QString path = m_library->find(*name, folder);
    if (path.isEmpty()) {
        const LibrarySettings &library = m_library->settings();
        statusBar()->showMessage(QStringLiteral("%1 is not in %2")
                                     .arg(name->displayName(),
                                          (QStringList{folder, library.folder} + library.extraFolders)
                                              .join(QStringLiteral(", "))),
                                 15000);
        return;
    }
    if (const std::optional<Place> from = currentPlace())
        recordJump(*from);
    openDocument(path);
    DocumentWindow *document = activeDocument();
    if (!document || target.section.isEmpty())
        return;
    if (const int line = document->lineOfSection(target.section); line > 0)
        document->showLine(line);
    else
        statusBar()->showMessage(QStringLiteral("%1 has no section %2").arg(name->displayName(), target.section), 10000);
}

void MainWindow::createSearch()
{
    if (m_context.searchIndexPath.isEmpty()) {
        action(Command::SearchLibrary)->setEnabled(false);
        return;
    }
    m_search = new LibrarySearch(m_context.searchIndexPath, this);
    m_searchPanel = new SearchPanel(this);
    addDockWidget(Qt::RightDockWidgetArea, m_searchPanel);
    m_searchPanel->hide();
    connect(m_searchPanel, &SearchPanel::searchRequested, this,
            [this](const QString &query, SearchPanel::Scope scope) {
                runLibrarySearch(query, scope == SearchPanel::Scope::OpenDocuments);
            });
    connect(m_searchPanel, &SearchPanel::hitChosen, this, &MainWindow::openSearchHit);
    connect(m_search, &LibrarySearch::hitsFound, m_searchPanel, &SearchPanel::showHits);
    connect(m_search, &LibrarySearch::searchRejected, m_searchPanel, &SearchPanel::showRejection);
    connect(m_search, &LibrarySearch::message, this,
            [this](const QString &text) { statusBar()->showMessage(text, 15000); });

    m_indexPanel = new QWidget;
    auto *layout = new QHBoxLayout(m_indexPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *what = new QLabel;
    auto *progress = new QProgressBar;
    progress->setMaximumWidth(160);
    progress->setMaximumHeight(14);
    progress->setTextVisible(false);
    layout->addWidget(what);
    layout->addWidget(progress);
    statusBar()->addWidget(m_indexPanel);
    m_indexPanel->hide();
    connect(m_search, &LibrarySearch::indexProgress, this, [this, what, progress](int done, int total) {
        what->setText(QStringLiteral("Indexing the library: %1 of %2 documents").arg(done).arg(total));
        progress->setRange(0, total);
        progress->setValue(done);
        m_indexPanel->show();
    });
    connect(m_search, &LibrarySearch::indexIdle, m_indexPanel, &QWidget::hide);
    m_search->updateFolders(libraryFolders());
}

void MainWindow::runLibrarySearch(const QString &query, bool openDocumentsOnly)
{
    SearchRequest request;
    request.query = query;
    if (openDocumentsOnly) {
        QStringList paths;
        for (DocumentWindow *window : documents())
            paths << window->documentPath();
        request.documents = paths;
    }
    // A copy of the RFC index: the search names documents on its own thread.
    request.label = [index = m_library->index()](const QString &path) {
        const int rfc = RfcLibrary::rfcNumberOf(path);
        const RfcEntry *entry = rfc ? index.entry(rfc) : nullptr;
        return DocumentLabel{rfc, entry ? entry->title : QString()};
    };
    m_search->search(request);
}

void MainWindow::openSearchHit(const SearchHit &hit)
{
    // The window of the file when it is open, however its path was written.
    QString path = hit.path;
    for (DocumentWindow *window : documents())
        if (QFileInfo(window->documentPath()).absoluteFilePath() == hit.path)
            path = window->documentPath();
    QWidget *focus = QApplication::focusWidget();
    if (const std::optional<Place> from = currentPlace())
        recordJump(*from);
    openDocument(path);
    DocumentWindow *document = activeDocument();
    if (!document || document->documentPath() != path)
        return;
    document->showLine(hit.line);
    TextView *view = document->textView();
    view->setSelectionStart(view->lineStart(hit.line - 1) + hit.column);
    view->setSelectionLength(hit.length);
    // Down and Return go on to the next hit.
    if (focus && m_searchPanel->isAncestorOf(focus))
        focus->setFocus();
}
