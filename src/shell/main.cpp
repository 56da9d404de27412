#include "appcontext.h"
#include "fontsettings.h"
#include "mainwindow.h"
#include "qtdialogs.h"
#include "regfilesettings.h"
#include "statefolder.h"
#include "statestore.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Folivane"));
    // Lets the desktop match the window to folivane.desktop and its icon.
    QApplication::setDesktopFileName(QStringLiteral("folivane"));

    QtDialogs dialogs;
    RegFileSettings settings(RegFileSettings::defaultFilePath());
    FontSettings fonts(settings);
    fonts.read();
    QString error;
    StateStore stateStore(prepareStateFolder(QApplication::applicationDirPath(), &error));
    if (stateStore.folder().isEmpty()) {
        dialogs.error(nullptr, error, QStringLiteral("Folivane"));
        return 1;
    }
    AppContext context{settings, dialogs, fonts, stateStore};
    MainWindow mainWindow(context);
    mainWindow.show();
    return QApplication::exec();
}
