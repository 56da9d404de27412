#pragma once

#include <QPlainTextEdit>

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

    explicit TextView(QWidget *parent = nullptr);

    // Shows text whose lines are separated by "\n".
    void setDocumentText(QString text);

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
    int firstVisibleLine() const;
    int lineCount() const;
    // Scrolls by lines (negative: up), as far as the view allows.
    void lineScroll(int lines);
    // Makes line, counted from 1, the first visible line.
    void scrollToLine(int line);
    // The end position of the whole text.
    qint32 textLength() const;

    struct FindOptions
    {
        bool wholeWord = false;
        bool matchCase = false;
    };
    // First match starting in [start, start + range) and ending inside it, or -1.
    qint32 findText(const QString &what, qint32 start, qint32 range, FindOptions options) const;

    // Merges the format into every span, as one edit.
    void mergeFormat(std::span<const Span> spans, const QTextCharFormat &format);

    qint32 toViewPosition(int qtPosition) const;
    int toQtPosition(qint32 position) const;

signals:
    void keyReleased();
    void mouseReleased();
    // After the context menu closed, whatever it did (Select All moves the caret).
    void contextMenuClosed();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QString m_text;
    // Where each line starts, in QString positions.
    std::vector<int> m_lineStarts;
};

