#pragma once

#include "appcontext.h"
#include "fakedialogs.h"
#include "fontsettings.h"
#include "memorysettings.h"
#include "statestore.h"
#include "testfiles.h"

#include <QTemporaryDir>

#include <memory>

class DocumentWindow;
class MainWindow;

// The names in a document window's bookmark list, top to bottom.
QStringList bookmarkNames(DocumentWindow *window);

// The program as main() assembles it, on the given settings, dialogs and
// program folder (whose "temp/" keeps the documents' state).
class AssembledProgram
{
public:
    AssembledProgram(UserSettings &store, Dialogs &dialogs, const QString &appDir);
    ~AssembledProgram();

    FontSettings fonts;
    StateStore stateStore;
    AppContext context;
    std::unique_ptr<MainWindow> window;
};

// A main window on fake dialogs and in-memory settings, whose program folder
// (and so its state folder) is a temporary folder.
class AppFixture
{
public:
    AppFixture();
    ~AppFixture();

    // Builds and shows the main window, as the program starts; again after
    // close() for a new run. startOn() runs on another settings store.
    MainWindow *start();
    MainWindow *startOn(UserSettings &store);
    // Closes the main window as the user would; true when it closed.
    bool close();

    MainWindow *form() const { return program ? program->window.get() : nullptr; }
    // The texts of the message strips standing above the documents, oldest
    // first; none before start() or after close().
    QStringList strips() const;
    FontSettings &fonts() const { return program->fonts; }

    // A document in the fixture's folder with the given content.
    QString document(const QString &name, const QByteArray &content) const;
    // Opens and waits until the document is shown (or refused).
    DocumentWindow *open(const QString &path);
    // Waits until every document asked for is shown or refused.
    void settle() const;
    QString stateFolder() const;
    // The library folder the fixture's settings name; not made.
    QString libraryFolder() const;
    // The state files of a document, as the running program names them.
    QString iniPath(const QString &document) const;
    QString highlightPath(const QString &document) const;

    QTemporaryDir dir;
    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    FakeDialogs dialogs;
    std::unique_ptr<AssembledProgram> program;
};
