#include "mainform.h"
#include "qtdialogs.h"
#include "regfilesettings.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Folivane"));
    // Lets the desktop match the window to folivane.desktop and its icon.
    QApplication::setDesktopFileName(QStringLiteral("folivane"));

    QtDialogs dialogs;
    auto settings = std::make_shared<RegFileSettings>(RegFileSettings::defaultFilePath());
    TMainForm mainForm(settings, dialogs, QApplication::applicationDirPath());
    if (!mainForm.isUsable()) {
        dialogs.error(nullptr, mainForm.startupError(), QStringLiteral("Folivane"));
        return 1;
    }
    mainForm.show();
    return QApplication::exec();
}
