#include "scopedenv.h"
#include "statefolder.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <dlfcn.h>
#include <unistd.h>

// Where the documents' state files go: beside the program, or in the user's
// data folder.
class TestStateFolder : public QObject
{
    Q_OBJECT

private slots:
    void fallsBackWhenTheProgramFolderIsReadOnly()
    {
        QTemporaryDir dir;
        // A file where the program folder should be: no folder can be made inside it.
        writeFile(dir.path() + QStringLiteral("/app"), "not a folder");
        std::optional<ScopedEnv> dataHome(std::in_place, "XDG_DATA_HOME", dir.path().toUtf8() + "/data");
        const QString appDir = dir.path() + QStringLiteral("/app");
        QString error;
        QCOMPARE(prepareStateFolder(appDir, &error), dir.path() + QStringLiteral("/data/Tessary software/Folivane/temp/"));
        QVERIFY(QFileInfo(dir.path() + QStringLiteral("/data/Tessary software/Folivane/temp")).isDir());

        // Neither place can be made: the start fails with a reason.
        writeFile(dir.path() + QStringLiteral("/blocked"), "not a folder");
        dataHome.emplace("XDG_DATA_HOME", dir.path().toUtf8() + "/blocked");
        QCOMPARE(prepareStateFolder(appDir, &error), QString());
        QVERIFY(error.contains(QStringLiteral("blocked/Tessary software/Folivane/temp")));
    }

    // An existing temp/ that refused files was kept: no state could ever be saved.
    void fallsBackWhenTempRefusesFiles()
    {
        QTemporaryDir dir;
        const QString appDir = dir.path() + QStringLiteral("/app");
        const QString temp = appDir + QStringLiteral("/temp/");
        QVERIFY(QDir().mkpath(temp));
        if (::geteuid() == 0) {
            // Permission bits do not stop root: the shim refuses the write instead.
            if (!dlsym(RTLD_DEFAULT, "faultfs_write_count"))
                QSKIP("running as root without the faultfs shim: nothing can make a folder unwritable");
            qputenv("FAULTFS_PATH_PREFIX", QFile::encodeName(appDir + QStringLiteral("/temp")));
            qputenv("FAULTFS_MODE", "eacces_write");
        } else {
            QVERIFY(QFile::setPermissions(temp, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const ScopedEnv dataHome("XDG_DATA_HOME", dir.path().toUtf8() + "/data");
        const QString folder = prepareStateFolder(appDir, nullptr);
        qunsetenv("FAULTFS_MODE");
        qunsetenv("FAULTFS_PATH_PREFIX");
        QVERIFY(QFile::setPermissions(temp, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QCOMPARE(folder, dir.path() + QStringLiteral("/data/Tessary software/Folivane/temp/"));
        QVERIFY(QDir(temp).isEmpty());
    }

    void anInstalledProgramKeepsNoStateInItsFolder()
    {
        QTemporaryDir dir;
        const ScopedEnv dataHome("XDG_DATA_HOME", dir.path().toUtf8() + "/data");
        QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/prefix/bin")));
        QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/prefix/share/applications")));
        writeFile(dir.path() + QStringLiteral("/prefix/share/applications/folivane.desktop"), "[Desktop Entry]\n");
        QString error;
        QCOMPARE(prepareStateFolder(dir.path() + QStringLiteral("/prefix/bin"), &error),
                 dir.path() + QStringLiteral("/data/Tessary software/Folivane/temp/"));
        QVERIFY(!QFileInfo::exists(dir.path() + QStringLiteral("/prefix/bin/temp")));
        // One that already has its temp/ folder keeps using it.
        QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/prefix/bin/temp")));
        QCOMPARE(prepareStateFolder(dir.path() + QStringLiteral("/prefix/bin"), &error),
                 dir.path() + QStringLiteral("/prefix/bin/temp/"));
    }
};

QTEST_GUILESS_MAIN(TestStateFolder)
#include "tst_statefolder.moc"
