#include "documentwindow.h"
#include "textview.h"
#include "highlightfile.h"
#include "inifile.h"
#include "mainwindow.h"
#include "statefolder.h"
#include "appfixture.h"

#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

namespace {

// Every file in a folder, with its bytes.
QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        files.insert(name, readFile(dir.filePath(name)));
    return files;
}

void restoreFolder(const QString &folder, const QMap<QString, QByteArray> &files)
{
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        writeFile(folder + u'/' + it.key(), it.value());
}

// What one run of the helper printed: each "name=value" line, in order.
struct Run
{
    QMultiMap<QString, QString> values;
    QByteArray errors; // the helper's stderr, where the shim tells of its faults
    int exitCode = -1;

    QString value(const QString &name) const { return values.value(name); }
    QStringList all(const QString &name) const
    {
        QStringList found = values.values(name);
        std::reverse(found.begin(), found.end());
        return found;
    }
    bool faulted(int n) const { return errors.contains("faultfs: write " + QByteArray::number(n) + " failed"); }
    // The inode of the file the fault tore, or 0.
    quint64 tornInode() const
    {
        const QByteArray marker = "tearing inode ";
        const qsizetype at = errors.indexOf(marker);
        if (at < 0)
            return 0;
        const qsizetype end = errors.indexOf('\n', at);
        return errors.mid(at + marker.size(), end - at - marker.size()).toULongLong();
    }
};

struct Fault
{
    QString mode; // empty: none
    QString prefix;
    int nth = 0;
    QString snapshotDir;
};

Run runHelper(const QStringList &args, const Fault &fault)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAULTFS_LIBRARY));
    // A sanitizer build wants its runtime first; the shim goes before it.
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    env.insert(QStringLiteral("FAULTFS_MODE"), fault.mode);
    env.insert(QStringLiteral("FAULTFS_PATH_PREFIX"), fault.prefix);
    env.insert(QStringLiteral("FAULTFS_NTH"), QString::number(fault.nth));
    env.insert(QStringLiteral("FAULTFS_SNAPSHOT_DIR"), fault.snapshotDir);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(FAULTFS_HELPER), args);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = process.readAllStandardError();
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            run.values.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    }
    return run;
}

// Each version of a file the disk held during a run: its bytes from the
// snapshots the shim took, by file name.
quint64 inodeOf(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? quint64(info.st_ino) : 0;
}

QList<QByteArray> versionsOf(const QString &snapshotDir, const QString &fileName)
{
    QList<QByteArray> versions;
    const QDir dir(snapshotDir);
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
        if (name.mid(name.indexOf(u'-') + 1) == fileName)
            versions.append(readFile(dir.filePath(name)));
    return versions;
}

} // namespace

// The reader on a disk that fails under it: a vanished state folder, a full
// one, a settings file it cannot replace, and a write cut off at any point.
// The failing disk is the faultfs shim in a helper process of its own.
class TestFailingDisks : public QObject
{
    Q_OBJECT

private slots:
    void stateFolderRemovedWhileRunning()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QByteArray text = numberedLines(60);
        const QString path = app.document(QStringLiteral("rfc1.txt"), text);
        DocumentWindow *window = app.open(path);
        window->addBookmark(QStringLiteral("kept in memory"));
        window->textView()->setSelectionStart(30);
        window->textView()->setSelectionLength(12);
        window->highlightSelection();

        QVERIFY(QDir(app.stateFolder()).removeRecursively());
        QVERIFY(!app.close());
        QCOMPARE(app.dialogs.errors.size(), 1);
        QCOMPARE(app.dialogs.errors[0].text, QStringLiteral("Unable to write to %1").arg(app.iniPath(path)));
        QVERIFY(app.dialogs.informations.isEmpty());
        QVERIFY(form->isVisible());
        QCOMPARE(form->documents(), QList<DocumentWindow *>({window}));
        QCOMPARE(readFile(path), text);

