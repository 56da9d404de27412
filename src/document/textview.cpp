#include "textview.h"

#include "palettecolours.h"
#include "textchars.h"
#include "textsearch.h"
#include "plaintooltip.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QWheelEvent>

#include <algorithm>
#include <memory>

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
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!m_markedNeedle.isEmpty())
            updateMatchMarks();
    });
    m_sliceTimer.setInterval(0);
    connect(&m_sliceTimer, &QTimer::timeout, this, &TextView::loadSlice);
    // Long enough to be seen after the scroll, short enough not to linger.
    m_flashTimer.setSingleShot(true);
    m_flashTimer.setInterval(1200);
    connect(&m_flashTimer, &QTimer::timeout, this, [this] {
        m_flashedLine = -1;
        showExtraSelections();
    });
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
    if (!m_markedNeedle.isEmpty())
        updateMatchMarks();
}

void TextView::setDocumentText(QString text)
{
    m_matchNeedle.clear();
    m_matches.clear();
    m_foldedText = QString();
    setLinks({});
    TextChars::blankUnshowable(text);
    m_lineStarts.clear();
    m_lineStarts.push_back(0);
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1))
        m_lineStarts.push_back(int(i + 1));
    m_wraps.clear();
    for (size_t line = 0; line < m_lineStarts.size(); ++line) {
        const int end = line + 1 < m_lineStarts.size() ? m_lineStarts[line + 1] - 1 : int(text.size());
        for (int at = m_lineStarts[line] + WrapColumn; at < end; at += WrapColumn) {
            // A surrogate pair stays in one block.
            if (text.at(at).isLowSurrogate())
                --at;
            m_wraps.push_back(at);
        }
    }
    m_text = std::move(text);
    m_sliceTimer.stop();
    ++m_styleGeneration;
    if (m_text.size() <= SlicedFrom) {
        m_loaded = m_text.size();
        setPlainText(m_wraps.empty() ? m_text : displayText(0, int(m_text.size())));
        return;
    }
    // The first screen at once, the rest between events.
    m_loaded = std::min<qsizetype>(m_text.size(), 64 * 1024);
    setPlainText(displayText(0, int(m_loaded)));
    m_sliceTimer.start();
}

QString TextView::displayText(int from, int to) const
{
    auto wrap = std::lower_bound(m_wraps.begin(), m_wraps.end(), from);
    if (wrap == m_wraps.end() || *wrap >= to)
        return m_text.mid(from, to - from);
    QString shown;
    shown.reserve(to - from + (to - from) / WrapColumn + 1);
    for (int at = from; at < to;) {
        const int next = wrap != m_wraps.end() && *wrap < to ? *wrap : to;
        shown += QStringView(m_text).mid(at, next - at);
        if (next < to) {
            shown += u'\n';
            ++wrap;
        }
        at = next;
    }
    return shown;
}

void TextView::loadSlice()
{
    // About 20 ms of Qt's work on this machine: the window answers between slices.
    constexpr qsizetype SliceChars = 256 * 1024;
    const qsizetype to = std::min(m_text.size(), m_loaded + SliceChars);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // The line it ends in grows: it is styled again when seen.
    cursor.block().setUserState(-1);
    const int firstBlockPosition = cursor.block().position();
    const int fromLine = lineOfIndex(int(m_loaded));
    cursor.insertText(displayText(int(m_loaded), int(to)));
    m_loaded = to;
    // Folded as it comes: folding the whole text at the end would hold the window.
    if (!m_folds.empty()) {
        setFoldBlocksVisible(fromLine, lineOfIndex(int(m_loaded)) + 1, false);
        document()->markContentsDirty(firstBlockPosition, document()->characterCount() - firstBlockPosition);
    }
    emit loadProgress(m_loaded, m_text.size());
    // A listener may have stopped the load.
    if (m_loaded < m_text.size() || !m_sliceTimer.isActive())
        return;
    m_sliceTimer.stop();
    emit textComplete();
}

