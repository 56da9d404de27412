#pragma once

#include <QString>
#include <QStringView>

// The text of a document file, as both the view and the section index see it:
// UTF-8 when the whole file is valid UTF-8, else Windows-1252, one character
// per byte; lines end at a line feed, and a carriage return just before it
// belongs to the line end. Positions count UTF-16 code units, as QString does.
class DocumentText
{
public:
    // Larger files are refused: view positions are 32-bit.
    static constexpr qint64 MaxFileSize = qint64(512) * 1024 * 1024;
    // What a NUL byte reads as: U+2400 SYMBOL FOR NULL.
    static constexpr char16_t NulPlaceholder = 0x2400;

    static DocumentText read(const QString &path);

    bool ok() const { return m_error.isEmpty(); }
    // Why the file could not be read, for the user.
    QString errorString() const { return m_error; }

    // Lines joined by "\n"; the last line has no "\n" when the file's had none.
    const QString &text() const { return m_text; }
    QString takeText() { return std::move(m_text); }

    // Calls f(line, hasLineEnd) for every line, in order. A file that ends with
    // a line end has no empty last line.
    template<typename F>
    void forEachLine(F &&f) const
    {
        const QStringView all(m_text);
        qsizetype start = 0;
        while (start < all.size()) {
            const qsizetype end = all.indexOf(u'\n', start);
            if (end < 0) {
                f(all.mid(start), false);
                return;
            }
            f(all.mid(start, end - start), true);
            start = end + 1;
        }
    }

private:
    QString m_text;
    QString m_error;
};
