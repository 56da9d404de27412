#include "fontstyle.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QTextCharFormat>

namespace FontStyle {

namespace {

// The system colours a stored colour may name, by index.
QColor systemColor(int index, const QPalette &palette)
{
    switch (index) {
    case 5: // window
        return palette.color(QPalette::Base);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlight text
        return palette.color(QPalette::HighlightedText);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 17: // grey text
        return palette.color(QPalette::PlaceholderText);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    default: // window text and everything else
        return palette.color(QPalette::Text);
    }
}

} // namespace

QFont toFont(const FontRecord &record, QFont font, int zoom)
{
    font.setFamily(record.name);
    // RFCs are laid out in columns: whatever face stands in for a missing one
    // must be fixed-pitch too.
    font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    font.setFixedPitch(true);
    if (record.size > 0)
        font.setPointSizeF(qreal(record.size) * zoom / 100);
    font.setBold(record.bold);
    font.setItalic(record.italic);
    font.setUnderline(record.underline);
    font.setStrikeOut(record.strikeOut);
    return font;
}

QColor color(const FontRecord &record, const QPalette &palette)
{
    if (record.color == 0)
        return palette.color(QPalette::Text);
    if (record.color < 0)
        return systemColor(record.color & 0xff, palette);
    return QColor(record.color & 0xff, (record.color >> 8) & 0xff, (record.color >> 16) & 0xff);
}

QTextCharFormat headingFormat(const FontRecord &record, const QPalette &palette, int zoom)
{
    QTextCharFormat format;
    // Both records are written at every exit: defaults are all that tells
    // "never chosen" apart.
    if (record == FontRecord()) {
        format.setFontWeight(QFont::Bold);
        return format;
    }
    format.setForeground(color(record, palette));
    format.setFontFamilies({record.name});
    format.setFontStyleHint(QFont::TypeWriter);
    if (record.size > 0)
        format.setFontPointSize(qreal(record.size) * zoom / 100);
    format.setFontWeight(record.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(record.italic);
    format.setFontUnderline(record.underline);
    format.setFontStrikeOut(record.strikeOut);
    return format;
}

FontRecord fromFont(const QFont &font, const QColor &fontColor, const FontRecord &previous)
{
    FontRecord record = previous;
    record.name = font.family();
    record.size = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    record.color = qint32(fontColor.red() | (fontColor.green() << 8) | (fontColor.blue() << 16));
    record.bold = font.bold();
    record.italic = font.italic();
    record.underline = font.underline();
    record.strikeOut = font.strikeOut();
    return record;
}

QFont dialogFont(const FontRecord &record, bool heading)
{
    QFont font = toFont(record, QFont());
    if (heading && record == FontRecord())
        font.setBold(true);
    return font;
}

FontRecord fromDialog(const FontRecord &previous, const QFont &offered, const QColor &offeredColor,
                      const QFont &chosen, const QColor &chosenColor)
{
    if (chosen == offered && chosenColor == offeredColor)
        return previous;
    FontRecord record = fromFont(chosen, chosenColor, previous);
    if (chosenColor == offeredColor)
        record.color = previous.color;
    return record;
}

} // namespace FontStyle