void TextView::stopLoading()
{
    m_sliceTimer.stop();
}

int TextView::docPosition(int index) const
{
    return index + int(std::upper_bound(m_wraps.begin(), m_wraps.end(), index) - m_wraps.begin());
}

int TextView::textIndex(int docPos) const
{
    if (m_wraps.empty())
        return docPos;
    // Break j stands at document position m_wraps[j] + j.
    int low = 0;
    int high = int(m_wraps.size());
    while (low < high) {
        const int mid = (low + high) / 2;
        if (m_wraps[size_t(mid)] + mid < docPos)
            low = mid + 1;
        else
            high = mid;
    }
    return docPos - low;
}

int TextView::blockOfLine(int line) const
{
    if (m_wraps.empty() || line <= 0)
        return line;
    const int start = m_lineStarts[size_t(std::min(line, int(m_lineStarts.size()) - 1))];
    return line + int(std::lower_bound(m_wraps.begin(), m_wraps.end(), start) - m_wraps.begin());
}

int TextView::lineOfBlock(const QTextBlock &block) const
{
    return m_wraps.empty() ? block.blockNumber() : lineOf(textIndex(block.position()));
}

int TextView::lineOfIndex(int index) const
{
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), index);
    return std::max(int(after - m_lineStarts.begin()) - 1, 0);
}

qint32 TextView::toViewPosition(int qtPosition) const
{
    return indexToViewPosition(textIndex(qtPosition));
}

int TextView::toQtPosition(qint32 position) const
{
    // What is not loaded yet ends at the end of what is.
    return std::min(docPosition(viewToIndex(position)), document()->characterCount() - 1);
}

int TextView::viewToIndex(qint32 position) const
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
    revealCaret();
}

QString TextView::selectedText() const
{
    const QTextCursor cursor = textCursor();
    const int start = textIndex(cursor.selectionStart());
    return m_text.mid(start, textIndex(cursor.selectionEnd()) - start);
}

int TextView::caretLine() const
{
    return lineOf(textIndex(textCursor().selectionEnd()));
}

int TextView::firstVisibleLine() const
{
    if (m_foldedTop && m_foldedTop->scrollValue == verticalScrollBar()->value())
        return m_foldedTop->line;
    return lineOfBlock(firstVisibleBlock());
}

qint32 TextView::lineStart(int line) const
{
    const int clamped = std::clamp(line, 0, int(m_lineStarts.size()) - 1);
    return indexToViewPosition(m_lineStarts[size_t(clamped)]);
}

int TextView::lineCount() const
{
    return int(m_lineStarts.size());
}

qint32 TextView::textLength() const
{
    return indexToViewPosition(int(m_text.size()));
}

qint32 TextView::findText(const QString &what, qint32 start, qint32 range, SearchOptions options) const
{
    if (what.isEmpty() || range <= 0)
        return -1;
    const int from = viewToIndex(start);
    const int to = viewToIndex(qint32(std::min<qint64>(qint64(start) + range, textLength())));
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = m_text.indexOf(what, from, cs); at >= 0 && at + what.size() <= to;
         at = m_text.indexOf(what, at + 1, cs)) {
        if (options.wholeWord && !TextSearch::isWholeWord(m_text, at, what.size()))
            continue;
        if (isFolded(lineOf(int(at))) || isFolded(lineOf(int(at + what.size() - 1))))
            continue;
        return indexToViewPosition(int(at));
    }
    return -1;
}

