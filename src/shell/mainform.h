#pragma once

#include "documenthost.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTabBar;
class QToolBar;
class TAboutBox;
class TFindDialog;
class Tfont_info;
class UserSettings;

// The frame window: menus, tool bar, the open-files tab strip, the document
// windows and the status bar with the caret's line.
class TMainForm : public QMainWindow, public DocumentHost
{
    Q_OBJECT

public:
    // appDir is the folder whose "temp/" subfolder keeps the documents' state.
    TMainForm(std::shared_ptr<UserSettings> settings, Dialogs &dialogs, const QString &appDir);
    ~TMainForm() override;

    // False when no state folder could be made; startupError() says why.
    bool isUsable() const { return m_startupError.isEmpty(); }
    QString startupError() const { return m_startupError; }

    void OpenDocument(const QString &path);
    TMDIChild *activeDocument() const;
    QList<TMDIChild *> documents() const;

    void dispatchDocMessage(int message, qint32 first, qint32 second, TMDIChild *window) override;
    Dialogs &dialogs() override { return m_dialogs; }

    QAction *action(const QString &name) const;
    QTabBar *fileTabs() const { return PageFiles; }
    QWidget *fileTabPanel() const { return PanelTab; }
    QToolBar *toolBar() const { return MainToolbar; }
    QLabel *lineIndicator() const { return m_lineIndicator; }
    QMdiArea *mdiArea() const { return m_mdiArea; }
    QMenu *windowMenu() const { return Window1; }
    TFindDialog *findDialog() const { return FindDialog; }
    TAboutBox *aboutBox() const { return AboutBox; }

    // The open-files tab of a document window, or -1.
    int FindFileTab(TMDIChild *window) const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void readWindowSettings();
    bool writeWindowSettings();
    void prepareStateFolder(const QString &appDir);

    void FormShow();
    void LayoutStatusBar();
    void FileOpen1Execute();
    void ViewToolbarExecute();
    void ViewStatusbarExecute();
    void ViewTabpanelExecute();
    void EditAddBookmarkExecute();
    void EditDelBookmarkExecute();
    void EditHighlightExecute();
    void EditCancelHighlightExecute();
    void EditFindTextExecute();
    void FindDialogFind();
    void EditFindNextExecute();
    void ConfigFontExecute();
    void ConfigHeaderFontExecute();
    void ChooseFont(Tfont_info &record);
    void HelpVisitWebExecute();
    void HelpSendMailExecute();
    void HelpAbout1Execute();
    void WindowTileHorizontal1Execute();
    void WindowTileVertical1Execute();
    void WindowMinimizeAll1Execute();
    void WindowArrangeAll1Execute();
    void fillWindowList();
    void updateActions();

    void AddFileTab(TMDIChild *window, const QString &path);
    void RefreshTabImages();
    void PageFilesChange(int index);
    void WMDocNotify(DocEvent event, TMDIChild *window);
    void WMDocLine(qint32 line, qint32 count);

    std::shared_ptr<UserSettings> m_settings;
    Dialogs &m_dialogs;
    QString m_startupError;

    bool show_toolbar = true;
    bool show_status_bar = true;
    bool show_file_tab = true;
    bool m_centred = false;

    QMdiArea *m_mdiArea;
    QToolBar *MainToolbar = nullptr;
    QWidget *PanelTab;
    QTabBar *PageFiles;
    QLabel *m_lineIndicator = nullptr;
    QMenu *Window1 = nullptr;
    QList<QAction *> m_windowListEntries;
    TFindDialog *FindDialog = nullptr;
    TAboutBox *AboutBox = nullptr;
};
