#include "mainwindow.h"

#include "about.h"
#include "appcontext.h"
#include "appearancecontroller.h"
#include "commandset.h"
#include "dialogs.h"
#include "documentcommands.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "citationcontroller.h"
#include "comparecontroller.h"
#include "erratacontroller.h"
#include "filetabs.h"
#include "findbar.h"
#include "findcontroller.h"
#include "fontsettings.h"
#include "librarycontroller.h"
#include "messagestrips.h"
#include "navigationcontroller.h"
#include "product.h"
#include "rfclibrary.h"
#include "searchcontroller.h"
#include "sessioncontroller.h"
#include "settingnames.h"
#include "startpage.h"
#include "statusprogress.h"
#include "usersettings.h"
#include "userguide.h"
#include "windowarrangement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Published names have no dot as often as they have one (rfc7777).
const QString OpenFilter =
    QStringLiteral("RFC document (RFC*)|RFC*|Draft document (draft*)|draft*|All files (*)|*");
const QString LastFolderName = QLatin1String(SettingNames::LastFolder);
const QString ProgramCaption = QStringLiteral("Folivane");
constexpr int StatusLinePanelWidth = 150;

// The local files among dropped addresses.
QStringList droppedFiles(const QMimeData *data)
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

} // namespace

MainWindow::MainWindow(AppContext &context)
    : m_context(context)
    , m_mdiArea(new QMdiArea)
    , m_commands(new CommandSet(*this))
    , m_documents(new DocumentManager(context, *m_mdiArea, this))
    , m_tabs(new FileTabs(*m_documents, this))
    , m_edit(new DocumentCommands(*m_commands, *m_documents, context.dialogs, *this))
    , m_find(new FindController(*m_commands, *m_documents, *this))
    , m_strips(new MessageStrips)
    , m_startPage(new StartPage(*m_mdiArea))
{
    createStatusBar();
    layOut();
    setWindowIcon(QIcon(QStringLiteral(":/folivane.svg")));
    readWindowSettings();
    m_appearance = new AppearanceController(context, *m_commands, *m_documents, *m_tabs, *m_mdiArea, *this);
    m_library = new LibraryController(context, *m_commands, *m_documents, *m_tabs, *this, *statusBar());
    m_navigation = new NavigationController(*m_commands, *m_documents, *m_library, context.dialogs, *this);
    m_search = new SearchController(context.searchIndexPath, *m_commands, *m_documents, *m_library, *m_navigation,
                                    *this);
    m_errata = new ErrataController(*m_commands, *m_documents, *m_library, this);
    m_citations = new CitationController(context.searchIndexPath, *m_documents, *m_navigation, m_search->search(), this);
    m_compare = new CompareController(context.dialogs, *m_commands, *m_documents, *m_library, *m_mdiArea, *this);
    m_session = new SessionController(context.settings, *m_commands, *m_documents, *m_tabs, this);
    m_arrangement = new WindowArrangement(*m_commands, *m_documents, *m_mdiArea, this);
    const auto reportOf = [this](auto *part) {
        connect(part, &std::remove_pointer_t<decltype(part)>::message, this, &MainWindow::showMessage);
    };
    reportOf(m_find);
    reportOf(m_compare);
    reportOf(m_errata);
    reportOf(m_library);
    reportOf(m_navigation);
    reportOf(m_search);
    reportOf(m_session);
    connect(m_library, &LibraryController::problem, m_strips,
            [this](const QString &source, const QString &text) {
                m_strips->showMessage(source, MessageStrips::Level::Error, text);
            });
    connect(m_library, &LibraryController::problemSolved, m_strips, &MessageStrips::clear);
    connectFrameCommands();
    connectStartPage();
    setAcceptDrops(true);
    updateActions();
    m_aboutBox = new AboutBox(m_context.dialogs, this);
}

MainWindow::~MainWindow()
{
    // The children go after this body; a window among them that gives up
    // the focus, or the area reporting a window hidden with the rest, must
    // not reach parts already gone.
    disconnect(qApp, nullptr, m_edit, nullptr);
    disconnect(m_mdiArea, nullptr, m_documents, nullptr);
    disconnect(m_documents, nullptr, nullptr, nullptr);
}