const std::vector<qint32> &TextView::matches(const QString &needle, SearchOptions options)
{
    if (needle != m_matchNeedle || options != m_matchOptions) {
        m_matchNeedle = needle;
        m_matchOptions = options;
        m_matches.clear();
        const std::vector<qsizetype> found = options.matchCase ? TextSearch::findAll(m_text, needle, options)
                                                               : TextSearch::findAll(caseFoldedText(),
                                                                                     needle.toCaseFolded(),
                                                                                     {true, options.wholeWord});
        // Matches come in order: walk the line starts along with them.
        size_t line = 0;
        for (const qsizetype at : found) {
            while (line + 1 < m_lineStarts.size() && m_lineStarts[line + 1] <= at)
                ++line;
            // Folded lines are not shown, so nothing is found in them.
            if (!m_folds.empty() && (isFolded(int(line)) || isFolded(lineOf(int(at + needle.size() - 1)))))
                continue;
            m_matches.push_back(qint32(at + qsizetype(line)));
        }
    }
    return m_matches;
}

const QString &TextView::caseFoldedText()
{
    // Folded once, so that every key of a search ignoring case is a plain
    // search. Character by character, so that no position shifts.
    if (m_foldedText.isNull()) {
        m_foldedText = m_text;
        for (QChar &c : m_foldedText) {
            // ASCII, most of every RFC, without a table lookup.
            if (c.unicode() < 0x80)
                c = QChar(c.unicode() >= u'A' && c.unicode() <= u'Z' ? c.unicode() + 32 : c.unicode());
            else if (!c.isSurrogate())
                c = c.toCaseFolded();
        }
    }
    return m_foldedText;
}

void TextView::markMatches(const QString &needle, SearchOptions options)
{
    m_markedNeedle = needle;
    m_markedOptions = options;
    updateMatchMarks();
}

void TextView::updateMatchMarks()
{
    QList<QTextEdit::ExtraSelection> marks;
    if (!m_markedNeedle.isEmpty()) {
        const std::vector<qint32> &all = matches(m_markedNeedle, m_markedOptions);
        const QTextBlock first = firstVisibleBlock();
        const QTextBlock last = cursorForPosition(viewport()->rect().bottomLeft()).block();
        const qint32 from = toViewPosition(first.position());
        const qint32 to = toViewPosition(last.position() + last.length());
        QTextCharFormat format;
        format.setBackground(PaletteColours::matchMarkBackground(palette()));
        format.setForeground(palette().color(QPalette::Text));
        const qint32 length = qint32(m_markedNeedle.size());
        for (auto at = std::lower_bound(all.begin(), all.end(), from); at != all.end() && *at < to; ++at) {
            QTextCursor cursor(document());
            cursor.setPosition(toQtPosition(*at));
            cursor.setPosition(toQtPosition(*at + length), QTextCursor::KeepAnchor);
            marks.append({cursor, format});
        }
    }
    m_matchMarks = marks;
    showExtraSelections();
}

void TextView::showExtraSelections()
{
    QList<QTextEdit::ExtraSelection> all = m_matchMarks;
    if (m_flashedLine >= 0 && m_flashedLine < lineCount()) {
        QTextCharFormat mark;
        QColor colour = palette().color(QPalette::Highlight);
        colour.setAlpha(70);
        mark.setBackground(colour);
        mark.setProperty(QTextFormat::FullWidthSelection, true);
        QTextCursor line(document()->findBlockByNumber(blockOfLine(m_flashedLine)));
        all.append({line, mark});
    }
    if (m_hoveredLink) {
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        for (const QTextCursor &piece : linkPieces(*m_hoveredLink))
            all.append({piece, underline});
    }
    setExtraSelections(all);
}

void TextView::setLinks(std::vector<Link> links)
{
    m_hoveredLink = nullptr;
    m_links = std::move(links);
}

const Link *TextView::linkAtQtPosition(int qtPosition) const
{
    const auto after = std::upper_bound(m_links.begin(), m_links.end(), qtPosition,
                                        [](int at, const Link &link) { return at < link.start; });
    if (after == m_links.begin())
        return nullptr;
    const Link &link = *std::prev(after);
    return qtPosition < link.start + link.length ? &link : nullptr;
}

