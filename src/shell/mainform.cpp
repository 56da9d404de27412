#include "mainform.h"

#include "about.h"
#include "childwin.h"
#include "dialogs.h"
#include "finddialog.h"
#include "fontinfo.h"
#include "imagelist.h"
#include "product.h"
#include "settingskey.h"
#include "statefolder.h"
#include "usersettings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace {

const QString OpenFilter =
    QStringLiteral("RFC document (RFC*.*)|RFC*.*|Draft document(draft*.*)|draft*.*");
constexpr int StatusLinePanelWidth = 150;
constexpr int BookmarkNameLimit = 255;

struct ActionSpec
{
    const char *name;
    const char *category;
    const char *caption;
    QKeySequence shortcut;
    int image;
    const char *hint;
};

const ActionSpec Actions[] = {
    {"FileOpen1", "File", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), ImageList::Open, "Open|Open a file"},
    {"FileClose1", "File", "&Close", {}, -1, "Close|Close current file"},
    {"FileExit1", "File", "E&xit", {}, -1, "Exit|Exit application"},
    {"EditCopy1", "Edit", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), ImageList::Copy,
     "Copy|Copies the selection and puts it on the Clipboard"},
    {"EditPaste1", "Edit", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), ImageList::Paste,
     "Paste|Inserts Clipboard contents"},
    {"EditAddBookmark", "Edit", "&Add bookmark ...", QKeySequence(Qt::CTRL | Qt::Key_M),
     ImageList::AddBookmark, "Add Bookmark|AddBookmark"},
    {"EditDelBookmark", "Edit", "Delete bookmark", {}, -1,
     "Delete bookmark | Delete one bookmark from bookmark tab"},
    {"EditHighlight", "Edit", "Highlight", QKeySequence(Qt::Key_F5), ImageList::Highlight,
     "Highlight | Highlight your selections "},
    {"EditCancelHighlight", "Edit", "&Cancel Highlight", QKeySequence(Qt::Key_F6),
     ImageList::CancelHighlight, "Cancel Highlight | Cancel highlight"},
    {"EditFindText", "Search", "&Find ...", QKeySequence(Qt::CTRL | Qt::Key_F), ImageList::Find,
     "Find ... | Find text in current RFC document"},
    {"EditFindNext", "Search", "Find &Next", QKeySequence(Qt::Key_F3), ImageList::FindNext,
     "Find Next | Find next string in current RFC document"},
    {"ConfigFont", "Config", "&Text Font ...", {}, -1, "Font .. | Set RFC document font"},
    {"ConfigHeaderFont", "Config", "&Header Font ...", {}, -1, "Header Font...| Config Header Font ..."},
    {"ViewToolbar", "View", "&Toolbar", {}, -1, nullptr},
    {"ViewStatusbar", "View", "Status bar", {}, -1, nullptr},
    {"ViewTabpanel", "View", "Open Files &Tab", {}, -1, nullptr},
    {"WindowCascade1", "Window", "&Cascade", {}, ImageList::Cascade, "Cascade"},
    {"WindowTileHorizontal1", "Window", "Tile &Horizontally", {}, ImageList::TileHorizontally,
     "Tile Horizontally"},
    {"WindowTileVertical1", "Window", "Tile &Vertically", {}, ImageList::TileVertically, "Tile Vertically"},
    {"WindowMinimizeAll1", "Window", "&Minimize All", {}, -1, "Minimize All"},
    {"WindowArrangeAll1", "Window", "&Arrange All", {}, -1, "Arrange All"},
    {"HelpVisitWeb", "Help", "Visit website", {}, -1, nullptr},
    {"HelpSendMail", "Help", "Send Mail", {}, -1, nullptr},
    {"HelpAbout1", "Help", "&About...", {}, -1,
     "About|Displays program information, version number, and copyright"},
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

QString xdgDataHome()
{
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    return configured.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : configured;
}

// Creates the folder (and its parents); empty on success, else the reason.
QString createFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdString()), error);
    return error ? QString::fromLocal8Bit(error.message()) : QString();
}

} // namespace

