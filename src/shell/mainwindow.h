#pragma once

#include "commands.h"

#include <QMainWindow>
#include <QPointer>

#include <array>

class AboutBox;
struct AppContext;
class DocumentWindow;
class FindDialog;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTabBar;
class QToolBar;
class TextView;
struct FontRecord;

// The frame window: menus, tool bar, the open-files tab strip, the document
// windows and the status bar with the caret's line.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(AppContext &context);
    ~MainWindow() override;

    void openDocument(const QString &path);
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
    AboutBox *aboutBox() const { return m_aboutBox; }

    // The open-files tab of a document window, or -1.
    int fileTabOf(DocumentWindow *window) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void connectActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void readWindowSettings();
    // False when a value could not be written, with the message in *error.
    bool writeSettings(QString *error);
    void applyBarSettings();

    void chooseOpenFile();
    void toggleToolBar();
    void toggleStatusBar();
    void toggleFileTabs();
    void addBookmark();
    void findFromDialog();
    void chooseFont(FontRecord &record);
    void tileHorizontally();
    void tileVertically();
    void minimizeAll();
    void arrangeMinimized();
    void cascade();
    void fillWindowList();
    void updateActions();
    void focusMoved(QWidget *old, QWidget *now);

    void addFileTab(DocumentWindow *window, const QString &path);
    void refreshTabImages();
    void showTabDocument(int index);
    void documentActivated(DocumentWindow *window);
    void documentClosing(DocumentWindow *window);
    void showCaretLine(int line, int count);

    AppContext &m_context;

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
    QList<QAction *> m_windowListEntries;
    // The text view Copy works on.
    QPointer<TextView> m_copySource;
    FindDialog *m_findDialog = nullptr;
    AboutBox *m_aboutBox = nullptr;
};