namespace {

// A card keeps the spacing the document and the index write, with long
// lines (a References entry) wrapped at a line's width of the series.
QString cardToolTip(const QString &card)
{
    constexpr qsizetype Width = 72;
    QStringList lines;
    for (const QString &line : card.split(u'\n')) {
        QString rest = line;
        while (rest.size() > Width) {
            // A path or an address has no space to break at: it stays whole.
            const qsizetype cut = rest.lastIndexOf(u' ', Width);
            if (cut <= 0)
                break;
            lines << rest.left(cut);
            rest = rest.mid(cut).trimmed();
        }
        lines << rest;
    }
    return plainToolTip(lines.join(u'\n'));
}

} // namespace

const Link *TextView::linkAtCaret() const
{
    // A found match is selected with the caret at its end: take its start.
    const QTextCursor cursor = textCursor();
    return linkAtQtPosition(textIndex(cursor.hasSelection() ? cursor.selectionStart() : cursor.position()));
}

QString TextView::linkCardText(const Link &link) const
{
    const QString card = m_linkCard ? m_linkCard(link.target) : QString();
    return card.isEmpty() ? link.target.description() : card;
}

bool TextView::showLinkCardAtCaret()
{
    const Link *link = linkAtCaret();
    if (!link)
        return false;
    const QPoint below = viewport()->mapToGlobal(cursorRect().bottomLeft());
    QToolTip::showText(below, cardToolTip(linkCardText(*link)), viewport());
    return true;
}

void TextView::flashLine(int line)
{
    m_flashedLine = line;
    showExtraSelections();
    m_flashTimer.start();
}

const Link *TextView::linkUnder(const QPoint &viewportPoint) const
{
    // The nearest caret position: the character under the point is the one
    // after it, or the one before when the point is left of it.
    const QTextCursor cursor = cursorForPosition(viewportPoint);
    int at = cursor.position();
    if (viewportPoint.x() < cursorRect(cursor).left())
        --at;
    const QTextBlock line = cursor.block();
    // Past the end of the line there is no character.
    if (at < line.position() || at >= line.position() + line.length() - 1)
        return nullptr;
    return linkAtQtPosition(textIndex(at));
}

QList<QTextCursor> TextView::linkPieces(const Link &link) const
{
    QList<QTextCursor> pieces;
    const int end = link.start + link.length;
    int from = link.start;
    while (from < end) {
        while (from < end && (m_text.at(from) == u' ' || m_text.at(from) == u'\n'))
            ++from;
        int to = from;
        while (to < end && m_text.at(to) != u'\n')
            ++to;
        if (to > from) {
            QTextCursor piece(document());
            piece.setPosition(std::min(docPosition(from), document()->characterCount() - 1));
            piece.setPosition(std::min(docPosition(to), document()->characterCount() - 1), QTextCursor::KeepAnchor);
            pieces.append(piece);
        }
        from = to;
    }
    return pieces;
}

void TextView::hoverLink(const Link *link)
{
    if (link == m_hoveredLink)
        return;
    m_hoveredLink = link;
    viewport()->setCursor(link ? Qt::PointingHandCursor : Qt::IBeamCursor);
    showExtraSelections();
}

void TextView::mouseMoveEvent(QMouseEvent *event)
{
    hoverLink(event->buttons() == Qt::NoButton ? linkUnder(event->position().toPoint()) : nullptr);
    QPlainTextEdit::mouseMoveEvent(event);
}

void TextView::mousePressEvent(QMouseEvent *event)
{
    // Ctrl+click follows; a plain click only places the caret, as selections need.
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::ControlModifier) {
        if (const Link *link = linkUnder(event->position().toPoint())) {
            emit linkActivated(link->target);
            return;
        }
    }
    QPlainTextEdit::mousePressEvent(event);
}

void TextView::contextMenuEvent(QContextMenuEvent *event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    if (const Link *link = linkUnder(viewport()->mapFrom(this, event->pos()))) {
        const LinkTarget target = link->target;
        QAction *follow = new QAction(QStringLiteral("&Follow Link"), menu.get());
        connect(follow, &QAction::triggered, this, [this, target] { emit linkActivated(target); });
        menu->insertAction(menu->actions().value(0), follow);
        menu->insertSeparator(menu->actions().value(1));
    }
    menu->exec(event->globalPos());
}

