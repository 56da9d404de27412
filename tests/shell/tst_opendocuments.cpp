#include "documentwindow.h"
#include "textview.h"
#include "inifile.h"
#include "mainwindow.h"
#include "fontsettings.h"
#include "statefolder.h"
#include "appfixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>
#include <QTextBlock>

#include <unistd.h>

// Opening, switching and closing document windows, and their tabs.
class TestOpenDocuments : public QObject
{
    Q_OBJECT

private slots:
    // The filters missed names without a dot (rfc7777), one file could be
    // chosen at a time, and the dialog always started in the working folder.
    void openCommandTakesSeveralFilesAndRemembersTheirFolder()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString first = app.document(QStringLiteral("a/rfc7777"), "hello\n");
        const QString second = app.document(QStringLiteral("a/draft-ietf-x-00"), "draft\n");
        const QString folder = app.dir.path() + QStringLiteral("/docs/a");
        app.dialogs.openFileAnswers.enqueue({first, second});
        form->action(Command::FileOpen)->trigger();
        app.settle();
        QCOMPARE(app.dialogs.filters, QStringList(QStringLiteral(
                                          "RFC document (RFC*)|RFC*|Draft document (draft*)|draft*|All files (*)|*")));
        QCOMPARE(form->documents().size(), 2);
        QCOMPARE(form->documents()[0]->windowTitle(), first);
        QCOMPARE(form->activeDocument()->documentPath(), second);
        QVERIFY(form->activeDocument()->isMaximized());
        QCOMPARE(form->fileTabs()->count(), 2);
        form->action(Command::FileOpen)->trigger(); // cancelled
        QCOMPARE(form->documents().size(), 2);
        QCOMPARE(app.dialogs.openFolders, QStringList({QString(), folder}));

