#pragma once

#include "fakedialogs.h"
#include "memorysettings.h"

#include <QTemporaryDir>

#include <memory>

class TMainForm;
class TMDIChild;

// Writes bytes to a file, creating it; fails the test when it cannot.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// "line 0 of the document text", "line 1 ...", one per line, each with a line end.
QByteArray numberedLines(int count);

// The names in a document window's bookmark list, top to bottom.
QStringList bookmarkNames(TMDIChild *window);

// A file of the real RFC corpus, or empty when the corpus is not beside the
// checkout (a fresh clone elsewhere).
QString corpusFile(const QString &name);

// A main window on fake dialogs and in-memory settings, whose program folder
// (and so its state folder) is a temporary folder.
class AppFixture
{
public:
    AppFixture();
    ~AppFixture();

    // Builds and shows the main window; again after close() for a new run.
    TMainForm *start();
    // Closes the main window as the user would; true when it closed.
    bool close();

    // A document in the fixture's folder with the given content.
    QString document(const QString &name, const QByteArray &content) const;
    TMDIChild *open(const QString &path);
    QString stateFolder() const;

    QTemporaryDir dir;
    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    FakeDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};
