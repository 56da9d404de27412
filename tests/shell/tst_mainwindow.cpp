#include "documentwindow.h"
#include "textview.h"
#include "mainwindow.h"
#include "fontsettings.h"
#include "appfixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>

#include <QToolBar>


// The main window's settings, commands and closing.
class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    static void store(AppFixture &app, const char *name, QVariant value)
    {
        if (value.typeId() == QMetaType::QString)
            app.settings->writeString(SettingsKeyPath, QLatin1String(name), value.toString());
        else
            app.settings->writeInteger(SettingsKeyPath, QLatin1String(name), value.toInt());
    }

private slots:
    void firstStartTurnsEverythingOn()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QCOMPARE(form->windowTitle(), QStringLiteral(" Folivane V3.2"));
        QVERIFY(form->toolBar()->isVisible());
        QVERIFY(form->statusBar()->isVisible());
        QVERIFY(form->action(Command::ViewFileTabs)->isChecked());
        QVERIFY(form->fileTabPanel()->isHidden());
        QCOMPARE(form->size(), QSize(541, 342));
        QVERIFY(QFileInfo(app.stateFolder()).isDir());
    }

    void settingsRule_data()
    {
        QTest::addColumn<QVariantList>("stored"); // toolbar, status bar, file tab, height, width
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<bool>("statusBar");
        QTest::addColumn<QSize>("size");
        const QVariant missing;
        QTest::newRow("all stored") << QVariantList{0, 5, 1, 400, 600} << false << true << QSize(600, 400);
        QTest::newRow("height missing turns the bars on")
            << QVariantList{0, 0, 0, missing, 600} << true << true << QSize(541, 342);
        QTest::newRow("width missing keeps the height")
            << QVariantList{0, 0, 0, 400, missing} << true << true << QSize(541, 400);
        QTest::newRow("flag stored as a string") << QVariantList{QStringLiteral("0"), 0, 0, 400, 600} << true
                                                 << true << QSize(541, 342);
    }

    void settingsRule()
    {
        QFETCH(QVariantList, stored);
        QFETCH(bool, toolbar);
        QFETCH(bool, statusBar);
        QFETCH(QSize, size);
        AppFixture app;
        const char *names[] = {"show_toolbar", "show_status_bar", "show_file_tab", "main_height", "main_width"};
        for (int i = 0; i < 5; ++i)
            if (stored[i].isValid())
                store(app, names[i], stored[i]);
        MainWindow *form = app.start();
        QCOMPARE(form->toolBar()->isVisible(), toolbar);
        QCOMPARE(form->statusBar()->isVisible(), statusBar);
        QCOMPARE(form->size(), size);
    }

    void closeWritesTheFiveValues()
    {
        AppFixture app;
        store(app, "show_toolbar", 1);
        store(app, "show_status_bar", 5);
        store(app, "show_file_tab", 1);
        store(app, "main_height", 400);
        store(app, "main_width", 600);
        MainWindow *form = app.start();
        form->action(Command::ViewToolbar)->trigger();
        QVERIFY(form->toolBar()->isHidden());
        app.settings->writeLog.clear();
        QVERIFY(app.close());
        QCOMPARE(app.settings->writeLog.mid(0, 5),
                 QStringList({"show_toolbar", "show_status_bar", "show_file_tab", "main_height", "main_width"}));
        QCOMPARE(app.settings->value(SettingsKeyPath, "show_toolbar"), QVariant(0));
        QCOMPARE(app.settings->value(SettingsKeyPath, "show_status_bar"), QVariant(1));
        QCOMPARE(app.settings->value(SettingsKeyPath, "main_width"), QVariant(600));
    }

    // A store that could never be written kept the program from ever exiting.
    void failedSettingsWriteOffersToExitWithoutSaving_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("a window value") << QStringLiteral("show_file_tab");
        // Reported as a failure of restore_session.
        QTest::newRow("the session list") << QStringLiteral("session_0");
        QTest::newRow("the active document") << QStringLiteral("session_active");
    }

    void failedSettingsWriteOffersToExitWithoutSaving()
    {
        QFETCH(QString, value);
        AppFixture app;
        MainWindow *form = app.start();
        app.open(app.document(QStringLiteral("rfc1.txt"), "text\n"));
        app.settings->failingWrites.insert(value);
        // OK, the default, keeps the program open.
        QVERIFY(!app.close());
        QVERIFY(form->isVisible());
        QCOMPARE(app.dialogs.errors.size(), 1);
        QCOMPARE(app.dialogs.errors[0].text, QStringLiteral("Failed to set data for '%1'").arg(value));
        QCOMPARE(app.dialogs.discardTexts, QStringList(QStringLiteral("Exit without saving")));
        if (value != QStringLiteral("show_file_tab"))
            return;
        QVERIFY(!app.settings->value(SettingsKeyPath, "main_height").isValid());

        app.dialogs.discardAnswers.enqueue(true);
        QVERIFY(app.close());
        QCOMPARE(app.dialogs.errors.size(), 2);
        QVERIFY(!app.settings->value(SettingsKeyPath, "main_height").isValid());
    }

    // Alt and a letter reaches one entry of a menu, and one menu of the bar.
    void mnemonicsAreUniqueInEachMenu()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const auto mnemonic = [](const QString &text) {
            for (qsizetype i = text.indexOf(u'&'); i >= 0 && i + 1 < text.size(); i = text.indexOf(u'&', i + 2))
                if (text[i + 1] != u'&')
                    return text[i + 1].toLower();
            return QChar();
        };
        const auto checkUnique = [&](const QList<QAction *> &actions, const QString &where) {
            QHash<QChar, QString> taken;
            for (QAction *entry : actions) {
                const QChar letter = mnemonic(entry->text());
                if (entry->isSeparator() || letter.isNull())
                    continue;
                QVERIFY2(!taken.contains(letter), qPrintable(QStringLiteral("%1: \"%2\" and \"%3\"")
                                                                 .arg(where, taken.value(letter), entry->text())));
                taken.insert(letter, entry->text());
            }
        };
        checkUnique(form->menuBar()->actions(), QStringLiteral("menu bar"));
        QList<QMenu *> menus;
        for (QAction *entry : form->menuBar()->actions())
            menus << entry->menu();
        for (qsizetype i = 0; i < menus.size(); ++i) {
            checkUnique(menus[i]->actions(), menus[i]->title());
            for (QAction *entry : menus[i]->actions())
                if (entry->menu())
                    menus << entry->menu();
        }
        QVERIFY(menus.size() > 8); // the submenus were walked too
    }

    void commandTable()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QAction *open = form->action(Command::FileOpen);
        QCOMPARE(open->text(), QStringLiteral("&Open"));
        QCOMPARE(open->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(open->toolTip(), QStringLiteral("Open"));
        QCOMPARE(open->statusTip(), QStringLiteral("Open a file"));
        // Both parts kept the blanks around the bar.
        QCOMPARE(form->action(Command::EditHighlight)->toolTip(), QStringLiteral("Highlight"));
        QCOMPARE(form->action(Command::EditHighlight)->statusTip(), QStringLiteral("Highlight your selections"));
        QCOMPARE(form->action(Command::WindowCascade)->toolTip(), QStringLiteral("Cascade"));
        QCOMPARE(form->action(Command::WindowCascade)->statusTip(), QStringLiteral("Cascade"));
        QCOMPARE(form->action(Command::SearchFindNext)->shortcut(), QKeySequence(Qt::Key_F3));

        QStringList menus;
        for (QAction *menu : form->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, QStringList({"&File", "&Edit", "&Search", "&Go", "&Config", "&View", "&Window", "&Help"}));
        QStringList edit;
        for (QAction *item : form->menuBar()->actions()[1]->menu()->actions())
            edit << (item->isSeparator() ? QStringLiteral("-") : item->text());
        QCOMPARE(edit, QStringList({"&Copy", "Copy &Reference", "Copy &Link", "-", "&Add bookmark ...", "Delete bookmark", "-",
                                    "Highlight", "Ca&ncel Highlight"}));
        QStringList tools;
        for (QAction *item : form->toolBar()->actions())
            tools << (item->text().isEmpty() ? QStringLiteral("-") : item->text());
        QCOMPARE(tools, QStringList({"&Open", "-", "&Add bookmark ...", "Highlight", "Ca&ncel Highlight", "-",
                                     "&Find ...", "Find &Next", "-", "&Cascade", "Tile &Horizontally",
                                     "Tile &Vertically", "-", "&Back", "&Forward"}));
        // Commands that need a document window wait for one.
        QVERIFY(!form->action(Command::FileClose)->isEnabled());
        QVERIFY(!form->action(Command::WindowTileVertically)->isEnabled());
        QVERIFY(!form->action(Command::EditCopy)->isEnabled());
    }

    // Opened with Alt+E, the Edit menu showed Copy disabled over a selection.
    void copyWorksFromTheEditMenuOpenedByKeyboard()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QVERIFY(QTest::qWaitForWindowActive(form));
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), numberedLines(10)));
        window->textView()->setFocus();
        window->textView()->setSelectionStart(3);
        window->textView()->setSelectionLength(8);
        QMenu *edit = form->menuBar()->actions()[1]->menu();
        bool copyEnabled = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QApplication::activePopupWidget() != edit)
                return;
            poll.stop();
            copyEnabled = form->action(Command::EditCopy)->isEnabled();
            edit->setActiveAction(form->action(Command::EditCopy));
            QTest::keyClick(edit, copyEnabled ? Qt::Key_Return : Qt::Key_Escape);
        });
        poll.start(10);
        QApplication::clipboard()->clear();
        QTest::keyClick(window->textView(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(!poll.isActive());
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(copyEnabled);
        QCOMPARE(QApplication::clipboard()->text(), window->textView()->selectedText());
    }

    // The tool bar's own right-click menu hid the tool bar behind the View
    // menu's back.
    void toolBarHasNoContextMenu()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QPoint at(form->toolBar()->width() - 5, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, form->toolBar()->mapToGlobal(at));
        QApplication::sendEvent(form->toolBar(), &event);
        QWidget *popup = QApplication::activePopupWidget();
        if (popup)
            popup->close();
        QVERIFY(!popup);
    }

    void statusBarKeepsTheLinePanelAt150()
    {
        AppFixture app;
        MainWindow *form = app.start();
        form->resize(800, 500);
        QCOMPARE(form->lineIndicator()->width(), 150);
        form->resize(640, 480);
        QCOMPARE(form->lineIndicator()->width(), 150);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