TMainForm::TMainForm(std::shared_ptr<UserSettings> settings, Dialogs &dialogs, const QString &appDir)
    : m_settings(std::move(settings))
    , m_dialogs(dialogs)
    , m_mdiArea(new QMdiArea)
    , PanelTab(new QWidget)
    , PageFiles(new QTabBar)
{
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();

    auto *layout = new QVBoxLayout(PanelTab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageFiles);
    PanelTab->setFixedHeight(29);
    PanelTab->hide();
    PageFiles->setExpanding(false);
    PageFiles->setDocumentMode(true);
    connect(PageFiles, &QTabBar::tabBarClicked, this, &TMainForm::PageFilesChange);

    m_mdiArea->setBackground(palette().brush(QPalette::Dark));
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::updateActions);

    auto *client = new QWidget;
    auto *clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    clientLayout->addWidget(PanelTab);
    clientLayout->addWidget(m_mdiArea, 1);
    setCentralWidget(client);
    resize(541, 342);
    setWindowIcon(QIcon(QStringLiteral(":/folivane.svg")));

    FindDialog = new TFindDialog(this);
    connect(FindDialog, &TFindDialog::find, this, &TMainForm::FindDialogFind);

    text_font.load(m_settings, QStringLiteral("text"));
    header_font.load(m_settings, QStringLiteral("header"));
    prepareStateFolder(appDir);
    readWindowSettings();
    LayoutStatusBar();
    updateActions();
    AboutBox = new TAboutBox(m_dialogs, this);
}

TMainForm::~TMainForm()
{
    // The children go after this body, actions first; a window among them that
    // gives up the focus must not reach updateActions() then.
    disconnect(qApp, nullptr, this, nullptr);
    // Nor the area, which reports a document window still open as deactivated
    // when it is hidden with the rest.
    disconnect(m_mdiArea, nullptr, this, nullptr);
}