bool TextView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (const Link *link = linkUnder(help->pos()))
            QToolTip::showText(help->globalPos(), cardToolTip(linkCardText(*link)), viewport());
        else
            QToolTip::hideText();
        return true;
    }
    if (event->type() == QEvent::Leave)
        hoverLink(nullptr);
    return QPlainTextEdit::viewportEvent(event);
}

void TextView::revealCaret()
{
    if (!viewport()->rect().contains(cursorRect()))
        centerCursor();
}

void TextView::keyPressEvent(QKeyEvent *event)
{
    // A read-only view has no other use for the key.
    if (event->text() == QStringLiteral("/") && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        emit findRequested();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (const Link *link = linkAtCaret()) {
            emit linkActivated(link->target);
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextView::mergeFormat(std::span<const Span> spans, const QTextCharFormat &format)
{
    // No edit at all where nothing is formatted: an edit lays its blocks out again.
    if (spans.empty())
        return;
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
    const int wanted = int(std::clamp<qint64>(qint64(line) - 1, 0, lineCount() - 1));
    QTextBlock block = document()->findBlockByNumber(blockOfLine(wanted));
    while (block.isValid() && !block.isVisible())
        block = block.next();
    if (!block.isValid())
        block = document()->lastBlock();
    while (block.isValid() && !block.isVisible())
        block = block.previous();
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(block.firstLineNumber());
    m_foldedTop.reset();
    if (isFolded(wanted) && lineOfBlock(firstVisibleBlock()) != wanted)
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
    setFoldBlocksVisible(0, lineCount(), true);
    m_folds = std::move(folds);
    setFoldBlocksVisible(0, lineCount(), false);
    // The layout learns of hidden blocks only from a change of content.
    document()->markContentsDirty(0, document()->characterCount());
    scrollToLine(top + 1);
    skipFoldedLines();
    m_matchNeedle.clear();
    m_matches.clear();
    if (!m_markedNeedle.isEmpty())
        updateMatchMarks();
    viewport()->update();
}

void TextView::setFoldBlocksVisible(int fromLine, int toLine, bool visible)
{
    // A fold keeps its first line; the blocks of the others, wrapped lines too.
    auto fold = std::lower_bound(m_folds.begin(), m_folds.end(), fromLine,
                                 [](const PageFold &candidate, int line) { return candidate.lastLine < line; });
    for (; fold != m_folds.end() && fold->firstLine + 1 < toLine; ++fold) {
        QTextBlock block = document()->findBlockByNumber(blockOfLine(std::max(fold->firstLine + 1, fromLine)));
        for (const int end = blockOfLine(std::min(fold->lastLine + 1, toLine)); block.isValid() && block.blockNumber() < end;
             block = block.next())
            block.setVisible(visible);
    }
}

void TextView::skipFoldedLines()
{
    QTextCursor cursor = textCursor();
    const int line = lineOf(textIndex(cursor.position()));
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
        if (candidate >= 0 && candidate < lineCount()) {
            target = candidate;
            break;
        }
    }
    if (target < 0)
        return;
    const int lineEnd = target + 1 < lineCount() ? m_lineStarts[size_t(target) + 1] - 1 : int(m_text.size());
    const int position = std::min(docPosition(target > line ? m_lineStarts[size_t(target)] : lineEnd),
                                  document()->characterCount() - 1);
    const int anchor = cursor.anchor();
    cursor.setPosition(cursor.hasSelection() ? anchor : position);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    m_lastCaret = position;
    setTextCursor(cursor);
}

void TextView::styleSeen()
{
    if (!m_seenStyler)
        return;
    const QPointF offset = contentOffset();
    const int bottom = viewport()->height();
    QTextBlock runStart;
    QTextBlock runEnd;
    const auto styleRun = [&] {
        if (!runStart.isValid())
            return;
        const qint32 from = toViewPosition(runStart.position());
        m_seenStyler({from, toViewPosition(runEnd.position() + runEnd.length() - 1) - from});
        for (QTextBlock block = runStart;; block = block.next()) {
            block.setUserState(m_styleGeneration);
            if (block == runEnd)
                break;
        }
        runStart = QTextBlock();
    };
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (!block.isVisible())
            continue;
        if (blockBoundingGeometry(block).translated(offset).top() > bottom)
            break;
        if (block.userState() == m_styleGeneration) {
            styleRun();
            continue;
        }
        if (!runStart.isValid())
            runStart = block;
        runEnd = block;
    }
    styleRun();
}

void TextView::restyleSeen()
{
    ++m_styleGeneration;
    styleSeen();
}

std::vector<TextView::Span> TextView::linkSpans(Span span) const
{
    std::vector<Span> spans;
    const int from = viewToIndex(span.start);
    const int to = viewToIndex(span.start + span.length);
    // Links do not nest: the first that may reach into the span is the one before it.
    auto link = std::upper_bound(m_links.begin(), m_links.end(), from,
                                 [](int at, const Link &l) { return at < l.start; });
    if (link != m_links.begin())
        --link;
    for (; link != m_links.end() && link->start < to; ++link) {
        for (const QTextCursor &piece : linkPieces(*link)) {
            const qint32 start = toViewPosition(piece.selectionStart());
            const qint32 end = toViewPosition(piece.selectionEnd());
            if (end > span.start && start < span.start + span.length)
                spans.push_back({start, end - start});
        }
    }
    return spans;
}

template<typename Paint>
void TextView::forEachLineInSight(Paint paint)
{
    const QPointF offset = contentOffset();
    const int bottom = viewport()->height();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (!block.isVisible())
            continue;
        const QRectF rect = blockBoundingGeometry(block).translated(offset);
        if (rect.top() > bottom)
            break;
        const int line = lineOfBlock(block);
        if (blockOfLine(line) == block.blockNumber())
            paint(line, rect);
    }
}

