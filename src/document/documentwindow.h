#pragma once

#include "document.h"
#include "gototarget.h"
#include "documentfind.h"
#include "jumphistory.h"
#include "searchabletext.h"
#include "textstyler.h"
#include "textview.h"
#include "viewsettings.h"

#include <QMdiSubWindow>

class Dialogs;
class DocumentPanel;
class FontSettings;
class NoticeBar;
class QLabel;
class QListWidget;
class QSplitter;
class QTreeWidget;

// The window of one open document: the section index and the bookmark list
// on the left, the text on the right. It saves the document's state when it
// closes, and stays open when that fails unless the user lets it close.
class DocumentWindow : public QMdiSubWindow, public SearchableText
{
    Q_OBJECT

public:
    DocumentWindow(Dialogs &dialogs, const StateStore &stateStore, const FontSettings &fonts,
                   QWidget *parent = nullptr);
    ~DocumentWindow() override;

    // Takes the document over; called once, before the window is shown.
    // False when the document could not be read, with the reason, and then
    // the window is left as it was.
    bool setDocument(Document document, QString *error);
    // Reads the document and its state here and takes it over.
    bool load(const QString &path, QString *error);
    // Puts the loaded text into the view with its headings, bookmarks and
    // highlights, and the index panel and top line where they were left.
    // Called once the window is shown: a view laid out before it has its size
    // would lay the whole text out again.
    void showText();
    // False while a large text still goes into the view in slices.
    bool isTextComplete() const { return m_textComplete; }
    // Still taking its text in, and not given up.
    bool isOpening() const { return !m_textComplete && !m_discarding; }
    // Closes at once and writes no state: an open the user cancelled.
    void discard();
    // Zoom, page folding and emphasis; before load() or at any time after.
    void setViewSettings(const ViewSettings &settings);
    // Takes the font records and the application palette anew.
    void restyle();

    QString documentPath() const { return m_document.path(); }
    const std::optional<DocumentName> &documentName() const { return m_document.name(); }

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

    void search(const QString &text, SearchOptions options) override;
    void searchAgain() override;
    // Jumps to the first line of the page with the printed number; false
    // when the document has no such page.
    bool goToPage(int page);
    // The citation of the caret's section, with the selection quoted below.
    QString reference() const override;
    // The number of the section that holds the caret ("3.8.1"), or empty.
    QString caretSection() const;

    // Goes to a line, section, page or bookmark; false when the document
    // has none such, with nothing moved.
    bool goTo(const GoToTarget &target);
    // What Go To offers as the user types: the index entries, then the bookmarks.
    QStringList goToCompletions() const;
    QStringList bookmarkNames() const;

    // What a link's card says of a document other than this one, for the
    // library to answer; a place in this document the window describes itself.
    void setOtherDocumentCard(std::function<QString(const LinkTarget &)> card);

    // Selects the first match starting at or after from (forward), or the
    // last one starting before it, going round the end when there is none;
    // nothing moves when the text has no match.
    MatchResult findMatch(const QString &text, SearchOptions options, qint32 from, bool forward) override;
    // Marks every match of the text in sight; an empty text clears the marks.
    void markMatches(const QString &text, SearchOptions options) override;
    TextView *searchedView() const override { return m_textView; }

    // How long each step of the load took, in nanoseconds: the document's
    // own steps, those that also have a part here (buildIndex with the index
    // tree, foldPages with the folding, restoreAnnotations with reading the
    // highlights) as the sum of both, then those of the window.
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

    // A bar above the text with what the RFC index and the errata say of the
    // document (rich text with links), one part for each source; all empty
    // hides it. The user can close it.
    void setNotice(const QString &source, const QString &html);
    // A tab of the panel beside the text, after Index and Bookmarks; the
    // window takes it over.
    // A link of the bar above the text to noticeLink (when given) brings it in front.
    void addSideTab(QWidget *tab, const QString &title, const QString &noticeLink = {});
    // Brings a tab in front, showing the panel.
    void showSideTab(QWidget *tab);
    // An icon before the index entries of these headings (indices into the
    // outline), with a tool tip; the others get a blank one, so titles stay aligned.
    void markHeadings(const std::vector<std::pair<int, QString>> &headings, const QIcon &icon);
    QLabel *notice() const;

    TextView *textView() const { return m_textView; }
    QTreeWidget *indexTree() const;
    QListWidget *bookmarkList() const;
    // The index panel's width as last set, by a drag or by setPanelWidth(),
    // however a narrow window squeezes it; the one stored at close.
    int panelWidth() const { return m_panelWidth; }
    void setPanelWidth(int width);
    const DocumentRecord &record() const { return m_document.record(); }

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
    // Part of the stored state could not be read; the rest is shown.
    void stateProblem(const QString &text);
    void noticeLinkActivated(const QString &link);
    // How much of a large text is in the view, in characters.
    void textProgress(qint64 done, qint64 total);
    // The whole text is in, with its highlights and the stored top line.
    void textCompleted();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The styling and state that wait for the whole text.
    void finishText();
    void restoreAnnotations();
    bool refuseHighlightChange();
    void followLink(const LinkTarget &target);
    QString linkCard(const LinkTarget &target) const;
    void jumpToBookmark(int slot);
    // The bookmark slots in use, in list order: what bookmarkNames() counts.
    std::vector<int> usedBookmarkSlots() const;

    Dialogs &m_dialogs;
    const StateStore &m_stateStore;

    QSplitter *m_splitter;
    DocumentPanel *m_panel;
    TextView *m_textView;
    NoticeBar *m_noticeBar;

    Document m_document;
    TextStyler m_style;
    DocumentFind m_find;
    bool m_textShown = false;
    bool m_textComplete = false;
    bool m_discarding = false;
    int m_panelWidth = ViewState::DefaultPanelWidth;
    // Off while the index itself scrolls the view: near the end of the text
    // the heading cannot reach the top line, and its entry stays selected.
    bool m_followTopLine = true;
    LoadTimings m_timings;
    std::function<QString(const LinkTarget &)> m_otherDocumentCard;
};