        // Kept across runs, as a string of its own beside the window values.
        QVERIFY(app.close());
        QCOMPARE(app.settings->value(SettingsKeyPath, QStringLiteral("last_folder")), QVariant(folder));
        app.start();
        app.form()->action(Command::FileOpen)->trigger();
        QCOMPARE(app.dialogs.openFolders.constLast(), folder);
    }

    // "&" marked a mnemonic and "[*]" a modified window: names holding them
    // showed without them in the tab, the Window list and the caption.
    void namesShowLiterally()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString path = app.document(QStringLiteral("R&D [*] notes: v2.txt"), "text\n");
        app.open(path);
        emit form->windowMenu()->aboutToShow();
        QAccessibleInterface *tabs = QAccessible::queryAccessibleInterface(form->fileTabs());
        QAccessibleInterface *menu = QAccessible::queryAccessibleInterface(form->windowMenu());
        // Maximized, the document's caption shows in the main window's.
        const QString caption = form->windowHandle()->title();
        const QStringList shown = {tabs->child(0)->text(QAccessible::Name),
                                   menu->child(menu->childCount() - 1)->text(QAccessible::Name),
                                   caption.endsWith(QStringLiteral(" - [%1]").arg(path)) ? path : caption};
        QCOMPARE(shown, QStringList({QStringLiteral("R&D [*] notes: v2.txt"), path, path}));
    }

    // Document windows showed the toolkit's logo in their title bars.
    void documentWindowsCarryTheProgramIcon()
    {
        AppFixture app;
        MainWindow *form = app.start();
        form->resize(800, 600);
        QVERIFY(!form->windowIcon().pixmap(16).isNull());
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), "text\n"));
        window->showNormal();
        const QRect titleBar(0, 0, window->width(), window->style()->pixelMetric(QStyle::PM_TitleBarHeight));
        const QImage shown = window->grab(titleBar).toImage();
        window->setWindowIcon(form->windowIcon());
        QCOMPARE(shown, window->grab(titleBar).toImage());
    }

    // The focus stayed out of the text: Shift+Down, Shift+Down, F5 said
    // "Please select some text firstly." until the user clicked the text.
    void keyboardWorksInTheTextRightAfterOpening()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QVERIFY(QTest::qWaitForWindowActive(form));
        app.dialogs.openFileAnswers.enqueue({app.document(QStringLiteral("rfc1.txt"), numberedLines(20))});
        form->action(Command::FileOpen)->trigger();
        app.settle();
        DocumentWindow *window = form->activeDocument();
        QVERIFY(window);
        QCOMPARE(QApplication::focusWidget(), window->textView());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ShiftModifier);
        form->action(Command::EditHighlight)->trigger();
        QVERIFY(app.dialogs.informations.isEmpty());
        const qint32 twoLines = window->textView()->toViewPosition(
            window->textView()->document()->findBlockByNumber(2).position());
        QCOMPARE(window->record().highlights.ranges(), (std::vector<TextRange>{{0, twoLines}}));
    }

    void sameDocumentIsOpenedOnce()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString first = app.document(QStringLiteral("a/notes.txt"), "one\n");
        const QString second = app.document(QStringLiteral("b/notes.txt"), "two\n");
        DocumentWindow *window = app.open(first);
        app.open(second);
        QCOMPARE(form->fileTabs()->count(), 2);
        // Same file name in two folders: two tabs with one caption, each leading to its own window.
        QCOMPARE(form->fileTabs()->tabText(0), QStringLiteral("notes.txt"));
        QCOMPARE(form->fileTabs()->tabText(1), QStringLiteral("notes.txt"));

        QCOMPARE(app.open(first), window);
        QCOMPARE(form->documents().size(), 2);
        QCOMPARE(form->fileTabs()->count(), 2);
        QCOMPARE(form->activeDocument(), window);
        QCOMPARE(form->fileTabs()->currentIndex(), 0);

        // A symbolic link and a spelling with "./" and ".." lead to the same window.
        QVERIFY(QFile::link(first, app.dir.filePath(QStringLiteral("link.txt"))));
        app.open(second);
        app.open(app.dir.filePath(QStringLiteral("link.txt")));
        QCOMPARE(form->activeDocument(), window);
        app.open(second);
        app.open(QFileInfo(second).absolutePath() + QStringLiteral("/.././a/notes.txt"));
        QCOMPARE(form->activeDocument(), window);
        QCOMPARE(form->documents().size(), 2);

        // Letter case counts: another spelling is another window.
        const QString upper = app.document(QStringLiteral("RFC1.TXT"), "three\n");
        QVERIFY(app.open(upper));
        QCOMPARE(form->documents().size(), 3);

        // A path that is not a regular file is ignored, silently.
        app.open(app.dir.path() + QStringLiteral("/missing-rfc.txt"));
        app.open(app.dir.path());
        QCOMPARE(form->documents().size(), 3);
        QVERIFY(app.dialogs.errors.isEmpty());
    }

    void unreadableDocumentIsReportedAndLeavesNothing()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString binary = app.document(QStringLiteral("rfc9.txt"), QByteArray("abc") + QByteArray(64, '\0') + "def\n");
        app.open(binary);
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY(app.dialogs.errors[0].text.contains(binary));
        QCOMPARE(form->mdiArea()->subWindowList().size(), 0);
        QCOMPARE(form->fileTabs()->count(), 0);
        QVERIFY(!QFile::exists(app.iniPath(binary)));
        // Asked again, it is read again and refused again.
        app.open(binary);
        QCOMPARE(app.dialogs.errors.size(), 2);
    }

    void tabsFollowTheWindows()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QList<DocumentWindow *> windows;
        for (const char *name : {"rfc1.txt", "rfc2.txt", "rfc3.txt"})
            windows << app.open(app.document(QLatin1String(name), "text\n"));
        QTabBar *tabs = form->fileTabs();
        QCOMPARE(tabs->currentIndex(), 2);

        // A click on a tab activates its window.
        emit tabs->tabBarClicked(0);
        QCOMPARE(form->activeDocument(), windows[0]);
        QCOMPARE(tabs->currentIndex(), 0);
        // So do the wheel and the keys, which change the tab without a click:
        // the strip showed one document while another stayed in front.
        QWheelEvent wheel(QPointF(5, 5), tabs->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tabs, &wheel);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(form->activeDocument(), windows[1]);
        QTest::keyClick(tabs, Qt::Key_Right);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(form->activeDocument(), windows[2]);
        emit tabs->tabBarClicked(0);

        // Closing a middle document removes only its tab.
        QVERIFY(windows[1]->close());
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(1), QStringLiteral("rfc3.txt"));
        QVERIFY(windows[0]->close());
        QVERIFY(windows[2]->close());
        QCOMPARE(tabs->count(), 0);
        QVERIFY(form->fileTabPanel()->isHidden());

        // A new document shows the strip again.
        app.open(app.document(QStringLiteral("rfc4.txt"), "text\n"));
        QVERIFY(form->fileTabPanel()->isVisible());
    }

    void fileTabToggle()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QAction *toggle = form->action(Command::ViewFileTabs);
        toggle->trigger(); // off
        app.open(app.document(QStringLiteral("rfc1.txt"), "text\n"));
        app.open(app.document(QStringLiteral("rfc2.txt"), "text\n"));
        QVERIFY(form->fileTabPanel()->isHidden());
        QCOMPARE(form->fileTabs()->count(), 2);
        toggle->trigger(); // on, with a document active
        QVERIFY(form->fileTabPanel()->isVisible());
    }

    void fileTabToggleWithoutDocumentsWaitsForOne()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QAction *toggle = form->action(Command::ViewFileTabs);
        toggle->trigger(); // off
        toggle->trigger(); // on: nothing shows yet
        QVERIFY(form->fileTabPanel()->isHidden());
        app.open(app.document(QStringLiteral("rfc1.txt"), "text\n"));
        QVERIFY(form->fileTabPanel()->isVisible());
    }

    void lineIndicatorFollowsTheActiveDocument()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *first = app.open(app.document(QStringLiteral("rfc1.txt"), numberedLines(212)));
        QCOMPARE(form->lineIndicator()->text(), QStringLiteral("line: 0/212"));
        DocumentWindow *second = app.open(app.document(QStringLiteral("rfc2.txt"), numberedLines(30)));
        second->textView()->setFocus();
        QTest::keyClick(second->textView(), Qt::Key_Down);
        QTest::keyClick(second->textView(), Qt::Key_Down);
        QCOMPARE(form->lineIndicator()->text(), QStringLiteral("line: 2/30"));
        form->mdiArea()->setActiveSubWindow(first);
        QCOMPARE(form->lineIndicator()->text(), QStringLiteral("line: 0/212"));
    }

    void windowCommands()
    {
        AppFixture app;
        MainWindow *form = app.start();
        form->resize(900, 700);
        QList<DocumentWindow *> windows;
        for (const char *name : {"rfc1.txt", "rfc2.txt", "rfc3.txt"})
            windows << app.open(app.document(QLatin1String(name), "text\n"));
        QVERIFY(form->action(Command::WindowTileVertically)->isEnabled());

        form->action(Command::WindowTileHorizontally)->trigger();
        const int areaWidth = form->mdiArea()->viewport()->width();
        QCOMPARE(windows[0]->width(), areaWidth);
        QVERIFY(windows[1]->y() > windows[0]->y());
        form->action(Command::WindowTileVertically)->trigger();
        QVERIFY(windows[1]->x() > windows[0]->x());
        QCOMPARE(windows[0]->y(), windows[1]->y());

        // The window list: one entry per window, the active one checked.
        emit form->windowMenu()->aboutToShow();
        QStringList entries;
        for (QAction *item : form->windowMenu()->actions())
            if (item->isCheckable())
                entries << item->text() + (item->isChecked() ? QStringLiteral("*") : QString());
        QCOMPARE(entries.size(), 3);
        QVERIFY(entries[2].endsWith(QStringLiteral("rfc3.txt*")));
        form->windowMenu()->actions().constLast()->trigger();
        QCOMPARE(form->activeDocument(), windows[2]);

        // Minimize all goes from the last window to the first.
        QList<DocumentWindow *> minimized;
        QObject listening;
        for (DocumentWindow *window : windows)
            connect(window, &QMdiSubWindow::windowStateChanged, &listening,
                    [&minimized, window](Qt::WindowStates before, Qt::WindowStates now) {
                        if (!(before & Qt::WindowMinimized) && (now & Qt::WindowMinimized))
                            minimized << window;
                    });
        form->action(Command::WindowMinimizeAll)->trigger();
        QCOMPARE(minimized, QList<DocumentWindow *>({windows[2], windows[1], windows[0]}));
        form->action(Command::WindowArrangeAll)->trigger();
        const int bottom = form->mdiArea()->viewport()->height();
        for (DocumentWindow *window : windows)
            QCOMPARE(window->geometry().bottom() + 1, bottom);
        QVERIFY(windows[1]->x() > windows[0]->x());
    }

    // Arrange All lined every minimized window up in one row, past the
    // right edge of a narrow client area.
    void arrangeAllWrapsIntoRows()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QList<DocumentWindow *> windows;
        for (int i = 1; i <= 6; ++i)
            windows << app.open(app.document(QStringLiteral("rfc%1.txt").arg(i), "text\n"));
        form->action(Command::WindowMinimizeAll)->trigger();
        const int minimizedWidth = windows[0]->width();
        form->resize(form->width() - form->mdiArea()->viewport()->width() + minimizedWidth * 5 / 2, 500);
        form->action(Command::WindowArrangeAll)->trigger();
        const QRect area = form->mdiArea()->viewport()->rect();
        QSet<int> rows;
        for (DocumentWindow *window : windows) {
            QVERIFY2(area.contains(window->geometry()),
                     qPrintable(QStringLiteral("%1,%2 %3x%4").arg(window->x()).arg(window->y())
                                    .arg(window->width()).arg(window->height())));
            rows.insert(window->y());
            for (DocumentWindow *other : windows)
                QVERIFY(other == window || !other->geometry().intersects(window->geometry()));
        }
        QCOMPARE(rows.size(), 3);
        QCOMPARE(windows[0]->geometry().bottom() + 1, area.height());
    }

    // The tab went before the state was written: a refused close left the
    // window without its tab.
    void tabGoesOnlyOnceTheStateIsWritten()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(10));
        DocumentWindow *window = app.open(path);
        const QString ini = app.iniPath(path);
        QVERIFY(QDir().mkpath(ini));
        QVERIFY(!window->close());
        QCOMPARE(form->fileTabs()->count(), 1);

        QVERIFY(QDir().rmdir(ini));
        bool stateWrittenAtNotice = false;
        QObject guard;
        connect(window, &DocumentWindow::closing, &guard, [&] { stateWrittenAtNotice = QFileInfo(ini).isFile(); });
        QVERIFY(window->close());
        QVERIFY(stateWrittenAtNotice);
        QCOMPARE(form->fileTabs()->count(), 0);
    }

    void topLineAndPanelWidthSurviveReopening()
    {
        AppFixture app;
        MainWindow *form = app.start();
        form->resize(900, 700);
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(400));
        DocumentWindow *window = app.open(path);
        // Without a stored width, about a quarter of the window.
        QVERIFY(window->panelWidth() > 185);
        QCOMPARE(window->textView()->firstVisibleLine(), 0);
        window->setPanelWidth(240);
        window->textView()->scrollToLine(120);
        QCOMPARE(window->textView()->firstVisibleLine(), 119);
        QVERIFY(window->close());
        const IniFile ini(app.iniPath(path));
        QCOMPARE(ini.readInteger(QStringLiteral("bookmark"), QStringLiteral("curr_line"), 0), 120);
        QCOMPARE(ini.readInteger(QStringLiteral("win"), QStringLiteral("left"), 0), 240);
        QCOMPARE(ini.readInteger(QStringLiteral("bookmark"), QStringLiteral("count"), -1), 0);

        window = app.open(path);
        QCOMPARE(window->textView()->firstVisibleLine(), 119);
        QCOMPARE(window->findChild<QSplitter *>()->sizes().value(0), 240);
    }

    // A narrow window squeezed the index panel, and the squeezed width was
    // stored in place of the one the user had set.
    void panelWidthStoredIsTheOneLastSet()
    {
        AppFixture app;
        MainWindow *form = app.start();
        form->resize(900, 700);
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(40));
        DocumentWindow *window = app.open(path);
        QSplitter *splitter = window->findChild<QSplitter *>();
        QSplitterHandle *handle = splitter->handle(1);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip + QPoint(60, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(60, 0));
        const int dragged = splitter->sizes().value(0);
        QVERIFY2(dragged > 200, qPrintable(QString::number(dragged)));
        QCOMPARE(window->panelWidth(), dragged);

        form->resize(250, 300);
        QTRY_VERIFY(splitter->sizes().value(0) < dragged);
        QVERIFY(window->close());
        QCOMPARE(IniFile(app.iniPath(path)).readInteger(QStringLiteral("win"), QStringLiteral("left"), 0), dragged);
    }

    void exitClosesEveryDocumentFirst()
    {
        AppFixture app;
        app.start();
        QStringList paths;
        for (const char *name : {"rfc1.txt", "rfc2.txt", "rfc3.txt"})
            paths << app.document(QLatin1String(name), numberedLines(50));
        for (const QString &path : paths)
            app.open(path);
        QVERIFY(app.close());
        for (const QString &path : paths)
            QVERIFY2(QFile::exists(app.iniPath(path)), qPrintable(path));
        QCOMPARE(app.settings->value(SettingsKeyPath, QStringLiteral("main_width")).typeId(), QMetaType::Int);
    }

    void failedDocumentCloseStopsTheExit()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(5));
        DocumentWindow *window = app.open(path);
        // A folder where the state file should be: its write fails.
        QVERIFY(QDir().mkpath(app.iniPath(path)));
        QVERIFY(!app.close());
        QCOMPARE(app.dialogs.errors.size(), 1);
        QCOMPARE(app.dialogs.errors[0].text, QStringLiteral("Unable to write to %1").arg(app.iniPath(path)));
        QCOMPARE(app.dialogs.discardTexts, QStringList(QStringLiteral("Close without saving")));
        QCOMPARE(form->documents(), QList<DocumentWindow *>({window}));
        QVERIFY(!app.settings->value(SettingsKeyPath, QStringLiteral("main_width")).isValid());

        // A state that can never be written (a path too long, a full disk)
        // kept the document, and so the program, open for good.
        app.dialogs.discardAnswers.enqueue(true);
        QVERIFY(app.close());
        QCOMPARE(app.dialogs.errors.size(), 2);
        QVERIFY(QFileInfo(app.iniPath(path)).isDir());
        QVERIFY(app.settings->value(SettingsKeyPath, QStringLiteral("main_width")).isValid());
    }
};

QTEST_MAIN(TestOpenDocuments)
#include "tst_opendocuments.moc"
