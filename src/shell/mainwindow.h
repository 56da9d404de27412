#pragma once

#include "commands.h"

#include <QMainWindow>

class AboutBox;
struct AppContext;
class AppearanceController;
class CommandSet;
class DocumentCommands;
class DocumentManager;
class DocumentWindow;
class CitationController;
class CompareController;
class ErrataController;
class FileTabs;
class FindBar;
class FindController;
class FindDialog;
class LibraryController;
class LibrarySearch;
class MessageStrips;
class NavigationController;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTabBar;
class QToolBar;
class RfcLibrary;
class SearchController;
class SearchPanel;
class SessionController;
class StartPage;
class UserGuide;
class WindowArrangement;

// The frame window. It assembles the parts, each of which owns its
// commands: the documents and their tabs, finding, moving between places,
// the library and its search, the look, the session, the window
// arrangement. It keeps the bars and the window's own settings.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(AppContext &context);
    ~MainWindow() override;

    void openDocument(const QString &path);
    // Files, or documents of the RFC series by number or name.
    void openArguments(const QStringList &arguments);
    // Opens the documents open at the last exit, when the user wants that.
    void restoreSession();

    DocumentManager &documentManager() const { return *m_documents; }
    DocumentWindow *activeDocument() const;
    QList<DocumentWindow *> documents() const;
    RfcLibrary *library() const;

    QAction *action(Command command) const;
    QTabBar *fileTabs() const;
    QWidget *fileTabPanel() const;
    QToolBar *toolBar() const;
    QMenu *windowMenu() const;
    QLabel *lineIndicator() const { return m_lineIndicator; }
    QMdiArea *mdiArea() const { return m_mdiArea; }
    FindDialog *findDialog() const;
    FindBar *findBar() const;
    AboutBox *aboutBox() const { return m_aboutBox; }
    MessageStrips *messageStrips() const { return m_strips; }
    StartPage *startPage() const { return m_startPage; }
    // Null until Help > User Guide first shows it.
    UserGuide *userGuide() const { return m_userGuide; }
    // Null when the program runs without the library search.
    LibrarySearch *librarySearch() const;
    SearchPanel *searchPanel() const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void connectFrameCommands();
    void createStatusBar();
    void layOut();
    void readWindowSettings();
    // False when a value could not be written, with the message in *error.
    bool writeSettings(QString *error);
    void applyBarSettings();
    void placeOnScreen();
    void chooseOpenFile();
    void updateActions();
    void connectStartPage();
    void updateStartPage();
    void showUserGuide();
    void showMessage(const QString &text, int timeout);

    AppContext &m_context;
    QMdiArea *m_mdiArea;
    CommandSet *m_commands;
    DocumentManager *m_documents;
    FileTabs *m_tabs;
    DocumentCommands *m_edit;
    FindController *m_find;
    LibraryController *m_library;
    NavigationController *m_navigation;
    ErrataController *m_errata;
    CitationController *m_citations;
    CompareController *m_compare;
    SearchController *m_search;
    AppearanceController *m_appearance;
    SessionController *m_session;
    WindowArrangement *m_arrangement;
    QLabel *m_lineIndicator = nullptr;
    AboutBox *m_aboutBox = nullptr;
    MessageStrips *m_strips;
    StartPage *m_startPage;
    UserGuide *m_userGuide = nullptr;

    bool m_showToolBar = true;
    bool m_showStatusBar = true;
    bool m_showFileTabs = true;
    bool m_centred = false;
};
