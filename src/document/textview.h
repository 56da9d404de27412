#pragma once

#include "linkfinder.h"
#include "pagelayout.h"
#include "textsearch.h"

#include <QColor>
#include <QPlainTextEdit>
#include <QTimer>

#include <functional>
#include <optional>
#include <span>
#include <vector>

class QTextCharFormat;

// The read-only view of a document. It speaks in the document's positions,
// in which every line end counts two characters, and in lines counted from 0.
class TextView : public QPlainTextEdit
{
    Q_OBJECT

public:
    // A range of positions [start, start + length).
    struct Span
    {
        qint32 start;
        qint32 length;
    };

    // A longer line reaches the layout in pieces of this many characters, one
    // block each: shaping a line of megabytes takes seconds. Positions and
    // lines still count the line whole.
    static constexpr int WrapColumn = 10'000;
    // Text up to this many characters goes into the view at once; a longer
    // one in slices between events, the first screen first.
    static constexpr int SlicedFrom = 4'000'000;

    explicit TextView(QWidget *parent = nullptr);

    // Shows text whose lines are separated by "\n". A long text goes on
    // loading after the call; textComplete() tells when all of it is in.
    void setDocumentText(QString text);
    bool isLoading() const { return m_loaded < m_text.size(); }
    // Characters of text() in the view so far.
    qsizetype loadedLength() const { return m_loaded; }
    // Stops loading: the view keeps what it has.
    void stopLoading();
    // The blocks the view splits the long lines into: none when no line is
    // longer than WrapColumn.
    bool isWrapped() const { return !m_wraps.empty(); }
    // The text shown, control characters blanked.
    const QString &text() const { return m_text; }

    qint32 selectionStart() const;
    // Empties the selection and puts the caret there.
    void setSelectionStart(qint32 position);
    qint32 selectionLength() const;
    // Keeps the start, selects length characters and scrolls the caret into view.
    void setSelectionLength(qint32 length);
    // The selected text.
    QString selectedText() const;

    // The line that holds the end of the selection.
    int caretLine() const;
    // A folded line that scrollToLine() was asked for stays the first line
    // until the view scrolls, so that the stored top line does not depend
    // on folding.
    int firstVisibleLine() const;
    int lineCount() const;
    // The position where line (counted from 0) starts.
    qint32 lineStart(int line) const;
    // Makes line, counted from 1, the first visible line; a folded line
    // shows the next line that is not.
    void scrollToLine(int line);
    // The end position of the whole text.
    qint32 textLength() const;
    // The line that holds a position of text().
    int lineOfIndex(int index) const;

    // Called with each stretch of the text when it first comes into sight,
    // and again after restyleSeen(), so that the formats of reading aids
    // cost what is seen, not what the document holds.
    void setSeenStyler(std::function<void(Span)> styler) { m_seenStyler = std::move(styler); }
    // Every part of the text is styled anew when next seen; those in sight now.
    void restyleSeen();
    // Styles the lines in sight that are not yet.
    void styleSeen();
    // The pieces of the links that meet the span, line by line without
    // their indentation.
    std::vector<Span> linkSpans(Span span) const;

    // Hides the lines of each page break but the first, which shows as a
    // rule with the page number; no folds show every line. Lines and
    // positions keep counting every line of the text, and the caret and
    // findText() skip folded lines.
    void setPageFolds(std::vector<PageFold> folds);
    bool isFolded(int line) const;

    // The palette of the application with the given text colour; called
    // again whenever the application's palette changes.
    void applyPalette(const QColor &text);

    // First match starting in [start, start + range) and ending inside it, or -1.
    qint32 findText(const QString &what, qint32 start, qint32 range, SearchOptions options) const;

    // Where every match of needle starts, as view positions; kept for the
    // next call with the same needle and options, as typing asks again and again.
    const std::vector<qint32> &matches(const QString &needle, SearchOptions options);
    // Marks the matches in the visible part of the text, until cleared with an
    // empty needle; a mark of the moment, never a highlight.
    void markMatches(const QString &needle, SearchOptions options);
    // Readies searches that ignore case; done when a search begins, so that
    // the keys typed after it do not wait for it.
    void prepareSearch() { caseFoldedText(); }
    // Scrolls a caret that is out of sight to the middle of the view.
    void revealCaret();

