#pragma once

#include "version.h"

#include <QString>

// What the program says about itself: the caption, the About box and the
// Help menu all take these from here.
inline constexpr char ProductTitle[] = " Folivane ";
inline const QString ProductVersion = QStringLiteral("V") + QLatin1String(FolivaneVersion);
inline constexpr char WebAddress[] = "https://www.tessary.example/folivane/";
inline constexpr char MailAddress[] = "mailto:support@tessary.example";
