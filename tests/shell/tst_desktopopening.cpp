#include "appfixture.h"
#include "documentwindow.h"
#include "fontsettings.h"
#include "mainwindow.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

namespace {

QMenu *recentMenu(MainWindow *form)
{
    QMenu *file = form->menuBar()->actions().first()->menu();
    for (QAction *item : file->actions())
        if (item->menu())
            return item->menu();
    return nullptr;
}

QStringList recentEntries(MainWindow *form)
{
    QMenu *menu = recentMenu(form);
    emit menu->aboutToShow();
    QStringList entries;
    for (QAction *item : menu->actions())
        if (!item->isSeparator())
            entries << item->text();
    return entries;
}

QStringList openPaths(MainWindow *form)
{
    QStringList paths;
    for (DocumentWindow *window : form->documents())
        paths << window->documentPath();
    return paths;
}

} // namespace

// Opening documents the way the desktop does: recent files, the last
// session, dropped files, the command line and one program per settings file.
class TestDesktopOpening : public QObject
{
    Q_OBJECT

private slots:
    void recentDocumentsMostRecentFirst()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString a = app.document(QStringLiteral("rfc1.txt"), "a\n");
        const QString b = app.document(QStringLiteral("R&D.txt"), "b\n");
        app.open(a);
        app.open(b);
        app.open(a);
        QCOMPARE(recentEntries(form), QStringList({a, QString(b).replace(u'&', QStringLiteral("&&")), "Clear List"}));
        QCOMPARE(app.settings->value(SettingsKeyPath, QStringLiteral("recent_0")), QVariant(a));

        // A gone file stays listed until it is chosen, then it goes.
        QVERIFY(QFile::remove(b));
        QMenu *menu = recentMenu(form);
        emit menu->aboutToShow();
        menu->actions().at(1)->trigger();
        QCOMPARE(recentEntries(form), QStringList({a, "Clear List"}));

        form->action(Command::FileClearRecent)->trigger();
        QCOMPARE(recentEntries(form), QStringList({"Clear List"}));
        QCOMPARE(app.settings->value(SettingsKeyPath, QStringLiteral("recent_0")), QVariant(QString()));
    }

    void theLastSessionComesBackInTabOrder()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString a = app.document(QStringLiteral("rfc1.txt"), "a\n");
        const QString b = app.document(QStringLiteral("rfc2.txt"), "b\n");
        const QString c = app.document(QStringLiteral("rfc3.txt"), "c\n");
        app.open(a);
        app.open(b);
        app.open(c);
        app.open(b);
        QVERIFY(app.close());

        form = app.start();
        form->restoreSession();
        app.settle();
        QCOMPARE(openPaths(form), QStringList({a, b, c}));
        QCOMPARE(form->activeDocument()->documentPath(), b);

        // Turned off, the next start is empty.
        form->action(Command::ViewRestoreSession)->trigger();
        QVERIFY(app.close());
        form = app.start();
        QVERIFY(!form->action(Command::ViewRestoreSession)->isChecked());
        form->restoreSession();
        QVERIFY(form->documents().isEmpty());
    }

    void droppedFilesOpen()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString a = app.document(QStringLiteral("rfc1.txt"), "a\n");
        const QString b = app.document(QStringLiteral("rfc2.txt"), "b\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(app.dir.path()),
                      QUrl(QStringLiteral("https://example.org/rfc3.txt")), QUrl::fromLocalFile(b)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form, &drop);
        app.settle();
        QCOMPARE(openPaths(form), QStringList({a, b}));
    }

    void aSecondStartHandsItsFilesToTheFirst()
    {
        QTemporaryDir dir;
        const QString doc = dir.filePath(QStringLiteral("rfc1.txt"));
        writeFile(doc, "hello\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(FOLIVANE_PROGRAM), {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(dir.path()).entryList({QStringLiteral("*.socket")}, QDir::System).isEmpty(),
                                 10000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(dir.path());
        second.start(QStringLiteral(FOLIVANE_PROGRAM),
                     {QStringLiteral("rfc1.txt"), QStringLiteral("missing.txt")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(second.readAllStandardError()).trimmed(),
                 QStringLiteral("folivane: missing.txt: No such file"));

        // The first program opened it (an open is recorded at once in its recent list).
        const QString settings = dir.filePath(QStringLiteral("config/Tessary software/Folivane/settings.reg"));
        QTRY_VERIFY_WITH_TIMEOUT(readFile(settings).contains(QFile::encodeName(doc)), 10000);
        first.kill();
        first.waitForFinished();
    }

    void helpAndVersion()
    {
        QProcess program;
        program.start(QStringLiteral(FOLIVANE_PROGRAM), {QStringLiteral("--version")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith("Folivane "));
        program.start(QStringLiteral(FOLIVANE_PROGRAM), {QStringLiteral("--help")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().contains("[FILE | NUMBER | NAME...]"));
    }
};

QTEST_MAIN(TestDesktopOpening)
#include "tst_desktopopening.moc"