    // The references of the text, by Qt position in it, made live: shown
    // underlined with a pointing hand under the pointer, followed by
    // Ctrl+click, by Enter with the caret inside and from the context menu.
    void setLinks(std::vector<Link> links);
    // What the card over a link says, shown as its tool tip and by
    // showLinkCardAtCaret(); without one the card names the target.
    void setLinkCard(std::function<QString(const LinkTarget &)> card) { m_linkCard = std::move(card); }
    // The card of the link at the caret, beside it; false when the caret is on no link.
    bool showLinkCardAtCaret();
    // Marks the line (counted from 0) for a moment, so that the eye finds
    // where a jump landed.
    void flashLine(int line);
    // The line flashLine() marks now, or -1.
    int flashedLine() const { return m_flashedLine; }
    // A bar in the left margin beside each of the lines (counted from 0).
    void setLineMarks(std::vector<int> lines, const QColor &colour);
    const std::vector<int> &lineMarks() const { return m_lineMarks; }
    // A background across the whole width of each line, under the text.
    struct LineTint
    {
        int line;
        QColor colour;
    };
    void setLineTints(std::vector<LineTint> tints);
    // The tint of a line, or an invalid colour.
    QColor lineTint(int line) const;

    // Merges the format into every span, as one edit.
    void mergeFormat(std::span<const Span> spans, const QTextCharFormat &format);
    // Takes every format off the span.
    void clearFormat(Span span);

    qint32 toViewPosition(int qtPosition) const;
    // The view position of a position of text().
    qint32 indexToViewPosition(int index) const { return index + lineOf(index); }
    int toQtPosition(qint32 position) const;

signals:
    // "/" was typed: the user wants to search.
    void findRequested();
    void linkActivated(const LinkTarget &target);
    // Ctrl and the wheel: steps up (positive) or down.
    void zoomRequested(int steps);
    // How much of a long text is in the view so far, in characters.
    void loadProgress(qint64 done, qint64 total);
    // The whole text is in the view.
    void textComplete();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void updateMatchMarks();
    void showExtraSelections();
    const Link *linkAtQtPosition(int qtPosition) const;
    const Link *linkUnder(const QPoint &viewportPoint) const;
    const Link *linkAtCaret() const;
    QString linkCardText(const Link &link) const;
    void hoverLink(const Link *link);
    // The link's text line by line, without the indentation of a following line.
    QList<QTextCursor> linkPieces(const Link &link) const;
    const QString &caseFoldedText();
    int lineOf(int index) const { return lineOfIndex(index); }
    // Between positions of text() and of the view's document, which has a
    // block break more at every wrap.
    int docPosition(int index) const;
    int textIndex(int docPos) const;
    int blockOfLine(int line) const;
    int viewToIndex(qint32 position) const;
    int lineOfBlock(const QTextBlock &block) const;
    // The text from index to end with a block break at every wrap.
    QString displayText(int from, int to) const;
    void loadSlice();
    // The blocks folds hide in lines [fromLine, toLine), as far as they are loaded.
    void setFoldBlocksVisible(int fromLine, int toLine, bool visible);
    // The fold that holds line, or nullptr.
    const PageFold *foldAt(int line) const;
    void skipFoldedLines();
    void paintSeparator(QPainter &painter, const QRectF &line, int page);
    // Calls paint(line, rect) for the first block of each line in sight.
    template<typename Paint>
    void forEachLineInSight(Paint paint);

    QString m_text;
    // Where a block break is inserted into a long line, as positions of m_text.
    std::vector<int> m_wraps;
    // How much of m_text the document holds.
    qsizetype m_loaded = 0;
    QTimer m_sliceTimer;
    std::function<void(Span)> m_seenStyler;
    int m_styleGeneration = 0;
    QString m_foldedText; // made on the first search that ignores case
    QString m_matchNeedle;
    SearchOptions m_matchOptions;
    std::vector<qint32> m_matches;
    QString m_markedNeedle;
    SearchOptions m_markedOptions;
    QList<QTextEdit::ExtraSelection> m_matchMarks;
    std::vector<Link> m_links;
    const Link *m_hoveredLink = nullptr;
    std::function<QString(const LinkTarget &)> m_linkCard;
    int m_flashedLine = -1;
    std::vector<int> m_lineMarks; // sorted
    std::vector<LineTint> m_lineTints; // sorted by line
    QColor m_lineMarkColour;
    QTimer m_flashTimer;
    // Where each line starts, in QString positions.
    std::vector<int> m_lineStarts;
    std::vector<PageFold> m_folds;
    int m_lastCaret = 0;
    int m_wheelDelta = 0;

    struct FoldedTop
    {
        int line;
        int scrollValue;
    };
    std::optional<FoldedTop> m_foldedTop;
};

