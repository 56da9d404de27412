#pragma once

#include "fontrecord.h"

class QColor;
class QFont;
class QPalette;
class QTextCharFormat;

// How a stored font record becomes a Qt font, colour and heading format, and back.
namespace FontStyle {

// The record applied to base; the colour goes separately, see color().
QFont toFont(const FontRecord &record, QFont base);
QColor color(const FontRecord &record, const QPalette &palette);
QTextCharFormat headingFormat(const FontRecord &record, const QPalette &palette);
FontRecord fromFont(const QFont &font, const QColor &color, const FontRecord &previous);

} // namespace FontStyle
