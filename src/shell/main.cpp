#include "appcontext.h"
#include "documentname.h"
#include "fontsettings.h"
#include "librarysearch.h"
#include "mainwindow.h"
#include "product.h"
#include "qtdialogs.h"
#include "regfilesettings.h"
#include "singleinstance.h"
#include "statefolder.h"
#include "statestore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace {

// The documents named on the command line: files as absolute paths, and
// names of the RFC series as they are; anything else is reported and left out.
QStringList documentArguments(const QStringList &arguments)
{
    QStringList paths;
    for (const QString &argument : arguments) {
        const QFileInfo file(argument);
        if (!file.exists() && DocumentName::parse(argument)) {
            paths << argument;
            continue;
        }
        if (!file.exists()) {
            std::fprintf(stderr, "folivane: %s: No such file\n", qUtf8Printable(argument));
            continue;
        }
        paths << file.absoluteFilePath();
    }
    return paths;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Folivane"));
    QApplication::setApplicationVersion(QLatin1String(FolivaneVersion));
    // Lets the desktop match the window to folivane.desktop and its icon.
    QApplication::setDesktopFileName(QStringLiteral("folivane"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A reader for RFC and Internet-Draft text files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("documents"),
                                 QStringLiteral("Files to open, or RFCs and drafts by number or name "
                                                "(9293, rfc9293, bcp14, std7, draft-ietf-quic-transport-34)."),
                                 QStringLiteral("[FILE | NUMBER | NAME...]"));
    parser.process(app);
    const QStringList documents = documentArguments(parser.positionalArguments());

    RegFileSettings settings(RegFileSettings::defaultFilePath());
    SingleInstance instance(settings.filePath());
    if (instance.handOver(documents))
        return 0;

    QtDialogs dialogs;
    FontSettings fonts(settings);
    fonts.read();
    QString error;
    StateStore stateStore(prepareStateFolder(QApplication::applicationDirPath(), &error));
    if (stateStore.folder().isEmpty()) {
        dialogs.error(nullptr, error, QStringLiteral("Folivane"));
        return 1;
    }
    AppContext context{settings, dialogs, fonts, stateStore, LibrarySearch::defaultPath()};
    MainWindow mainWindow(context);
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &mainWindow,
                     [&mainWindow](const QStringList &paths) {
                         mainWindow.openArguments(paths);
                         mainWindow.setWindowState(mainWindow.windowState() & ~Qt::WindowMinimized);
                         mainWindow.raise();
                         mainWindow.activateWindow();
                     });
    mainWindow.show();
    if (documents.isEmpty())
        mainWindow.restoreSession();
    else
        mainWindow.openArguments(documents);
    return QApplication::exec();
}