void MainWindow::connectFrameCommands()
{
    m_commands->onTriggered(Command::FileOpen, this, &MainWindow::chooseOpenFile);
    connect(action(Command::FileClose), &QAction::triggered, m_mdiArea, &QMdiArea::closeActiveSubWindow);
    m_commands->onTriggered(Command::FileExit, this, &QWidget::close);
    m_commands->onTriggered(Command::ViewToolbar, this, [this](bool checked) {
        m_showToolBar = checked;
        toolBar()->setVisible(checked);
    });
    m_commands->onTriggered(Command::ViewStatusBar, this, [this](bool checked) {
        m_showStatusBar = checked;
        statusBar()->setVisible(checked);
    });
    m_commands->onTriggered(Command::ViewFileTabs, this, [this](bool checked) {
        m_showFileTabs = checked;
        m_tabs->setWanted(checked);
    });
    m_commands->onTriggered(Command::HelpVisitWebsite, this,
                            [this] { m_context.dialogs.shellOpen(this, QUrl(QLatin1String(WebAddress))); });
    m_commands->onTriggered(Command::HelpSendMail, this,
                            [this] { m_context.dialogs.shellOpen(this, QUrl(QLatin1String(MailAddress))); });
    m_commands->onTriggered(Command::HelpUserGuide, this, &MainWindow::showUserGuide);
    m_commands->onTriggered(Command::HelpAbout, this, [this] { m_context.dialogs.showModal(*m_aboutBox); });

    connect(m_documents, &DocumentManager::opened, this, [this](DocumentWindow *window) {
        connect(window, &DocumentWindow::caretLineChanged, this, [this](int line, int count) {
            m_lineIndicator->setText(QStringLiteral("line: %1/%2").arg(line).arg(count));
        });
        connect(window, &DocumentWindow::message, this, [this](const QString &text) { showMessage(text, 10000); });
        // One strip for each document's state, standing after the document closes.
        connect(window, &DocumentWindow::stateProblem, this, [this, path = window->documentPath()](const QString &text) {
            m_strips->showMessage(QStringLiteral("state:") + path, MessageStrips::Level::Warning, text);
        });
        // Queued: while the signal runs, the area still lists the window.
        connect(window, &QObject::destroyed, this, &MainWindow::updateActions, Qt::QueuedConnection);
    });
    connect(m_documents, &DocumentManager::activeChanged, this, &MainWindow::updateActions);
}

void MainWindow::connectStartPage()
{
    connect(m_startPage, &StartPage::openRequested, m_library, &LibraryController::openTyped);
    connect(m_startPage, &StartPage::recentChosen, m_session, &SessionController::openRecent);
    connect(m_startPage, &StartPage::userGuideRequested, this, &MainWindow::showUserGuide);
    connect(m_session, &SessionController::recentChanged, this, &MainWindow::updateStartPage);
    connect(&m_library->library(), &RfcLibrary::indexChanged, this, &MainWindow::updateStartPage);
    // Gone with the first document, back when the last has gone; queued, as
    // the area still lists a window while it is being destroyed.
    connect(m_documents, &DocumentManager::opened, this, [this](DocumentWindow *window) {
        m_startPage->hide();
        connect(window, &QObject::destroyed, this, &MainWindow::updateStartPage, Qt::QueuedConnection);
    });
    connect(m_documents, &DocumentManager::activeChanged, this, &MainWindow::updateStartPage);
    // The stored index only: a start with nothing open fetches nothing.
    m_library->library().loadStoredIndex();
    updateStartPage();
}

void MainWindow::updateStartPage()
{
    const bool wanted = m_documents->documents().isEmpty();
    m_startPage->setVisible(wanted);
    if (!wanted)
        return;
    m_startPage->raise();
    m_startPage->setCompletions(m_library->library().completions());
    m_startPage->setRecentDocuments(m_session->recentDocuments());
}

void MainWindow::showUserGuide()
{
    if (!m_userGuide)
        m_userGuide = new UserGuide(this);
    m_userGuide->show();
    m_userGuide->raise();
    m_userGuide->activateWindow();
}

void MainWindow::createStatusBar()
{
    m_lineIndicator = new QLabel;
    m_lineIndicator->setObjectName(QStringLiteral("LinePanel"));
    m_lineIndicator->setFixedWidth(StatusLinePanelWidth);
    statusBar()->addPermanentWidget(m_lineIndicator);
    statusBar()->setFixedHeight(19);

    auto *opening = new StatusProgress(QStringLiteral("Stop opening; nothing of the document is kept"));
    opening->setObjectName(QStringLiteral("OpeningProgress"));
    statusBar()->addWidget(opening);
    connect(m_documents, &DocumentManager::openingProgress, opening,
            [opening](const QString &name, qint64 done, qint64 total) {
                opening->show(QStringLiteral("Opening %1").arg(name), done, total);
            });
    connect(m_documents, &DocumentManager::openingEnded, opening, &QWidget::hide);
    connect(opening, &StatusProgress::cancelRequested, m_documents, &DocumentManager::cancelOpening);
}

