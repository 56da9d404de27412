#pragma once

#include "commands.h"
#include "documentwindow.h"
#include "jumphistory.h"
#include "settinglist.h"
#include "viewsettings.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <optional>

class AboutBox;
struct AppContext;
class FindBar;
class FindDialog;
class LibrarySearch;
class QAction;
class QLabel;
class QMdiArea;
class QMimeData;
class RfcLibrary;
class QMenu;
class QTabBar;
class QToolBar;
class SearchPanel;
class TextView;
struct FontRecord;
struct SearchHit;

// The frame window: menus, tool bar, the open-files tab strip, the document
// windows and the status bar with the caret's line.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(AppContext &context);
    ~MainWindow() override;

    void openDocument(const QString &path);
    void openDocuments(const QStringList &paths);
    // Files, or documents of the RFC series by number or name.
    void openArguments(const QStringList &arguments);
    RfcLibrary *library() const { return m_library; }
    // Opens the documents open at the last exit, when the user wants that.
    void restoreSession();
    DocumentWindow *activeDocument() const;
    QList<DocumentWindow *> documents() const;

    QAction *action(Command command) const { return m_actions[std::size_t(command)]; }
    QTabBar *fileTabs() const { return m_fileTabs; }
    QWidget *fileTabPanel() const { return m_fileTabPanel; }
    QToolBar *toolBar() const { return m_toolBar; }
    QLabel *lineIndicator() const { return m_lineIndicator; }
    QMdiArea *mdiArea() const { return m_mdiArea; }
    QMenu *windowMenu() const { return m_windowMenu; }
    FindDialog *findDialog() const { return m_findDialog; }
    FindBar *findBar() const { return m_findBar; }
    AboutBox *aboutBox() const { return m_aboutBox; }
    // Null when the program runs without the library search.
    LibrarySearch *librarySearch() const { return m_search; }
    SearchPanel *searchPanel() const { return m_searchPanel; }

    // The open-files tab of a document window, or -1.
    int fileTabOf(DocumentWindow *window) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void connectActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void readWindowSettings();
    void readViewSettings();
    // False when a value could not be written, with the message in *error.
    bool writeSettings(QString *error);
    void applyBarSettings();

    void chooseOpenFile();
    void toggleToolBar();
    void toggleStatusBar();
    void toggleFileTabs();
    void addBookmark();
    void findFromDialog();
    void openFindBar();
    void searchFromFindBar();
    void repeatSearch(bool forward);
    void showMatch(const DocumentWindow::MatchResult &result, const QString &text);
    void closeFindBar();
    void chooseFont(FontRecord &record, bool heading);
    void placeOnScreen();
    // Hands the view settings to every document and updates the zoom commands.
    void applyViewSettings();
    void setZoom(int zoom);
    void setTheme(ViewSettings::Theme theme);
    // Recolours what does not take the application's palette by itself: the
    // documents' text, the tool-bar images and the window area.
    void followPalette();
    void goToPage();
    void tileHorizontally();
    void tileVertically();
    void minimizeAll();
    void arrangeMinimized();
    void cascade();
    void fillWindowList();
    void fillRecentMenu();
    void rememberRecent(const QString &path);
    static QStringList droppedFiles(const QMimeData *data);

    // The open documents in tab order, and which of them is in front.
    struct Session
    {
        QStringList paths;
        int active = -1;
    };
    Session currentSession() const;

    void createLibrary();
    void createSearch();
    // The library folder and the read-only ones.
    QStringList libraryFolders() const;
    void runLibrarySearch(const QString &query, bool openDocumentsOnly);
    // Opens the hit's document at the matched words, as a jump.
    void openSearchHit(const SearchHit &hit);
    QString activeDocumentFolder() const;
    bool isInLibrary(const QString &path) const;
    // The tab's tool tip and the bar above the text, from the RFC index.
    void showIndexFacts(DocumentWindow *window);
    // A link of the bar above a text: an RFC, or a web page after a question.
    void openAddress(const QString &address);
    // A link to another document: found in its folder or the library, or said to be missing.
    void followLink(const LinkTarget &target);

    void recordJump(const Place &from);
    std::optional<Place> currentPlace() const;
    void goThroughHistory(std::optional<Place> (JumpHistory::*step)(const Place &));
    void updateActions();
    void focusMoved(QWidget *old, QWidget *now);

    void addFileTab(DocumentWindow *window, const QString &path);
    void refreshTabImages();
    void showTabDocument(int index);
    void documentActivated(DocumentWindow *window);
    void documentClosing(DocumentWindow *window);
    void showCaretLine(int line, int count);

    AppContext &m_context;
    // The style the desktop chose, for the System theme.
    QString m_desktopStyle;
    ViewSettings m_view;
    qint64 m_followedPalette = 0; // the palette's cache key
    FindBar *m_findBar;
    // The last search of either kind, which F3 and Shift+F3 repeat.
    enum class SearchSource { Dialog, FindBar };
    struct LastSearch
    {
        SearchSource source = SearchSource::Dialog;
        QString text;
        SearchOptions options;
    };
    LastSearch m_lastSearch;
    LastSearch m_searchBeforeBar; // what F3 repeats while the bar is empty
    qint32 m_findAnchor = 0;
    SettingList m_recentList;
    SettingList m_sessionList;
    QStringList m_recent;
    Session m_closedSession;
    JumpHistory m_history;
    bool m_restoreSession = true;

    bool m_showToolBar = true;
    bool m_showStatusBar = true;
    bool m_showFileTabs = true;
    bool m_centred = false;

    std::array<QAction *, CommandCount> m_actions{};
    QMdiArea *m_mdiArea;
    QToolBar *m_toolBar = nullptr;
    QWidget *m_fileTabPanel;
    QTabBar *m_fileTabs;
    QLabel *m_lineIndicator = nullptr;
    QMenu *m_windowMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    RfcLibrary *m_library = nullptr;
    QWidget *m_fetchPanel = nullptr;
    LibrarySearch *m_search = nullptr;
    SearchPanel *m_searchPanel = nullptr;
    QWidget *m_indexPanel = nullptr;
    QList<QAction *> m_windowListEntries;
    // The text view Copy works on.
    QPointer<TextView> m_copySource;
    FindDialog *m_findDialog = nullptr;
    AboutBox *m_aboutBox = nullptr;
};
