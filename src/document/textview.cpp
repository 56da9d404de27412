#include "textview.h"

#include "textsearch.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Control characters would show as boxes or break lines (a lone carriage
// return starts a new block); a blank of the same length keeps positions.
void blankControlCharacters(QString &text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20 && c != u'\n' && c != u'\t')
            c = u' ';
    }
}

} // namespace

TextView::TextView(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    applyPalette(QApplication::palette(this).color(QPalette::Text));
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TextView::skipFoldedLines);
}

void TextView::applyPalette(const QColor &text)
{
    QPalette p = QApplication::palette(this);
    p.setColor(QPalette::Text, text);
    // The selection stays visible without the focus.
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    // Every role the view's own: the application's palette reaches child
    // widgets later, and the view must show it now.
    p.setResolveMask(~QPalette::ResolveMask(0));
    setPalette(p);
}

void TextView::setDocumentText(QString text)
{
    blankControlCharacters(text);
    m_lineStarts.clear();
    m_lineStarts.push_back(0);
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1))
        m_lineStarts.push_back(int(i + 1));
    m_text = std::move(text);
    setPlainText(m_text);
}

int TextView::lineOf(int qtPosition) const
{
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), qtPosition);
    return std::max(int(after - m_lineStarts.begin()) - 1, 0);
}

qint32 TextView::toViewPosition(int qtPosition) const
{
    return qtPosition + lineOf(qtPosition);
}

int TextView::toQtPosition(qint32 position) const
{
    if (position <= 0)
        return 0;
    // Line k starts at view position m_lineStarts[k] + k.
    int low = 0;
    int high = int(m_lineStarts.size()) - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (qint64(m_lineStarts[mid]) + mid <= position)
            low = mid;
        else
            high = mid - 1;
    }
    const int lineStart = m_lineStarts[low];
    const int lineEnd = low + 1 < int(m_lineStarts.size()) ? m_lineStarts[low + 1] - 1 : int(m_text.size());
    // A position inside a line end lands on the end of that line.
    return int(std::min<qint64>(qint64(lineStart) + (position - lineStart - low), lineEnd));
}

qint32 TextView::selectionStart() const
{
    return toViewPosition(textCursor().selectionStart());
}

void TextView::setSelectionStart(qint32 position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(toQtPosition(position));
    setTextCursor(cursor);
}

qint32 TextView::selectionLength() const
{
    const QTextCursor cursor = textCursor();
    return toViewPosition(cursor.selectionEnd()) - toViewPosition(cursor.selectionStart());
}

