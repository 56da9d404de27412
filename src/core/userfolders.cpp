#include "userfolders.h"

#include <QDir>
#include <QStandardPaths>

namespace {

const QString ProgramFolder = QStringLiteral("/Tessary software/Folivane");

} // namespace

QString folivaneFolder(UserFolder kind)
{
    switch (kind) {
    case UserFolder::Config:
    case UserFolder::Cache: {
        const bool config = kind == UserFolder::Config;
        QString base = QStandardPaths::writableLocation(config ? QStandardPaths::GenericConfigLocation
                                                               : QStandardPaths::GenericCacheLocation);
        // Qt takes a relative one as it is.
        if (base.isEmpty() || QDir::isRelativePath(base))
            base = QDir::homePath() + (config ? QStringLiteral("/.config") : QStringLiteral("/.cache"));
        return base + ProgramFolder;
    }
    case UserFolder::Data:
        break;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + ProgramFolder;
}
