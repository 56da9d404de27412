#include "appfixture.h"

#include "messagestrips.h"

#include "documentmanager.h"
#include "documentwindow.h"
#include "textview.h"
#include "mainwindow.h"
#include "statefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTest>

QStringList bookmarkNames(DocumentWindow *window)
{
    QStringList names;
    for (int i = 0; i < window->bookmarkList()->count(); ++i)
        names << window->bookmarkList()->item(i)->text();
    return names;
}

AssembledProgram::AssembledProgram(UserSettings &store, Dialogs &dialogs, const QString &appDir)
    : fonts(store)
    , stateStore(prepareStateFolder(appDir, nullptr))
    , context{store, dialogs, fonts, stateStore, appDir + QStringLiteral("/cache/search.sqlite")}
{
    fonts.read();
    window = std::make_unique<MainWindow>(context);
}

AssembledProgram::~AssembledProgram() = default;

AppFixture::AppFixture()
{
    // Never the user's own library: the search would index it.
    settings->writeString(SettingsKeyPath, QStringLiteral("library_folder"), libraryFolder());
    // Nor the network: a fetch nobody set up is refused on this machine.
    for (const char *name : {"rfc_base_url", "draft_base_url", "index_url", "errata_url"})
        settings->writeString(SettingsKeyPath, QLatin1String(name), QStringLiteral("http://127.0.0.1:9/"));
}

AppFixture::~AppFixture()
{
    if (program) {
        // Leave no dialog-free close pending: the test's folder goes next.
        program->window->close();
        program.reset();
    }
}

MainWindow *AppFixture::start()
{
    return startOn(*settings);
}

MainWindow *AppFixture::startOn(UserSettings &store)
{
    program = std::make_unique<AssembledProgram>(store, dialogs, dir.path() + QStringLiteral("/app"));
    program->window->show();
    return program->window.get();
}

bool AppFixture::close()
{
    const bool closed = program->window->close();
    if (closed)
        program.reset();
    return closed;
}

QString AppFixture::document(const QString &name, const QByteArray &content) const
{
    const QString path = dir.path() + QStringLiteral("/docs/") + name;
    QDir().mkpath(QFileInfo(path).path());
    writeFile(path, content);
    return path;
}

void AppFixture::settle() const
{
    const DocumentManager &documents = form()->documentManager();
    QVERIFY(QTest::qWaitFor([&documents] { return !documents.isLoading(); }, 60000));
}

DocumentWindow *AppFixture::open(const QString &path)
{
    form()->openDocument(path);
    settle();
    for (DocumentWindow *window : form()->documents())
        if (window->documentPath() == path)
            return window;
    return nullptr;
}

QString AppFixture::libraryFolder() const
{
    return dir.path() + QStringLiteral("/library/");
}

QString AppFixture::stateFolder() const
{
    return dir.path() + QStringLiteral("/app/temp/");
}

QString AppFixture::iniPath(const QString &document) const
{
    return StateStore(stateFolder()).filesFor(document).iniPath();
}

QString AppFixture::highlightPath(const QString &document) const
{
    return StateStore(stateFolder()).filesFor(document).highlightPath();
}

QStringList AppFixture::strips() const
{
    QStringList texts;
    if (!form())
        return texts;
    const MessageStrips &strips = *form()->messageStrips();
    for (const QString &source : strips.sources())
        texts << strips.text(source);
    return texts;
}
