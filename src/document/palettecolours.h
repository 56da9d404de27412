#pragma once

class QColor;
class QPalette;
class QTextCharFormat;

// Colours of the reader's own marks that must stay readable on light and
// dark palettes alike.
namespace PaletteColours {

// Whether the palette shows light text on a dark base.
bool isDark(const QPalette &palette);
// The look of highlighted text: yellow on light palettes; on dark ones a
// darker amber with light text.
QTextCharFormat highlightFormat(const QPalette &palette);
// Behind the matches the find bar marks: the selection's colour, paler on
// light palettes and deeper on dark ones, so that the text stays readable.
QColor matchMarkBackground(const QPalette &palette);
// The contrast ratio of two colours as the accessibility guidelines define
// it, from 1 (none) to 21 (black on white).
double contrast(const QColor &a, const QColor &b);

} // namespace PaletteColours
