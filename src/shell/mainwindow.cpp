#include "mainwindow.h"

#include "about.h"
#include "appcontext.h"
#include "dialogs.h"
#include "documentwindow.h"
#include "finddialog.h"
#include "fontsettings.h"
#include "fontstyle.h"
#include "imagelist.h"
#include "product.h"
#include "textview.h"
#include "usersettings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace {

// Published names have no dot as often as they have one (rfc7777).
const QString OpenFilter =
    QStringLiteral("RFC document (RFC*)|RFC*|Draft document (draft*)|draft*|All files (*)|*");
const QString LastFolderName = QStringLiteral("last_folder");
const QString ProgramCaption = QStringLiteral("Folivane");
constexpr int StatusLinePanelWidth = 150;
constexpr int BookmarkNameLimit = 255;

enum class Menu { File, Edit, Search, Config, View, Window, Help };

struct CommandSpec
{
    Command command;
    const char *name;
    Menu menu;
    const char *caption;
    QKeySequence shortcut;
    int image;
    const char *hint;
    bool separatorBefore = false;
};

// The one command table, in menu order.
const CommandSpec Commands[] = {
    {Command::FileOpen, "FileOpen", Menu::File, "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), ImageList::Open,
     "Open|Open a file"},
    {Command::FileClose, "FileClose", Menu::File, "&Close", {}, -1, "Close|Close current file"},
    {Command::FileExit, "FileExit", Menu::File, "E&xit", {}, -1, "Exit|Exit application", true},
    {Command::EditCopy, "EditCopy", Menu::Edit, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), ImageList::Copy,
     "Copy|Copies the selection and puts it on the Clipboard"},
    {Command::EditPaste, "EditPaste", Menu::Edit, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V),
     ImageList::Paste, "Paste|Inserts Clipboard contents"},
    {Command::EditAddBookmark, "EditAddBookmark", Menu::Edit, "&Add bookmark ...",
     QKeySequence(Qt::CTRL | Qt::Key_M), ImageList::AddBookmark, "Add Bookmark|AddBookmark", true},
    {Command::EditDeleteBookmark, "EditDeleteBookmark", Menu::Edit, "Delete bookmark", {}, -1,
     "Delete bookmark | Delete one bookmark from bookmark tab"},
    {Command::EditHighlight, "EditHighlight", Menu::Edit, "Highlight", QKeySequence(Qt::Key_F5),
     ImageList::Highlight, "Highlight | Highlight your selections ", true},
    {Command::EditCancelHighlight, "EditCancelHighlight", Menu::Edit, "&Cancel Highlight",
     QKeySequence(Qt::Key_F6), ImageList::CancelHighlight, "Cancel Highlight | Cancel highlight"},
    {Command::SearchFind, "SearchFind", Menu::Search, "&Find ...", QKeySequence(Qt::CTRL | Qt::Key_F),
     ImageList::Find, "Find ... | Find text in current RFC document"},
    {Command::SearchFindNext, "SearchFindNext", Menu::Search, "Find &Next", QKeySequence(Qt::Key_F3),
     ImageList::FindNext, "Find Next | Find next string in current RFC document"},
    {Command::ConfigTextFont, "ConfigTextFont", Menu::Config, "&Text Font ...", {}, -1,
     "Font .. | Set RFC document font"},
    {Command::ConfigHeaderFont, "ConfigHeaderFont", Menu::Config, "&Header Font ...", {}, -1,
     "Header Font...| Config Header Font ..."},
    {Command::ViewToolbar, "ViewToolbar", Menu::View, "&Toolbar", {}, -1, nullptr},
    {Command::ViewStatusBar, "ViewStatusBar", Menu::View, "Status bar", {}, -1, nullptr},
    {Command::ViewFileTabs, "ViewFileTabs", Menu::View, "Open Files &Tab", {}, -1, nullptr},
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

struct MenuSpec
{
    Menu menu;
    const char *caption;
    const char *hint;
};

const MenuSpec Menus[] = {
    {Menu::File, "&File", "File related commands"},
    {Menu::Edit, "&Edit", "Edit commands"},
    {Menu::Search, "&Search", nullptr},
    {Menu::Config, "&Config", "Config commands"},
    {Menu::View, "&View", nullptr},
    {Menu::Window, "&Window", "Window related commands"},
    {Menu::Help, "&Help", "Help topics"},
};