        // Once the folder is back, the same close saves everything it held.
        QVERIFY(QDir().mkpath(app.stateFolder()));
        QVERIFY(app.close());
        QCOMPARE(app.dialogs.errors.size(), 1);
        app.start();
        window = app.open(path);
        QCOMPARE(window->bookmarkList()->count(), 1);
        QCOMPARE(window->bookmarkList()->item(0)->text(), QStringLiteral("kept in memory"));
        QCOMPARE(window->record().highlights.ranges(), (std::vector<TextRange>{{30, 42}}));
    }

    void stateFolderFull()
    {
        QTemporaryDir dir;
        const QString appDir = dir.filePath(QStringLiteral("app"));
        const QString stateDir = appDir + QStringLiteral("/temp");
        const QString doc = dir.filePath(QStringLiteral("rfc2.txt"));
        writeFile(doc, numberedLines(80));

        Run run = runHelper({QStringLiteral("close-doc"), appDir, doc, QStringLiteral("bookmark"),
                             QStringLiteral("old"), QStringLiteral("highlights"), QStringLiteral("3")},
                            {});
        QCOMPARE(run.value(QStringLiteral("closed")), QStringLiteral("1"));
        const QMap<QString, QByteArray> before = folderContents(stateDir);
        QCOMPARE(before.size(), 2); // the INI file and the highlight file
        const QString ini = stateDir + u'/' + before.firstKey();

        run = runHelper({QStringLiteral("close-doc"), appDir, doc, QStringLiteral("bookmark"),
                         QStringLiteral("new"), QStringLiteral("highlights"), QStringLiteral("7")},
                        {QStringLiteral("enospc"), stateDir, 0, {}});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.value(QStringLiteral("closed")), QStringLiteral("0"));
        QCOMPARE(run.value(QStringLiteral("documents")), QStringLiteral("1"));
        QCOMPARE(run.value(QStringLiteral("messages")), QStringLiteral("1"));
        QCOMPARE(run.value(QStringLiteral("error")), QStringLiteral("Unable to write to %1").arg(ini));
        QVERIFY(run.value(QStringLiteral("writes")).toInt() > 0);
        QCOMPARE(folderContents(stateDir), before);
    }

    void settingsFileNotWritable()
    {
        QTemporaryDir dir;
        const QString appDir = dir.filePath(QStringLiteral("app"));
        const QString settingsDir = dir.filePath(QStringLiteral("config"));
        const QString settings = settingsDir + QStringLiteral("/settings.reg");
        QVERIFY(QDir().mkpath(settingsDir));
        const QByteArray old = "REGEDIT4\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config]\n"
                               "\"show_toolbar\"=dword:00000001\n\"show_status_bar\"=dword:00000001\n"
                               "\"show_file_tab\"=dword:00000001\n\"main_height\"=dword:00000190\n"
                               "\"main_width\"=dword:00000258\n";
        writeFile(settings, old);

        const Run run = runHelper({QStringLiteral("exit-app"), appDir, settings},
                                  {QStringLiteral("eacces_write"), settingsDir, 0, {}});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.value(QStringLiteral("visible")), QStringLiteral("1"));
        QCOMPARE(run.value(QStringLiteral("messages")), QStringLiteral("1"));
        QCOMPARE(run.value(QStringLiteral("error")), QStringLiteral("Failed to set data for 'show_toolbar'"));
        QCOMPARE(folderContents(settingsDir), (QMap<QString, QByteArray>{{QStringLiteral("settings.reg"), old}}));
    }

    // For N = 1, 2, ... the Nth write puts half its bytes on disk and fails,
    // until N passes the number of writes the run makes. Each time no file
    // may be the torn one, and none may be left over; a single save leaves
    // the old file or the new one, and a document close leaves versions a
    // fault-free close goes through.
    void writeInterruptedAtAnyPoint()
    {
        QTemporaryDir dir;

        // One save of each file, large enough to take several writes where
        // the file is written in pieces.
        const QString single = dir.filePath(QStringLiteral("single"));
        QVERIFY(QDir().mkpath(single));
        const QString hl = single + QStringLiteral("/doc_hl");
        QVERIFY(HighlightFile::write(hl, {{1, 2}, {3, 4}}));
        checkEveryCut({QStringLiteral("hl"), hl, QStringLiteral("3000")}, single, Compare::OldOrNew);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(QFile::remove(hl));

        const QString ini = single + QStringLiteral("/doc_txt");
        IniFile(ini).writeString(QStringLiteral("bookmark_name"), QStringLiteral("0"), QString(2000, u'o'));
        checkEveryCut({QStringLiteral("ini"), ini, QStringLiteral("bookmark_name"), QStringLiteral("1"),
                       QString(2000, u'n')},
                      single, Compare::OldOrNew);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(QFile::remove(ini));

        const QString settings = single + QStringLiteral("/settings.reg");
        writeFile(settings, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config]\n"
                            "\"main_height\"=dword:00000190\nsomething it does not read\n");
        checkEveryCut({QStringLiteral("reg"), settings, QStringLiteral("main_height"), QStringLiteral("500")}, single,
                      Compare::OldOrNew);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(QFile::remove(settings));

        // A document close: INI saves one after another, then the highlight file.
        const QString appDir = dir.filePath(QStringLiteral("app"));
        const QString stateDir = appDir + QStringLiteral("/temp");
        const QString doc = dir.filePath(QStringLiteral("rfc3.txt"));
        writeFile(doc, numberedLines(300));
        QCOMPARE(runHelper({QStringLiteral("close-doc"), appDir, doc, QStringLiteral("bookmark"),
                            QStringLiteral("old"), QStringLiteral("highlights"), QStringLiteral("5")},
                           {})
                     .value(QStringLiteral("closed")),
                 QStringLiteral("1"));
        QCOMPARE(folderContents(stateDir).size(), 2);
        checkEveryCut({QStringLiteral("close-doc"), appDir, doc, QStringLiteral("bookmark"), QStringLiteral("new one"),
                       QStringLiteral("bookmark"), QStringLiteral("new two"), QStringLiteral("highlights"),
                       QStringLiteral("2000")},
                      stateDir, Compare::FaultFreeVersions);
        if (QTest::currentTestFailed())
            return;

        // The exit: five settings.reg saves, then the font records' as the
        // process ends, which go on after a failed exit: whole files only.
        const QString settingsDir = dir.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(settingsDir));
        writeFile(settingsDir + QStringLiteral("/settings.reg"),
                  "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Tessary software\\Folivane\\config]\n"
                  "\"show_toolbar\"=dword:00000001\n\"main_height\"=dword:00000190\n"
                  "\"main_width\"=dword:00000258\nsomething it does not read\n");
        checkEveryCut({QStringLiteral("exit-app"), appDir, settingsDir + QStringLiteral("/settings.reg")},
                      settingsDir, Compare::NotTorn);
        if (QTest::currentTestFailed())
            return;
    }

