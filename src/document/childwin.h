#pragma once

#include "documenttext.h"
#include "rfcdoc.h"
#include "textview.h"

#include <QMdiSubWindow>

#include <memory>

class Chighlight_link;
enum class DocEvent : quint8;
class DocumentHost;
class QListWidget;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The window of one open document: the section index and the bookmark list
// on the left, the text on the right. It loads the document while it is
// being created and saves the document's state when it closes.
class TMDIChild : public QMdiSubWindow
{
    Q_OBJECT

public:
    static constexpr int DefaultPanelWidth = 185;

    // Shows the window in the area and loads the document.
    TMDIChild(DocumentHost *owner, QMdiArea *area, const QString &path);
    ~TMDIChild() override;

    QString GetDocumentPath() const { return doc.DocPath(); }
    // False when the document could not be read; errorString() says why.
    bool isLoaded() const { return m_loaded; }
    QString errorString() const { return m_error; }

    // Commands the main window routes to the active document window.
    void AddBookmark(const QString &name);
    void DeleteBookmark();
    void HighlightSelection();
    void UnhighlightSelection();

    struct SearchOptions
    {
        bool matchCase = false;
        bool wholeWord = false;
        friend bool operator==(const SearchOptions &, const SearchOptions &) = default;
    };
    void SearchDocument(const QString &text, SearchOptions options);
    void SearchAgain();

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

    TextView *textView() const { return RichEdit1; }
    QTreeWidget *indexTree() const { return TreeView1; }
    QListWidget *bookmarkList() const { return ListBox1; }
    int panelWidth() const;
    void setPanelWidth(int width);
    const Crfc_doc &record() const { return doc; }
    const Chighlight_link &highlightTable() const { return *highlights; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void FormActivate();
    bool FormClose();
    void LoadDocument(const QString &path);
    void ApplyHeadingFont();
    void RestoreAnnotations();
    void RestoreHighlights();
    bool SaveHighlights();
    void ClearHighlights();
    void TreeView1Click();
    void SyncIndexToCaret(int caretLine);
    void ListBox1DblClick();
    void ReportCaretLine();
    void CaretMoved();
    void ColourSelection(const QColor &background);
    void appendBookmarkEntry(int slot);
    void notifyOwner(DocEvent event);

    DocumentHost *m_owner;
    QSplitter *Splitter1;
    QTabWidget *PageControl1;
    QTreeWidget *TreeView1;
    QListWidget *ListBox1;
    TextView *RichEdit1;

    QString file_name;
    Crfc_doc doc;
    QTreeWidgetItem *last_index_node = nullptr;

    qint32 find_start = 0;
    bool find_hit = false;
    QString last_find_text;
    SearchOptions last_find_options;

    std::unique_ptr<Chighlight_link> highlights;
    bool highlights_changed = false;

    LoadTimings m_timings;
    bool m_created = false;
    bool m_loaded = false;
    QString m_error;
};
