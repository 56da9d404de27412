#pragma once

#include <QString>

// The program's key in the per-user settings store. The main window keeps its
// values in the key itself; each font record in a subkey named after it.
inline const QString SettingsKeyPath = QStringLiteral("\\Software\\Tessary software\\Folivane\\config\\");
