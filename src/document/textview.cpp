#include "textview.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

// Characters the view would show as boxes, or that would start a new line
// there but not in the file (a lone carriage return, the Unicode line and
// paragraph separators, the frame marks U+FDD0 and U+FDD1): a blank of the
// same length keeps positions and line numbers.
bool isUnshowable(QChar c)
{
    switch (c.unicode()) {
    case QChar::LineSeparator:
    case QChar::ParagraphSeparator:
    case 0xfdd0:
    case 0xfdd1:
        return true;
    default:
        return c.unicode() < 0x20 && c != u'\n' && c != u'\t';
    }
}

void blankUnshowable(QString &text)
{
    for (QChar &c : text) {
        if (isUnshowable(c))
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
    // The selection stays visible without the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

void TextView::setDocumentText(QString text)
{
    blankUnshowable(text);
    m_lineStarts.clear();
    m_lineStarts.push_back(0);
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1))
        m_lineStarts.push_back(int(i + 1));
    m_text = std::move(text);
    setPlainText(m_text);
}

qint32 TextView::toViewPosition(int qtPosition) const
{
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), qtPosition);
    const auto line = qint32(after - m_lineStarts.begin()) - 1;
    return qtPosition + std::max(line, 0);
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
    return firstVisibleBlock().blockNumber();
}

int TextView::lineCount() const
{
    return int(m_lineStarts.size());
}

void TextView::lineScroll(int lines)
{
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(int(std::clamp<qint64>(qint64(bar->value()) + lines, bar->minimum(), bar->maximum())));
}

qint32 TextView::textLength() const
{
    return toViewPosition(int(m_text.size()));
}

qint32 TextView::findText(const QString &what, qint32 start, qint32 range, FindOptions options) const
{
    if (what.isEmpty() || range <= 0)
        return -1;
    const int from = toQtPosition(start);
    const int to = toQtPosition(qint32(std::min<qint64>(qint64(start) + range, textLength())));
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = m_text.indexOf(what, from, cs); at >= 0 && at + what.size() <= to;
         at = m_text.indexOf(what, at + 1, cs)) {
        const qsizetype end = at + what.size();
        const bool wordStart = at == 0 || !isWordCharacter(m_text.at(at - 1));
        const bool wordEnd = end == m_text.size() || !isWordCharacter(m_text.at(end));
        if (!options.wholeWord || (wordStart && wordEnd))
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

void TextView::keyReleaseEvent(QKeyEvent *event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void TextView::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit mouseReleased();
}

void TextView::contextMenuEvent(QContextMenuEvent *event)
{
    // Run to its end here: the base class's menu outlives the event, so
    // nothing would tell when its command is done.
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    menu->exec(event->globalPos());
    emit contextMenuClosed();
}

void TextView::scrollToLine(int line)
{
    // In 64 bits: a stored line near the 32-bit limits must not wrap around.
    const qint64 lines = qint64(line) - firstVisibleLine() - 1;
    lineScroll(
        int(std::clamp<qint64>(lines, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
}