void TextView::setSelectionLength(qint32 length)
{
    QTextCursor cursor = textCursor();
    const qint32 start = toViewPosition(cursor.selectionStart());
    cursor.setPosition(toQtPosition(start));
    cursor.setPosition(toQtPosition(start + std::max(length, 0)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QString TextView::selectedText() const
{
    const QTextCursor cursor = textCursor();
    return m_text.mid(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart());
}

int TextView::caretLine() const
{
    return document()->findBlock(textCursor().selectionEnd()).blockNumber();
}

int TextView::firstVisibleLine() const
{
    if (m_foldedTop && m_foldedTop->scrollValue == verticalScrollBar()->value())
        return m_foldedTop->line;
    return firstVisibleBlock().blockNumber();
}

qint32 TextView::lineStart(int line) const
{
    const int clamped = std::clamp(line, 0, int(m_lineStarts.size()) - 1);
    return toViewPosition(m_lineStarts[size_t(clamped)]);
}

int TextView::lineCount() const
{
    return int(m_lineStarts.size());
}

qint32 TextView::textLength() const
{
    return toViewPosition(int(m_text.size()));
}

qint32 TextView::findText(const QString &what, qint32 start, qint32 range, SearchOptions options) const
{
    if (what.isEmpty() || range <= 0)
        return -1;
    const int from = toQtPosition(start);
    const int to = toQtPosition(qint32(std::min<qint64>(qint64(start) + range, textLength())));
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = m_text.indexOf(what, from, cs); at >= 0 && at + what.size() <= to;
         at = m_text.indexOf(what, at + 1, cs)) {
        if (options.wholeWord && !TextSearch::isWholeWord(m_text, at, what.size()))
            continue;
        if (isFolded(lineOf(int(at))) || isFolded(lineOf(int(at + what.size() - 1))))
            continue;
        return toViewPosition(int(at));
    }
    return -1;
}

void TextView::mergeFormat(std::span<const Span> spans, const QTextCharFormat &format)
{
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const Span &span : spans) {
        cursor.setPosition(toQtPosition(span.start));
        cursor.setPosition(toQtPosition(span.start + span.length), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
}

void TextView::clearFormat(Span span)
{
    QTextCursor cursor(document());
    cursor.setPosition(toQtPosition(span.start));
    cursor.setPosition(toQtPosition(span.start + span.length), QTextCursor::KeepAnchor);
    cursor.setCharFormat(QTextCharFormat());
}

void TextView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QPlainTextEdit::wheelEvent(event);
        return;
    }
    // Touch pads send parts of a notch; whole notches make a step.
    m_wheelDelta += event->angleDelta().y();
    const int steps = m_wheelDelta / QWheelEvent::DefaultDeltasPerStep;
    m_wheelDelta -= steps * QWheelEvent::DefaultDeltasPerStep;
    if (steps != 0)
        emit zoomRequested(steps);
    event->accept();
}

void TextView::scrollToLine(int line)
{
    // In 64 bits: a stored line near the 32-bit limits must not wrap around.
    const int wanted = int(std::clamp<qint64>(qint64(line) - 1, 0, blockCount() - 1));
    QTextBlock block = document()->findBlockByNumber(wanted);
    while (block.isValid() && !block.isVisible())
        block = block.next();
    if (!block.isValid())
        block = document()->lastBlock();
    while (block.isValid() && !block.isVisible())
        block = block.previous();
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(block.firstLineNumber());
    m_foldedTop.reset();
    if (isFolded(wanted) && firstVisibleBlock().blockNumber() != wanted)
        m_foldedTop = FoldedTop{wanted, bar->value()};
}

const PageFold *TextView::foldAt(int line) const
{
    const auto after = std::upper_bound(m_folds.begin(), m_folds.end(), line,
                                        [](int l, const PageFold &fold) { return l < fold.firstLine; });
    if (after == m_folds.begin() || std::prev(after)->lastLine < line)
        return nullptr;
    return &*std::prev(after);
}

bool TextView::isFolded(int line) const
{
    return foldAt(line) != nullptr;
}

void TextView::setPageFolds(std::vector<PageFold> folds)
{
    if (folds.empty() && m_folds.empty())
        return;
    const int top = firstVisibleLine();
    for (const PageFold &fold : m_folds)
        for (int line = fold.firstLine + 1; line <= fold.lastLine; ++line)
            document()->findBlockByNumber(line).setVisible(true);
    m_folds = std::move(folds);
    for (const PageFold &fold : m_folds) {
        QTextBlock block = document()->findBlockByNumber(fold.firstLine + 1);
        for (int line = fold.firstLine + 1; line <= fold.lastLine && block.isValid(); ++line, block = block.next())
            block.setVisible(false);
    }
    // The layout learns of hidden blocks only from a change of content.
    document()->markContentsDirty(0, document()->characterCount());
    scrollToLine(top + 1);
    skipFoldedLines();
    viewport()->update();
}

void TextView::skipFoldedLines()
{
    QTextCursor cursor = textCursor();
    const int line = cursor.blockNumber();
    const PageFold *fold = foldAt(line);
    if (!fold) {
        m_lastCaret = cursor.position();
        return;
    }
    // Past the folds in the direction the caret moved; back when none follows.
    const bool forward = cursor.position() >= m_lastCaret;
    int target = -1;
    for (const int step : {forward ? 1 : -1, forward ? -1 : 1}) {
        int candidate = line;
        for (const PageFold *at = fold; at; at = foldAt(candidate))
            candidate = step > 0 ? at->lastLine + 1 : at->firstLine - 1;
        if (candidate >= 0 && candidate < blockCount()) {
            target = candidate;
            break;
        }
    }
    if (target < 0)
        return;
    const QTextBlock block = document()->findBlockByNumber(target);
    const int position = target > line ? block.position() : block.position() + block.length() - 1;
    const int anchor = cursor.anchor();
    cursor.setPosition(cursor.hasSelection() ? anchor : position);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    m_lastCaret = position;
    setTextCursor(cursor);
}

void TextView::paintEvent(QPaintEvent *event)
{
    QPlainTextEdit::paintEvent(event);
    if (m_folds.empty())
        return;
    QPainter painter(viewport());
    const QPointF offset = contentOffset();
    const int bottom = viewport()->height();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (!block.isVisible())
            continue;
        const QRectF rect = blockBoundingGeometry(block).translated(offset);
        if (rect.top() > bottom)
            break;
        if (const PageFold *fold = foldAt(block.blockNumber()))
            paintSeparator(painter, rect, fold->pageNumber);
    }
}

// The fold's one line left: a thin rule with the page number at the right,
// where the footer it stands for had it.
void TextView::paintSeparator(QPainter &painter, const QRectF &line, int page)
{
    // RFCs end their lines, footers included, at the 72nd column.
    constexpr int PageWidth = 72;
    const QRectF row(0, line.top(), viewport()->width(), line.height());
    painter.fillRect(row, palette().color(QPalette::Base));
    const QString label = QStringLiteral("[Page %1]").arg(page);
    const QFontMetricsF metrics(font());
    const qreal column = metrics.horizontalAdvance(u'x');
    const qreal textLeft = contentOffset().x() + document()->documentMargin();
    const qreal labelWidth = metrics.horizontalAdvance(label);
    const qreal labelLeft = std::min(textLeft + PageWidth * column, row.right() - column) - labelWidth;
    const qreal middle = std::floor(row.center().y()) + 0.5;
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.drawLine(QPointF(textLeft, middle), QPointF(labelLeft - column, middle));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    painter.drawText(QRectF(labelLeft, row.top(), labelWidth + 1, row.height()), Qt::AlignVCenter | Qt::AlignLeft,
                     label);
}