void TextView::paintEvent(QPaintEvent *event)
{
    styleSeen();
    if (!m_lineTints.empty()) {
        QPainter painter(viewport());
        forEachLineInSight([&](int line, const QRectF &rect) {
            if (const QColor colour = lineTint(line); colour.isValid())
                painter.fillRect(QRectF(0, rect.top(), viewport()->width(), rect.height()), colour);
        });
    }
    QPlainTextEdit::paintEvent(event);
    if (m_folds.empty() && m_lineMarks.empty())
        return;
    QPainter painter(viewport());
    forEachLineInSight([&](int line, const QRectF &rect) {
        if (const PageFold *fold = foldAt(line))
            paintSeparator(painter, rect, fold->pageNumber);
        if (std::binary_search(m_lineMarks.begin(), m_lineMarks.end(), line))
            // In the document's left margin, clear of the text.
            painter.fillRect(QRectF(0, rect.top() + 1, 3, rect.height() - 2), m_lineMarkColour);
    });
}

void TextView::setLineTints(std::vector<LineTint> tints)
{
    std::sort(tints.begin(), tints.end(), [](const LineTint &a, const LineTint &b) { return a.line < b.line; });
    m_lineTints = std::move(tints);
    viewport()->update();
}

QColor TextView::lineTint(int line) const
{
    const auto found = std::lower_bound(m_lineTints.begin(), m_lineTints.end(), line,
                                        [](const LineTint &tint, int value) { return tint.line < value; });
    return found != m_lineTints.end() && found->line == line ? found->colour : QColor();
}

void TextView::setLineMarks(std::vector<int> lines, const QColor &colour)
{
    std::sort(lines.begin(), lines.end());
    m_lineMarks = std::move(lines);
    m_lineMarkColour = colour;
    viewport()->update();
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
