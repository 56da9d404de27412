#pragma once

#include "viewsettings.h"

class QPalette;
class QString;

// The palettes behind View, Theme: the desktop's own, or the program's light
// and dark ones for desktops that have no dark palette.
namespace ThemePalette {

QPalette dark();
// Makes theme the application's palette. The program's palettes come with
// the Fusion style, which draws every control from the palette; the System
// theme goes back to desktopStyle.
void apply(ViewSettings::Theme theme, const QString &desktopStyle);

} // namespace ThemePalette
