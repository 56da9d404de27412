#include "statefolder.h"

#include "userfolders.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace {

// Creates the folder (and its parents); empty on success, else the reason.
QString createFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdString()), error);
    return error ? QString::fromLocal8Bit(error.message()) : QString();
}

// An installed program keeps its desktop entry in ../share beside its folder;
// it must not make a state folder inside bin/.
bool isInstalled(const QString &appDir)
{
    return QFileInfo::exists(appDir + QStringLiteral("../share/applications/folivane.desktop"));
}

// A folder that exists may still refuse files (a read-only install): the
// state files could then never be saved.
bool acceptsFiles(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral("probe-XXXXXX"));
    return probe.open() && probe.write("x", 1) == 1 && probe.flush();
}

} // namespace

QString prepareStateFolder(const QString &appDir, QString *error)
{
    const QString programFolder = appDir.endsWith(u'/') ? appDir : appDir + u'/';
    const QString besideProgram = programFolder + QStringLiteral("temp/");
    const bool made = QFileInfo(besideProgram).isDir()
                      || (!isInstalled(programFolder) && createFolder(besideProgram).isEmpty());
    if (made && acceptsFiles(besideProgram))
        return besideProgram;
    // A read-only install folder: keep the state with the user's data instead.
    const QString userFolder = folivaneFolder(UserFolder::Data) + QStringLiteral("/temp/");
    const QString reason = createFolder(userFolder);
    if (reason.isEmpty())
        return userFolder;
    if (error)
        *error = QStringLiteral("The folder for the documents' state cannot be created: %1 (%2).")
                     .arg(userFolder, reason);
    return QString();
}
