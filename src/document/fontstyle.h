#pragma once

#include "fontrecord.h"

class QColor;
class QFont;
class QPalette;
class QTextCharFormat;

// How a stored font record becomes a Qt font, colour and heading format, and back.
namespace FontStyle {

// The record applied to base at zoom percent of its size; the colour goes
// separately, see color().
QFont toFont(const FontRecord &record, QFont base, int zoom = 100);
// Colour 0, the stored default, is the palette's text colour.
QColor color(const FontRecord &record, const QPalette &palette);
// A record equal to the defaults makes headings the text font in bold; any
// other is used as stored, its size scaled by zoom percent.
QTextCharFormat headingFormat(const FontRecord &record, const QPalette &palette, int zoom);
FontRecord fromFont(const QFont &font, const QColor &color, const FontRecord &previous);

// What the font dialog opens on: a default heading record shows as headings
// are drawn, in bold.
QFont dialogFont(const FontRecord &record, bool heading);
// The record after the dialog was confirmed: what the user left as offered
// stays as stored, so a palette's colour or a default heading never becomes
// a chosen one.
FontRecord fromDialog(const FontRecord &previous, const QFont &offered, const QColor &offeredColor,
                      const QFont &chosen, const QColor &chosenColor);

} // namespace FontStyle
