// Runs one save of the reader in a process of its own, so that a test can
// start it under the faultfs shim and look at the disk afterwards. It prints
// what the program showed and did, one "name=value" line each.
//
//   faultfs_helper close-doc APPDIR DOC [bookmark NAME]... [highlights COUNT]
//       opens DOC, adds the bookmarks and COUNT highlights, closes the window
//   faultfs_helper exit-app APPDIR SETTINGS_FILE
//       starts on the settings file, then exits through File, Exit
//   faultfs_helper hl PATH COUNT
//       writes a highlight file of COUNT ranges
//   faultfs_helper ini PATH SECTION KEY VALUE
//       writes one INI entry
//   faultfs_helper reg PATH NAME VALUE
//       writes one integer to the settings file, under the program's key

#include "documentwindow.h"
#include "textview.h"
#include "highlightfile.h"
#include "inifile.h"
#include "documentmanager.h"
#include "mainwindow.h"
#include "regfilesettings.h"
#include "fontsettings.h"
#include "appfixture.h"

#include <QAction>
#include <QTest>
#include <QApplication>

#include <cstdio>
#include <dlfcn.h>

namespace {

void print(const char *name, const QString &value)
{
    std::printf("%s=%s\n", name, value.toUtf8().constData());
}

void printWrites()
{
    using Count = unsigned long (*)();
    const auto count = reinterpret_cast<Count>(dlsym(RTLD_DEFAULT, "faultfs_write_count"));
    print("writes", count ? QString::number(count()) : QStringLiteral("unknown"));
}

// Holds the shim's fault back while the program starts: the trial write in
// its state folder must find the disk sound, so that the fault meets the save.
class FaultAfterStart
{
public:
    FaultAfterStart()
        : m_mode(qgetenv("FAULTFS_MODE"))
    {
        qunsetenv("FAULTFS_MODE");
    }
    void arm() const
    {
        if (!m_mode.isEmpty())
            qputenv("FAULTFS_MODE", m_mode);
    }

private:
    QByteArray m_mode;
};

void printMessages(const FakeDialogs &dialogs)
{
    print("messages", QString::number(dialogs.errors.size() + dialogs.informations.size()));
    for (const FakeDialogs::Message &message : dialogs.errors)
        print("error", message.text);
    for (const FakeDialogs::Message &message : dialogs.informations)
        print("information", message.text);
}

int closeDocument(const QStringList &args)
{
    if (args.size() < 2)
        return 2;
    FakeDialogs dialogs;
    MemorySettings settings;
    const FaultAfterStart fault;
    AssembledProgram program(settings, dialogs, args[0]);
    fault.arm();
    MainWindow &form = *program.window;
    form.show();
    form.openDocument(args[1]);
    (void)QTest::qWaitFor([&form] { return !form.documentManager().isLoading(); }, 60000);
    DocumentWindow *window = form.activeDocument();
    if (!window) {
        print("opened", QStringLiteral("0"));
        printMessages(dialogs);
        return 1;
    }
    for (qsizetype i = 2; i + 1 < args.size(); i += 2) {
        if (args[i] == u"bookmark") {
            window->addBookmark(args[i + 1]);
        } else if (args[i] == u"highlights") {
            TextView *view = window->textView();
            const int count = args[i + 1].toInt();
            for (int n = 0; n < count && 4 * n + 2 < view->textLength(); ++n) {
                view->setSelectionStart(4 * n);
                view->setSelectionLength(2);
                window->highlightSelection();
            }
        }
    }
    const bool closed = window->close();
    print("closed", QString::number(closed));
    print("documents", QString::number(form.documents().size()));
    printMessages(dialogs);
    printWrites();
    return 0;
}

int exitApplication(const QStringList &args)
{
    if (args.size() != 2)
        return 2;
    FakeDialogs dialogs;
    RegFileSettings settings(args[1]);
    AssembledProgram program(settings, dialogs, args[0]);
    MainWindow &form = *program.window;
    form.show();
    form.resize(700, 500);
    form.action(Command::ViewToolbar)->trigger();
    form.action(Command::FileExit)->trigger();
    print("visible", QString::number(form.isVisible()));
    printMessages(dialogs);
    printWrites();
    return 0;
}

int writeHighlights(const QStringList &args)
{
    if (args.size() != 2)
        return 2;
    std::vector<TextRange> ranges;
    for (int n = 0; n < args[1].toInt(); ++n)
        ranges.push_back({10 * n, 10 * n + 5});
    print("result", HighlightFile::write(args[0], ranges) ? QStringLiteral("ok") : QStringLiteral("failed"));
    printWrites();
    return 0;
}

int writeIniEntry(const QStringList &args)
{
    if (args.size() != 4)
        return 2;
    IniFile ini(args[0]);
    const bool written = ini.writeString(args[1], args[2], args[3]);
    print("result", written ? QStringLiteral("ok") : QStringLiteral("failed"));
    printWrites();
    return 0;
}

int writeSetting(const QStringList &args)
{
    if (args.size() != 3)
        return 2;
    RegFileSettings settings(args[0]);
    const bool written = settings.writeInteger(SettingsKeyPath, args[1], args[2].toInt());
    print("result", written ? QStringLiteral("ok") : QStringLiteral("failed"));
    printWrites();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty())
        return 2;
    const QString command = args.takeFirst();
    int result = 2;
    if (command == u"close-doc")
        result = closeDocument(args);
    else if (command == u"exit-app")
        result = exitApplication(args);
    else if (command == u"hl")
        result = writeHighlights(args);
    else if (command == u"ini")
        result = writeIniEntry(args);
    else if (command == u"reg")
        result = writeSetting(args);
    std::fflush(stdout);
    return result;
}