private:
    enum class Compare { OldOrNew, FaultFreeVersions, NotTorn };

    void checkEveryCut(const QStringList &args, const QString &folder, Compare compare)
    {
        const QMap<QString, QByteArray> old = folderContents(folder);
        // The fault-free run: every version each file goes through, and the last.
        const QString snapshots = folder + QStringLiteral("-snapshots");
        QVERIFY(QDir().mkpath(snapshots));
        const Run clean = runHelper(args, {QStringLiteral("fail_nth_write"), folder, 0, snapshots});
        QCOMPARE(clean.exitCode, 0);
        const QMap<QString, QByteArray> last = folderContents(folder);
        QCOMPARE(last.keys(), old.keys());
        QVERIFY(last != old);

        int n = 1;
        for (;; ++n) {
            QVERIFY2(n < 1000, "the fault never stops happening");
            restoreFolder(folder, old);
            const Run run = runHelper(args, {QStringLiteral("fail_nth_write"), folder, n, {}});
            QCOMPARE(run.exitCode, 0);
            const QMap<QString, QByteArray> now = folderContents(folder);
            QCOMPARE(now.keys(), old.keys()); // no temporary file left behind
            if (!run.faulted(n)) {
                QCOMPARE(now, last);
                break;
            }
            const quint64 torn = run.tornInode();
            QVERIFY(torn != 0);
            for (auto it = now.cbegin(); it != now.cend(); ++it) {
                const QString where = QStringLiteral("%1 after a fault at write %2").arg(it.key()).arg(n);
                QVERIFY2(inodeOf(folder + u'/' + it.key()) != torn, qPrintable(where + QStringLiteral(": torn")));
                if (compare == Compare::OldOrNew)
                    QVERIFY2(it.value() == old.value(it.key()),
                             qPrintable(where + QStringLiteral(": not the old file")));
                const QList<QByteArray> versions =
                    QList<QByteArray>{old.value(it.key())} + versionsOf(snapshots, it.key());
                if (compare == Compare::FaultFreeVersions)
                    QVERIFY2(versions.contains(it.value()),
                             qPrintable(where + QStringLiteral(": a version no fault-free close wrote")));
            }
            // The failure is told once, or, for the font records written as
            // the process ends, not at all.
            if (args[0] == u"close-doc") {
                QCOMPARE(run.value(QStringLiteral("closed")), QStringLiteral("0"));
                QCOMPARE(run.value(QStringLiteral("documents")), QStringLiteral("1"));
                QCOMPARE(run.value(QStringLiteral("messages")), QStringLiteral("1"));
                QVERIFY(run.value(QStringLiteral("error")).startsWith(QStringLiteral("Unable to write to ")));
            } else if (args[0] == u"exit-app") {
                const bool shown = run.value(QStringLiteral("messages")) == u"1";
                QVERIFY(shown || run.value(QStringLiteral("messages")) == u"0");
                QCOMPARE(run.value(QStringLiteral("visible")), shown ? QStringLiteral("1") : QStringLiteral("0"));
                if (shown)
                    QVERIFY(run.value(QStringLiteral("error")).startsWith(QStringLiteral("Failed to set data for '")));
                QVERIFY(now.first().contains("\nsomething it does not read\n"));
            } else {
                QCOMPARE(run.value(QStringLiteral("result")), QStringLiteral("failed"));
            }
        }
        qInfo("%s: %s writes in a fault-free run; a fault at each of writes 1..%d left whole files",
              qPrintable(args[0]), qPrintable(clean.value(QStringLiteral("writes"))), n - 1);
    }
};

QTEST_MAIN(TestFailingDisks)
#include "tst_failingdisks.moc"
