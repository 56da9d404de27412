#pragma once

#include <QString>

// Chooses and creates the folder of the per-document state files: "temp/"
// beside the program, or in the user's data folder when that cannot be made
// or written, or the program is an installed one.
// Empty when neither can be made, with the reason in *error.
QString prepareStateFolder(const QString &appDir, QString *error);
