#pragma once

#include <QString>

// The folder of the executable, with a trailing separator, and the folder of
// the per-document state files inside it. Set once when the main window is
// built.
extern QString app_dir;
extern QString temp_dir;

// The state-file name of a document: temp_dir followed by the path with every
// "\", "/", ":" and "." turned into "_".
QString StateFileName(const QString &documentPath);