void TMainForm::createActions()
{
    for (const ActionSpec &row : Actions) {
        auto *action = new QAction(QString::fromLatin1(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        action->setProperty("category", QString::fromLatin1(row.category));
        action->setShortcut(row.shortcut);
        if (row.image >= 0)
            action->setIcon(ImageList::icon(row.image));
        if (row.hint)
            applyHint(action, QString::fromLatin1(row.hint));
    }
    for (const char *name : {"ViewToolbar", "ViewStatusbar", "ViewTabpanel"})
        action(QString::fromLatin1(name))->setCheckable(true);
    action(QStringLiteral("EditPaste1"))->setVisible(false);

    const auto on = [this](const char *name, void (TMainForm::*handler)()) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    on("FileOpen1", &TMainForm::FileOpen1Execute);
    connect(action(QStringLiteral("FileClose1")), &QAction::triggered, m_mdiArea, &QMdiArea::closeActiveSubWindow);
    connect(action(QStringLiteral("FileExit1")), &QAction::triggered, this, &QWidget::close);
    connect(action(QStringLiteral("EditCopy1")), &QAction::triggered, this, [] {
        if (auto *view = qobject_cast<TextView *>(QApplication::focusWidget()))
            view->copy();
    });
    on("EditAddBookmark", &TMainForm::EditAddBookmarkExecute);
    on("EditDelBookmark", &TMainForm::EditDelBookmarkExecute);
    on("EditHighlight", &TMainForm::EditHighlightExecute);
    on("EditCancelHighlight", &TMainForm::EditCancelHighlightExecute);
    on("EditFindText", &TMainForm::EditFindTextExecute);
    on("EditFindNext", &TMainForm::EditFindNextExecute);
    on("ConfigFont", &TMainForm::ConfigFontExecute);
    on("ConfigHeaderFont", &TMainForm::ConfigHeaderFontExecute);
    on("ViewToolbar", &TMainForm::ViewToolbarExecute);
    on("ViewStatusbar", &TMainForm::ViewStatusbarExecute);
    on("ViewTabpanel", &TMainForm::ViewTabpanelExecute);
    connect(action(QStringLiteral("WindowCascade1")), &QAction::triggered, this, [this] {
        for (QMdiSubWindow *window : m_mdiArea->subWindowList())
            if (window->isMaximized())
                window->showNormal();
        m_mdiArea->cascadeSubWindows();
    });
    on("WindowTileHorizontal1", &TMainForm::WindowTileHorizontal1Execute);
    on("WindowTileVertical1", &TMainForm::WindowTileVertical1Execute);
    on("WindowMinimizeAll1", &TMainForm::WindowMinimizeAll1Execute);
    on("WindowArrangeAll1", &TMainForm::WindowArrangeAll1Execute);
    on("HelpVisitWeb", &TMainForm::HelpVisitWebExecute);
    on("HelpSendMail", &TMainForm::HelpSendMailExecute);
    on("HelpAbout1", &TMainForm::HelpAbout1Execute);
    connect(qApp, &QApplication::focusChanged, this, &TMainForm::updateActions);
}

QAction *TMainForm::action(const QString &name) const
{
    return findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
}

void TMainForm::createMenus()
{
    struct MenuSpec
    {
        const char *category;
        const char *caption;
        const char *hint;
    };
    const MenuSpec menus[] = {
        {"File", "&File", "File related commands"}, {"Edit", "&Edit", "Edit commands"},
        {"Search", "&Search", nullptr},            {"Config", "&Config", "Config commands"},
        {"View", "&View", nullptr},                {"Window", "&Window", "Window related commands"},
        {"Help", "&Help", "Help topics"},
    };
    // Where a separator precedes an action in its menu.
    const QStringList separatedBefore = {QStringLiteral("FileExit1"), QStringLiteral("EditAddBookmark"),
                                         QStringLiteral("EditHighlight"), QStringLiteral("HelpAbout1")};
    for (const MenuSpec &row : menus) {
        QMenu *menu = menuBar()->addMenu(QString::fromLatin1(row.caption));
        menu->setObjectName(QString::fromLatin1(row.category) + QStringLiteral("1"));
        if (row.hint)
            menu->menuAction()->setStatusTip(QString::fromLatin1(row.hint));
        for (QAction *item : findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (item->property("category").toString() != QLatin1String(row.category))
                continue;
            if (separatedBefore.contains(item->objectName()))
                menu->addSeparator();
            menu->addAction(item);
        }
    }
    Window1 = menuBar()->findChild<QMenu *>(QStringLiteral("Window1"));
    connect(Window1, &QMenu::aboutToShow, this, &TMainForm::fillWindowList);
}

void TMainForm::createToolBar()
{
    MainToolbar = addToolBar(QStringLiteral("MainToolbar"));
    MainToolbar->setObjectName(QStringLiteral("MainToolbar"));
    MainToolbar->setMovable(false);
    MainToolbar->setIconSize(QSize(16, 16));
    MainToolbar->setContentsMargins(5, 0, 0, 0);
    const auto addSpacer = [this](int width) {
        auto *spacer = new QWidget;
        spacer->setFixedWidth(width);
        MainToolbar->addWidget(spacer);
    };
    MainToolbar->addAction(action(QStringLiteral("FileOpen1")));
    addSpacer(8);
    for (const char *name : {"EditAddBookmark", "EditHighlight", "EditCancelHighlight"})
        MainToolbar->addAction(action(QString::fromLatin1(name)));
    addSpacer(13);
    for (const char *name : {"EditFindText", "EditFindNext"})
        MainToolbar->addAction(action(QString::fromLatin1(name)));
    addSpacer(12);
    for (const char *name : {"WindowCascade1", "WindowTileHorizontal1", "WindowTileVertical1"})
        MainToolbar->addAction(action(QString::fromLatin1(name)));
}

void TMainForm::createStatusBar()
{
    m_lineIndicator = new QLabel;
    m_lineIndicator->setObjectName(QStringLiteral("LinePanel"));
    statusBar()->addPermanentWidget(m_lineIndicator);
    statusBar()->setFixedHeight(19);
}

void TMainForm::prepareStateFolder(const QString &appDir)
{
    app_dir = appDir.endsWith(u'/') ? appDir : appDir + u'/';
    temp_dir = app_dir + QStringLiteral("temp/");
    if (QFileInfo(temp_dir).isDir() || createFolder(temp_dir).isEmpty())
        return;
    // A read-only install folder: keep the state with the user's data instead.
    temp_dir = xdgDataHome() + QStringLiteral("/Tessary software/Folivane/temp/");
    const QString reason = createFolder(temp_dir);
    if (!reason.isEmpty())
        m_startupError = QStringLiteral("The folder for the documents' state cannot be created: %1 (%2).")
                             .arg(temp_dir, reason);
}

void TMainForm::readWindowSettings()
{
    const QString &key = SettingsKeyPath;
    m_settings->openKey(key);
    const auto read = [&](const char *name) { return m_settings->readInteger(key, QLatin1String(name)); };
    // The first value that cannot be read ends the reading and turns every bar on.
    const auto readAll = [&] {
        for (auto [name, flag] : {std::pair{"show_toolbar", &show_toolbar},
                                  std::pair{"show_status_bar", &show_status_bar},
                                  std::pair{"show_file_tab", &show_file_tab}}) {
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
        show_toolbar = show_status_bar = show_file_tab = true;
    // A damaged file can hold any size: past the screen's, the centred
    // window would lie wholly off it, and be stored so again on exit.
    if (const QScreen *where = screen())
        resize(size().boundedTo(where->availableGeometry().size()));
}

bool TMainForm::writeWindowSettings()
{
    const QString &key = SettingsKeyPath;
    m_settings->openKey(key);
    const std::pair<const char *, qint32> values[] = {
        {"show_toolbar", show_toolbar},     {"show_status_bar", show_status_bar},
        {"show_file_tab", show_file_tab},   {"main_height", height()},
        {"main_width", width()},
    };
    for (const auto &[name, value] : values) {
        if (!m_settings->writeInteger(key, QLatin1String(name), value)) {
            m_dialogs.error(this, QStringLiteral("Failed to set data for '%1'").arg(QLatin1String(name)),
                            QStringLiteral("Folivane"));
            return false;
        }
    }
    return true;
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMainForm::FormShow()
{
    if (!std::exchange(m_centred, true) && screen())
        move(screen()->availableGeometry().center() - rect().center());
    setWindowTitle(QLatin1String(ProductTitle) + QLatin1String(ProductVersion));
    MainToolbar->setVisible(show_toolbar);
    action(QStringLiteral("ViewToolbar"))->setChecked(show_toolbar);
    statusBar()->setVisible(show_status_bar);
    action(QStringLiteral("ViewStatusbar"))->setChecked(show_status_bar);
    action(QStringLiteral("ViewTabpanel"))->setChecked(show_file_tab);
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    LayoutStatusBar();
}

void TMainForm::LayoutStatusBar()
{
    m_lineIndicator->setFixedWidth(StatusLinePanelWidth);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        // A document that could not save its state stays open, and so does the program.
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    if (!writeWindowSettings()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TMainForm::ViewToolbarExecute()
{
    show_toolbar = action(QStringLiteral("ViewToolbar"))->isChecked();
    MainToolbar->setVisible(show_toolbar);
}

void TMainForm::ViewStatusbarExecute()
{
    show_status_bar = action(QStringLiteral("ViewStatusbar"))->isChecked();
    statusBar()->setVisible(show_status_bar);
}

void TMainForm::ViewTabpanelExecute()
{
    show_file_tab = action(QStringLiteral("ViewTabpanel"))->isChecked();
    if (activeDocument())
        PanelTab->setVisible(show_file_tab);
}

void TMainForm::FileOpen1Execute()
{
    const QString path = m_dialogs.openFileName(this, OpenFilter);
    if (!path.isEmpty())
        OpenDocument(path);
}

TMDIChild *TMainForm::activeDocument() const
{
    return qobject_cast<TMDIChild *>(m_mdiArea->activeSubWindow());
}

QList<TMDIChild *> TMainForm::documents() const
{
    QList<TMDIChild *> result;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto *document = qobject_cast<TMDIChild *>(window))
            result.append(document);
    return result;
}

void TMainForm::OpenDocument(const QString &path)
{
    TMDIChild *window = nullptr;
    for (TMDIChild *document : documents()) {
        if (document->GetDocumentPath() == path) {
            window = document;
            break;
        }
    }
    if (!window) {
        // Only regular files: a FIFO or a device named like a document is ignored.
        if (!QFileInfo(path).isFile())
            return;
        // A busy pointer while a large document loads: the load runs on this thread.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        window = new TMDIChild(this, m_mdiArea, path);
        QApplication::restoreOverrideCursor();
        if (!window->isLoaded()) {
            const QString reason = window->errorString();
            // At once, not on a later close: an open of the same path must not find it.
            m_mdiArea->removeSubWindow(window);
            delete window;
            m_dialogs.error(this, QStringLiteral("Cannot open %1:\n%2").arg(path, reason),
                            QStringLiteral("Open"));
            return;
        }
        connect(window->textView(), &QPlainTextEdit::copyAvailable, this, &TMainForm::updateActions);
        // Queued: while the signal runs, the area still lists the window.
        connect(window, &QObject::destroyed, this, &TMainForm::updateActions, Qt::QueuedConnection);
        AddFileTab(window, path);
        window->setWindowTitle(path);
    }
    if (window->isMinimized())
        window->showNormal();
    window->show();
    m_mdiArea->setActiveSubWindow(window);
    window->raise();
}

void TMainForm::AddFileTab(TMDIChild *window, const QString &path)
{
    if (PanelTab->isHidden() && show_file_tab)
        PanelTab->show();
    const int index = PageFiles->addTab(ImageList::icon(ImageList::ActiveTab), fileNamePart(path));
    PageFiles->setTabData(index, QVariant::fromValue(static_cast<QObject *>(window)));
    PageFiles->setCurrentIndex(index);
    RefreshTabImages();
}

int TMainForm::FindFileTab(TMDIChild *window) const
{
    for (int index = 0; index < PageFiles->count(); ++index)
        if (PageFiles->tabData(index).value<QObject *>() == window)
            return index;
    return -1;
}

void TMainForm::RefreshTabImages()
{
    for (int index = 0; index < PageFiles->count(); ++index)
        PageFiles->setTabIcon(index, ImageList::icon(index == PageFiles->currentIndex() ? ImageList::ActiveTab
                                                                                       : ImageList::OtherTab));
}

void TMainForm::PageFilesChange(int index)
{
    if (index < 0)
        return;
    if (auto *window = qobject_cast<TMDIChild *>(PageFiles->tabData(index).value<QObject *>())) {
        window->show();
        m_mdiArea->setActiveSubWindow(window);
    }
}

void TMainForm::dispatchDocMessage(int message, qint32 first, qint32 second, TMDIChild *window)
{
    switch (message) {
    case WM_DOC_NOTIFY:
        WMDocNotify(DocEvent(first & 0xff), window);
        break;
    case WM_DOC_LINE:
        WMDocLine(first, second);
        break;
    default:
        break;
    }
}

void TMainForm::WMDocNotify(DocEvent event, TMDIChild *window)
{
    const int index = FindFileTab(window);
    if (index < 0)
        return;
    if (event == DocEvent::Activated)
        PageFiles->setCurrentIndex(index);
    else
        PageFiles->removeTab(index);
    if (PageFiles->count() == 0)
        PanelTab->hide();
    else
        RefreshTabImages();
}

void TMainForm::WMDocLine(qint32 line, qint32 count)
{
    m_lineIndicator->setText(QStringLiteral("line: %1/%2").arg(line).arg(count));
}

void TMainForm::EditAddBookmarkExecute()
{
    if (!activeDocument())
        return;
    const QString name = m_dialogs.inputBox(this, QStringLiteral("Bookmark"),
                                            QStringLiteral("Please input bookmark name:"), QString(),
                                            BookmarkNameLimit);
    if (!name.isEmpty())
        if (TMDIChild *document = activeDocument())
            document->AddBookmark(name);
}

void TMainForm::EditDelBookmarkExecute()
{
    if (TMDIChild *document = activeDocument())
        document->DeleteBookmark();
}

void TMainForm::EditHighlightExecute()
{
    if (TMDIChild *document = activeDocument())
        document->HighlightSelection();
}

void TMainForm::EditCancelHighlightExecute()
{
    if (TMDIChild *document = activeDocument())
        document->UnhighlightSelection();
}

void TMainForm::EditFindTextExecute()
{
    if (!activeDocument())
        return;
    FindDialog->show();
    FindDialog->raise();
    FindDialog->activateWindow();
}

void TMainForm::FindDialogFind()
{
    // The dialog can outlive the last document.
    if (TMDIChild *document = activeDocument())
        document->SearchDocument(FindDialog->text(), {FindDialog->matchCase(), FindDialog->wholeWord()});
}

void TMainForm::EditFindNextExecute()
{
    if (TMDIChild *document = activeDocument())
        document->SearchAgain();
}

void TMainForm::ConfigFontExecute()
{
    ChooseFont(text_font);
}

void TMainForm::ConfigHeaderFontExecute()
{
    ChooseFont(header_font);
}

// Only the record changes: documents take it when they are next opened, and
// it is stored when the program ends.
void TMainForm::ChooseFont(Tfont_info &record)
{
    QFont font;
    record.apply_to(font);
    QColor color = record.qtColor(palette());
    if (m_dialogs.chooseFont(this, font, color))
        record.assign_from(font, color);
}

void TMainForm::HelpVisitWebExecute()
{
    m_dialogs.shellOpen(this, QUrl(QLatin1String(WebAddress)));
}

void TMainForm::HelpSendMailExecute()
{
    m_dialogs.shellOpen(this, QUrl(QLatin1String(MailAddress)));
}

void TMainForm::HelpAbout1Execute()
{
    m_dialogs.showModal(*AboutBox);
}

void TMainForm::WindowTileHorizontal1Execute()
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

void TMainForm::WindowTileVertical1Execute()
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

void TMainForm::WindowMinimizeAll1Execute()
{
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        (*it)->showMinimized();
}

void TMainForm::WindowArrangeAll1Execute()
{
    // Minimized windows lined up along the bottom, left to right.
    const int bottom = m_mdiArea->viewport()->height();
    int x = 0;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        window->move(x, bottom - window->height());
        x += window->width();
    }
}

void TMainForm::fillWindowList()
{
    qDeleteAll(std::exchange(m_windowListEntries, {}));
    const QList<TMDIChild *> windows = documents();
    if (windows.isEmpty())
        return;
    m_windowListEntries.append(Window1->addSeparator());
    for (TMDIChild *window : windows) {
        QAction *entry = Window1->addAction(window->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(window == activeDocument());
        connect(entry, &QAction::triggered, this, [this, window] {
            window->show();
            m_mdiArea->setActiveSubWindow(window);
        });
        m_windowListEntries.append(entry);
    }
}

void TMainForm::updateActions()
{
    const bool hasDocuments = !m_mdiArea->subWindowList().isEmpty();
    for (const char *name : {"WindowCascade1", "WindowTileHorizontal1", "WindowTileVertical1",
                             "WindowMinimizeAll1", "WindowArrangeAll1"})
        action(QString::fromLatin1(name))->setEnabled(hasDocuments);
    action(QStringLiteral("FileClose1"))->setEnabled(activeDocument() != nullptr);
    const auto *view = qobject_cast<TextView *>(QApplication::focusWidget());
    action(QStringLiteral("EditCopy1"))->setEnabled(view && view->SelLength() > 0);
}
