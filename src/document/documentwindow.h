#pragma once

#include "documentrecord.h"
#include "statestore.h"

#include <QMdiSubWindow>

#include <optional>

class Dialogs;
class FontSettings;
class QListWidget;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TextView;

// The window of one open document: the section index and the bookmark list
// on the left, the text on the right. It saves the document's state when it
// closes, and stays open when that fails unless the user lets it close.
class DocumentWindow : public QMdiSubWindow
{
    Q_OBJECT

public:
    DocumentWindow(Dialogs &dialogs, const StateStore &stateStore, const FontSettings &fonts,
                   QWidget *parent = nullptr);
    ~DocumentWindow() override;

    // Reads the document and its state; called once, before the window is
    // shown. False when the document could not be read, with the reason.
    bool load(const QString &path, QString *error);
    // Puts the index panel and the top line where they were left; called once
    // the window is shown, when the view knows its size.
    void restoreView();

    QString documentPath() const { return m_record.path; }

    // Commands the main window routes to the active document window.
    void addBookmark(const QString &name);
    void deleteBookmark();
    void highlightSelection();
    void unhighlightSelection();

    struct SearchOptions
    {
        bool matchCase = false;
        bool wholeWord = false;
        friend bool operator==(const SearchOptions &, const SearchOptions &) = default;
    };
    void search(const QString &text, SearchOptions options);
    void searchAgain();

    // How long each step of the load took, in nanoseconds.
    struct LoadTimings
    {
        qint64 readFile = 0;
        qint64 buildIndex = 0;
        qint64 loadText = 0;
        qint64 styleHeadings = 0;
        qint64 restoreAnnotations = 0;
        qint64 restoreView = 0;
    };
    const LoadTimings &loadTimings() const { return m_timings; }

    TextView *textView() const { return m_textView; }
    QTreeWidget *indexTree() const { return m_indexTree; }
    QListWidget *bookmarkList() const { return m_bookmarkList; }
    // The index panel's width as last set, by a drag or by setPanelWidth(),
    // however a narrow window squeezes it; the one stored at close.
    int panelWidth() const { return m_panelWidth; }
    void setPanelWidth(int width);
    const DocumentRecord &record() const { return m_record; }

signals:
    void activated();
    // Sent once the state is written, or the user chose to close without it.
    void closing();
    // Counted from 0; count is the document's line count.
    void caretLineChanged(int line, int count);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildIndexTree();
    void styleHeadings();
    void restoreBookmarks();
    void restoreHighlights();
    // False when a state file could not be written, with the reason.
    bool saveState(QString *error);
    void jumpToSelectedHeading();
    void selectHeadingAtCaret();
    void jumpToSelectedBookmark();
    void reportCaretLine();
    void caretMoved();
    void colourSelection(const QColor &background);
    void appendBookmarkEntry(int slot);

    Dialogs &m_dialogs;
    const StateStore &m_stateStore;
    const FontSettings &m_fonts;

    QSplitter *m_splitter;
    QTabWidget *m_panelTabs;
    QTreeWidget *m_indexTree;
    QListWidget *m_bookmarkList;
    TextView *m_textView;

    DocumentRecord m_record;
    std::optional<DocumentStateFiles> m_stateFiles;
    ViewState m_storedView;
    int m_panelWidth = ViewState::DefaultPanelWidth;
    std::vector<QTreeWidgetItem *> m_headingItems;
    QTreeWidgetItem *m_lastIndexItem = nullptr;

    bool m_findHit = false;
    QString m_lastFindText;
    SearchOptions m_lastFindOptions;

    bool m_highlightsChanged = false;
    // The highlight file exists but could not be read: it is never replaced.
    bool m_highlightFileUnread = false;
    LoadTimings m_timings;
};