// "short|long": the short form is the tool tip, the long one the status tip.
void applyHint(QAction *action, const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

// The file-name part of a path: the text after its last separator.
QString fileNamePart(const QString &path)
{
    qsizetype cut = -1;
    for (const QChar separator : {u'\\', u':', u'/'})
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

    m_mdiArea->setBackground(palette().brush(QPalette::Dark));
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::updateActions);

    auto *client = new QWidget;
    auto *clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    clientLayout->addWidget(m_fileTabPanel);
    clientLayout->addWidget(m_mdiArea, 1);
    setCentralWidget(client);
    // Its menu of bars would hide the tool bar behind the View menu's back.
    setContextMenuPolicy(Qt::PreventContextMenu);
    resize(541, 342);
    setWindowIcon(QIcon(QStringLiteral(":/folivane.svg")));

    m_findDialog = new FindDialog(this);
    connect(m_findDialog, &FindDialog::find, this, &MainWindow::findFromDialog);

    readWindowSettings();
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
    for (const CommandSpec &row : Commands) {
        auto *action = new QAction(QString::fromLatin1(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        action->setShortcut(row.shortcut);
        if (row.image >= 0)
            action->setIcon(ImageList::icon(row.image));
        if (row.hint)
            applyHint(action, QString::fromLatin1(row.hint));
        m_actions[std::size_t(row.command)] = action;
    }
    for (Command command : {Command::ViewToolbar, Command::ViewStatusBar, Command::ViewFileTabs})
        action(command)->setCheckable(true);
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
    connect(action(Command::FileClose), &QAction::triggered, m_mdiArea, &QMdiArea::closeActiveSubWindow);
    on(Command::FileExit, &QWidget::close);
    on(Command::EditCopy, [this] {
        if (m_copySource)
            m_copySource->copy();
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
    onDocument(Command::SearchFindNext, &DocumentWindow::searchAgain);
    on(Command::ConfigTextFont, [this] { chooseFont(m_context.fonts.text); });
    on(Command::ConfigHeaderFont, [this] { chooseFont(m_context.fonts.header); });
    on(Command::ViewToolbar, &MainWindow::toggleToolBar);
    on(Command::ViewStatusBar, &MainWindow::toggleStatusBar);
    on(Command::ViewFileTabs, &MainWindow::toggleFileTabs);
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
}

void MainWindow::createMenus()
{
    for (const MenuSpec &spec : Menus) {
        QMenu *menu = menuBar()->addMenu(QString::fromLatin1(spec.caption));
        if (spec.hint)
            menu->menuAction()->setStatusTip(QString::fromLatin1(spec.hint));
        for (const CommandSpec &row : Commands) {
            if (row.menu != spec.menu)
                continue;
            if (row.separatorBefore)
                menu->addSeparator();
            menu->addAction(action(row.command));
        }
        if (spec.menu == Menu::Window)
            m_windowMenu = menu;
    }
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::fillWindowList);
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
    settings.openKey(key);
    const std::pair<const char *, qint32> values[] = {
        {"show_toolbar", m_showToolBar},     {"show_status_bar", m_showStatusBar},
        {"show_file_tab", m_showFileTabs},   {"main_height", height()},
        {"main_width", width()},
    };
    for (const auto &[name, value] : values) {
        if (!settings.writeInteger(key, QLatin1String(name), value)) {
            *error = QStringLiteral("Failed to set data for '%1'").arg(QLatin1String(name));
            return false;
        }
    }
    if (!m_context.fonts.write()) {
        *error = QStringLiteral("Failed to set data for '%1'").arg(QStringLiteral("font"));
        return false;
    }
    return true;
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        applyBarSettings();
}

void MainWindow::applyBarSettings()
{
    if (!std::exchange(m_centred, true) && screen())
        move(screen()->availableGeometry().center() - rect().center());
    setWindowTitle(QLatin1String(ProductTitle) + ProductVersion);
    m_toolBar->setVisible(m_showToolBar);
    action(Command::ViewToolbar)->setChecked(m_showToolBar);
    statusBar()->setVisible(m_showStatusBar);
    action(Command::ViewStatusBar)->setChecked(m_showStatusBar);
    action(Command::ViewFileTabs)->setChecked(m_showFileTabs);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
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
        if (document->documentPath() == path) {
            window = document;
            break;
        }
    }
    if (!window) {
        // Only regular files: a FIFO or a device named like a document is ignored.
        if (!QFileInfo(path).isFile())
            return;
        auto loaded = std::make_unique<DocumentWindow>(m_context.dialogs, m_context.stateStore, m_context.fonts);
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
        connect(window->textView(), &QPlainTextEdit::copyAvailable, this, &MainWindow::updateActions);
        // Queued: while the signal runs, the area still lists the window.
        connect(window, &QObject::destroyed, this, &MainWindow::updateActions, Qt::QueuedConnection);
        m_mdiArea->addSubWindow(window);
        window->showMaximized();
        window->restoreView();
        addFileTab(window, path);
        window->setWindowTitle(literalCaption(path));
        window->setWindowIcon(windowIcon());
    }
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
    // The dialog can outlive the last document.
    if (DocumentWindow *document = activeDocument())
        document->search(m_findDialog->text(), {m_findDialog->matchCase(), m_findDialog->wholeWord()});
}

// Only the record changes: documents take it when they are next opened, and
// it is stored when the program ends.
void MainWindow::chooseFont(FontRecord &record)
{
    QFont font = FontStyle::toFont(record, QFont());
    QColor color = FontStyle::color(record, palette());
    if (m_context.dialogs.chooseFont(this, font, color))
        record = FontStyle::fromFont(font, color, record);
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
