#include "appfixture.h"
#include "documentwindow.h"
#include "mainwindow.h"
#include "startpage.h"
#include "userguide.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QTest>

// The page shown while no document is open, and the user guide it leads to.
class TestStartPage : public QObject
{
    Q_OBJECT

private slots:
    void standsInForTheDocuments()
    {
        AppFixture app;
        MainWindow *form = app.start();
        StartPage *page = form->startPage();
        QVERIFY(page->isVisible());
        // It covers the whole area, not a corner of it.
        QCOMPARE(page->geometry(), form->mdiArea()->rect());

        const QString first = app.document(QStringLiteral("rfc1.txt"), "RFC 1\n\n1.  One\n");
        const QString second = app.document(QStringLiteral("rfc2.txt"), "RFC 2\n\n1.  Two\n");
        DocumentWindow *one = app.open(first);
        QVERIFY(one);
        QVERIFY(!page->isVisible());
        DocumentWindow *two = app.open(second);
        QVERIFY(two);

        // Not while one is left.
        QVERIFY(two->close());
        QTest::qWait(50);
        QVERIFY(!page->isVisible());
        QVERIFY(one->close());
        QTRY_VERIFY(page->isVisible());

        // The recent documents as the File menu has them, the latest first.
        QListWidget *recent = page->recentList();
        QCOMPARE(recent->count(), 2);
        QCOMPARE(recent->item(0)->text(), second);
        QCOMPARE(recent->item(1)->text(), first);
        QTest::mouseClick(recent->viewport(), Qt::LeftButton, {},
                          recent->visualItemRect(recent->item(1)).center());
        app.settle();
        QVERIFY(form->activeDocument());
        QCOMPARE(form->activeDocument()->documentPath(), first);
        QVERIFY(!page->isVisible());
    }

    void aGoneRecentFileLeavesTheList()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString path = app.document(QStringLiteral("rfc3.txt"), "RFC 3\n");
        QVERIFY(app.open(path)->close());
        QTRY_VERIFY(form->startPage()->isVisible());
        QVERIFY(QFile::remove(path));
        QListWidget *recent = form->startPage()->recentList();
        QCOMPARE(recent->count(), 1);
        QTest::mouseClick(recent->viewport(), Qt::LeftButton, {}, recent->visualItemRect(recent->item(0)).center());
        QCOMPARE(recent->count(), 0);
        QVERIFY(form->documents().isEmpty());
    }

    // Return opens what was typed, as Open RFC would: from the library.
    void returnOpensFromTheLibrary()
    {
        AppFixture app;
        QVERIFY(QDir().mkpath(app.libraryFolder()));
        writeFile(app.libraryFolder() + QStringLiteral("rfc9293.txt"), "RFC 9293\n\n1.  Introduction\n");
        MainWindow *form = app.start();
        QLineEdit *field = form->startPage()->openField();
        QTest::keyClicks(field, QStringLiteral("RFC 9293"));
        QTest::keyClick(field, Qt::Key_Return);
        app.settle();
        QTRY_VERIFY(form->activeDocument());
        QCOMPARE(form->activeDocument()->documentPath(), app.libraryFolder() + QStringLiteral("rfc9293.txt"));
        QVERIFY(!form->startPage()->isVisible());
        QVERIFY(app.dialogs.completionAnswers.isEmpty());
    }

    void userGuideFromTheMenuAndThePage()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QAction *guide = form->action(Command::HelpUserGuide);
        QCOMPARE(guide->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(!form->userGuide());
        emit form->startPage()->userGuideRequested();
        QVERIFY(form->userGuide());
        QTRY_VERIFY(form->userGuide()->isVisible());
        QVERIFY(form->userGuide()->isReadOnly());
        // The bundled guide itself, with the keys the program has.
        const QString text = form->userGuide()->toPlainText();
        QVERIFY(text.contains(QStringLiteral("Ctrl+Shift+F")));
        QVERIFY(text.contains(QStringLiteral("folivane 9293")));

        form->userGuide()->close();
        guide->trigger();
        QTRY_VERIFY(form->userGuide()->isVisible());
    }
};

QTEST_MAIN(TestStartPage)
#include "tst_startpage.moc"
