#pragma once

#include "documentrecord.h"
#include "jumphistory.h"
#include "linkfinder.h"
#include "pagelayout.h"
#include "statestore.h"
#include "textsearch.h"
#include "textview.h"
#include "viewsettings.h"

#include <QMdiSubWindow>

#include <optional>

class Dialogs;
class FontSettings;
class QLabel;
class QListWidget;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

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
    // Puts the loaded text into the view with its headings, bookmarks and
    // highlights, and the index panel and top line where they were left.
    // Called once the window is shown: a view laid out before it has its size
    // would lay the whole text out again.
    void showText();
    // Zoom, page folding and emphasis; before load() or at any time after.
    void setViewSettings(const ViewSettings &settings);
    // Takes the font records and the application palette anew.
    void restyle();

    QString documentPath() const { return m_record.path; }

    // Puts line (counted from 1) at the top of the view and the caret at its
    // start, with no selection; a jump the user can go back from.
    void jumpToLine(int line);
    // The same without recording a jump, for going back and forward.
    void showLine(int line);
    // The line (counted from 1) of a section or appendix ("3.2", "A.1"), or -1.
    int lineOfSection(QStringView number) const;
    // The line at the top of the view, counted from 1.
    int topLine() const;

    // Commands the main window routes to the active document window.
    void addBookmark(const QString &name);
    void deleteBookmark();
    void highlightSelection();
    void unhighlightSelection();

    void search(const QString &text, SearchOptions options);
    void searchAgain();
    // Jumps to the first line of the page with the printed number; false
    // when the document has no such page.
    bool goToPage(int page);
    // The citation of the caret's section, with the selection quoted below.
    QString reference() const;

    // Which match a search of the find bar selected: counted from 0, -1 when
    // there is none; wrapped when it went past an end of the text.
    struct MatchResult
    {
        int index = -1;
        int count = 0;
        bool wrapped = false;
    };
    // Selects the first match starting at or after from (forward), or the
    // last one starting before it, going round the end when there is none;
    // nothing moves when the text has no match.
    MatchResult findMatch(const QString &text, SearchOptions options, qint32 from, bool forward);
    // Marks every match of the text in sight; an empty text clears the marks.
    void markMatches(const QString &text, SearchOptions options);

    // How long each step of the load took, in nanoseconds.
    struct LoadTimings
    {
        qint64 readFile = 0;
        qint64 buildIndex = 0;
        qint64 findLinks = 0;
        qint64 loadText = 0;
        qint64 styleHeadings = 0; // and requirement words
        qint64 foldPages = 0;
        qint64 restoreAnnotations = 0;
        qint64 restoreView = 0;
    };
    const LoadTimings &loadTimings() const { return m_timings; }

    // A bar above the text with what the RFC index says of the document
    // (rich text with links); empty hides it. The user can close it.
    void setNotice(const QString &html);
    QLabel *notice() const { return m_notice; }

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
    // A jump is about to leave the place.
    void jumping(const Place &from);
    // A link to another document or a web page, for the main window to follow.
    void externalLinkActivated(const LinkTarget &target);
    // A one-line report for the status bar.
    void message(const QString &text);
    void noticeLinkActivated(const QString &link);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildIndexTree();
    void applyFont();
    // Sets the formats of the range afresh: headings, requirement words, highlights.
    void styleRange(TextView::Span range);
    const std::vector<TextView::Span> &requirementWords();
    void foldPages();
    void restoreBookmarks();
    void restoreHighlights();
    bool refuseHighlightChange();
    void showNotice();
    // False when a state file could not be written, with the reason.
    bool saveState(QString *error);
    void jumpToHeading(QTreeWidgetItem *entry);
    // Selects the index entry of the section that holds line (counted from 0).
    void selectHeadingAtLine(int line);
    void followTopLine();
    void jumpToSelectedBookmark();
    void reportCaretLine();
    void followLink(const LinkTarget &target);
    void caretMoved();
    void appendBookmarkEntry(int slot);

    Dialogs &m_dialogs;
    const StateStore &m_stateStore;
    const FontSettings &m_fonts;

    QSplitter *m_splitter;
    QTabWidget *m_panelTabs;
    QTreeWidget *m_indexTree;
    QListWidget *m_bookmarkList;
    TextView *m_textView;
    QWidget *m_noticeBar;
    QString m_noticeHtml; // as given, before its links are coloured
    QLabel *m_notice;
    bool m_noticeClosed = false;

    ViewSettings m_view;
    DocumentRecord m_record;
    std::vector<PageFold> m_pageFolds;
    // Looked for when first shown; empty when the document does not cite
    // the keywords' definition.
    std::optional<std::vector<TextView::Span>> m_requirementWords;
    std::optional<DocumentStateFiles> m_stateFiles;
    ViewState m_storedView;
    QString m_text; // read, not yet shown
    bool m_textShown = false;
    std::vector<Link> m_links;  // not yet shown
    std::vector<ReferenceEntry> m_references;
    int m_panelWidth = ViewState::DefaultPanelWidth;
    std::vector<QTreeWidgetItem *> m_headingItems;
    // Off while the index itself scrolls the view: near the end of the text
    // the heading cannot reach the top line, and its entry stays selected.
    bool m_followTopLine = true;

    bool m_findHit = false;
    QString m_lastFindText;
    SearchOptions m_lastFindOptions;

    bool m_highlightsChanged = false;
    // The highlight file exists but could not be read: it is never replaced.
    bool m_highlightFileUnread = false;
    // The state file held more entries than are read.
    bool m_stateCut = false;
    LoadTimings m_timings;
};