void MainWindow::layOut()
{
    auto *client = new QWidget;
    auto *clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    clientLayout->addWidget(m_tabs->panel());
    clientLayout->addWidget(m_strips);
    clientLayout->addWidget(m_mdiArea, 1);
    clientLayout->addWidget(m_find->findBar());
    setCentralWidget(client);
    // Its menu of bars would hide the tool bar behind the View menu's back.
    setContextMenuPolicy(Qt::PreventContextMenu);
    resize(541, 342);
}

void MainWindow::showMessage(const QString &text, int timeout)
{
    if (text.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(text, timeout);
}

void MainWindow::readWindowSettings()
{
    UserSettings &settings = m_context.settings;
    const QString &key = SettingsKeyPath;
    settings.openKey(key);
    const auto read = [&](const char *name) { return settings.readInteger(key, QLatin1String(name)); };
    // The first value that cannot be read ends the reading and turns every bar on.
    const auto readAll = [&] {
        for (auto [name, flag] : {std::pair{SettingNames::ShowToolbar, &m_showToolBar},
                                  std::pair{SettingNames::ShowStatusBar, &m_showStatusBar},
                                  std::pair{SettingNames::ShowFileTabs, &m_showFileTabs}}) {
            const std::optional<qint32> value = read(name);
            if (!value)
                return false;
            *flag = *value != 0;
        }
        const std::optional<qint32> height = read(SettingNames::MainHeight);
        if (!height)
            return false;
        resize(width(), *height);
        const std::optional<qint32> width = read(SettingNames::MainWidth);
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
    using namespace SettingNames;
    const std::pair<const char *, qint32> values[] = {
        {ShowToolbar, m_showToolBar}, {ShowStatusBar, m_showStatusBar}, {ShowFileTabs, m_showFileTabs},
        {MainHeight, height()},       {MainWidth, width()},
    };
    QString failed;
    for (const auto &[name, value] : values) {
        if (failed.isEmpty() && !settings.writeInteger(key, QLatin1String(name), value))
            failed = QLatin1String(name);
    }
    if (failed.isEmpty())
        failed = m_session->writeSettings();
    if (failed.isEmpty() && !m_library->library().settings().write(settings))
        failed = QLatin1String(SettingNames::LibraryFolder);
    if (failed.isEmpty() && !m_context.fonts.write())
        failed = QStringLiteral("font");
    if (failed.isEmpty())
        failed = m_appearance->writeSettings();
    if (!failed.isEmpty())
        *error = QStringLiteral("Failed to set data for '%1'").arg(failed);
    return failed.isEmpty();
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
    toolBar()->setVisible(m_showToolBar);
    action(Command::ViewToolbar)->setChecked(m_showToolBar);
    statusBar()->setVisible(m_showStatusBar);
    action(Command::ViewStatusBar)->setChecked(m_showStatusBar);
    action(Command::ViewFileTabs)->setChecked(m_showFileTabs);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_session->keepSession();
    // A document that could not save its state stays open, and so does the program.
    if (!m_documents->closeAll()) {
        event->ignore();
        return;
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
    m_documents->open(paths);
}

void MainWindow::updateActions()
{
    m_arrangement->updateActions();
    m_edit->updateActions();
    action(Command::FileClose)->setEnabled(m_mdiArea->activeSubWindow() != nullptr);
}

void MainWindow::openDocument(const QString &path)
{
    m_documents->open(path);
}

void MainWindow::openArguments(const QStringList &arguments)
{
    m_library->openArguments(arguments);
}

void MainWindow::restoreSession()
{
    m_session->restoreSession();
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
    m_documents->open(paths);
}


DocumentWindow *MainWindow::activeDocument() const
{
    return m_documents->active();
}

QList<DocumentWindow *> MainWindow::documents() const
{
    return m_documents->documents();
}

RfcLibrary *MainWindow::library() const
{
    return &m_library->library();
}

QAction *MainWindow::action(Command command) const
{
    return m_commands->action(command);
}

QTabBar *MainWindow::fileTabs() const
{
    return m_tabs->tabs();
}

QWidget *MainWindow::fileTabPanel() const
{
    return m_tabs->panel();
}

QToolBar *MainWindow::toolBar() const
{
    return m_commands->toolBar();
}

QMenu *MainWindow::windowMenu() const
{
    return m_commands->windowMenu();
}

FindDialog *MainWindow::findDialog() const
{
    return m_find->findDialog();
}

FindBar *MainWindow::findBar() const
{
    return m_find->findBar();
}

LibrarySearch *MainWindow::librarySearch() const
{
    return m_search->search();
}

SearchPanel *MainWindow::searchPanel() const
{
    return m_search->panel();
}
