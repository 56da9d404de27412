#include "appfixture.h"
#include "documentwindow.h"
#include "librarysearch.h"
#include "mainwindow.h"
#include "searchpanel.h"
#include "textview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

namespace {

// Filler lines, a short section that says "quokka" three times at line 201
// and another that says it once among many words at line 305.
QByteArray animalDocument()
{
    QByteArray text;
    for (int line = 1; line <= 400; ++line) {
        if (line == 199)
            text += "4.  Animals\n";
        else if (line == 201)
            text += "   quokka quokka quokka\n";
        else if (line == 203)
            text += "5.  Plants\n";
        else if (line == 305)
            text += "   among trees and grass and ferns a quokka was seen by the walkers\n";
        else if (line == 200 || line == 202 || line == 204)
            text += "\n";
        else
            text += "   filler line " + QByteArray::number(line) + " with nothing to find\n";
    }
    return text;
}

} // namespace

// Search, Search Library: the panel, its keys, and opening a hit as a jump.
class TestSearchLibrary : public QObject
{
    Q_OBJECT

private slots:
    void returnRunsDownMovesReturnOpensAtTheMatch()
    {
        AppFixture app;
        QDir().mkpath(app.libraryFolder());
        const QString path = app.libraryFolder() + QStringLiteral("rfc7001.txt");
        writeFile(path, animalDocument());
        MainWindow *form = start(app);
        SearchPanel *panel = form->searchPanel();

        QTest::keyClick(form, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(panel->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), panel->queryField());
        QTest::keyClicks(panel->queryField(), QStringLiteral("quokka"));
        QTest::keyClick(panel->queryField(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(panel->hitList()->count(), 2, 30000);
        QCOMPARE(panel->hitList()->currentRow(), 0);
        QCOMPARE(panel->hitList()->item(0)->text(), QStringLiteral("RFC 7001 \u2014 4 Animals, line 201"));
        QCOMPARE(panel->hitList()->item(1)->text(), QStringLiteral("RFC 7001 \u2014 5 Plants, line 305"));
        QCOMPARE(panel->summary()->text(), QStringLiteral("2 passages match"));

        QTest::keyClick(panel->queryField(), Qt::Key_Down);
        QTest::keyClick(panel->queryField(), Qt::Key_Down);
        QCOMPARE(panel->hitList()->currentRow(), 1);
        QTest::keyClick(panel->queryField(), Qt::Key_Up);
        QCOMPARE(panel->hitList()->currentRow(), 0);
        QCOMPARE(QApplication::focusWidget(), panel->queryField());

        QTest::keyClick(panel->queryField(), Qt::Key_Return);
        app.settle();
        DocumentWindow *document = form->activeDocument();
        QVERIFY(document);
        QCOMPARE(document->documentPath(), path);
        QCOMPARE(document->topLine(), 201);
        QCOMPARE(document->textView()->selectedText(), QStringLiteral("quokka"));
        QCOMPARE(QApplication::focusWidget(), panel->queryField());

        // The second hit is a jump within the document: Back returns.
        QTest::keyClick(panel->queryField(), Qt::Key_Down);
        QTest::keyClick(panel->queryField(), Qt::Key_Return);
        app.settle();
        QCOMPARE(document->topLine(), 305);
        QCOMPARE(document->textView()->selectedText(), QStringLiteral("quokka"));
        QVERIFY(form->action(Command::GoBack)->isEnabled());
        form->action(Command::GoBack)->trigger();
        app.settle();
        QCOMPARE(document->topLine(), 201);
    }

    void doubleClickOpens()
    {
        AppFixture app;
        QDir().mkpath(app.libraryFolder());
        writeFile(app.libraryFolder() + QStringLiteral("rfc7001.txt"), animalDocument());
        MainWindow *form = start(app);
        SearchPanel *panel = form->searchPanel();
        form->action(Command::SearchLibrary)->trigger();
        QTest::keyClicks(panel->queryField(), QStringLiteral("walkers"));
        QTest::keyClick(panel->queryField(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(panel->hitList()->count(), 1, 30000);
        QListWidget *list = panel->hitList();
        const QPoint centre = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
        app.settle();
        QVERIFY(form->activeDocument());
        QCOMPARE(form->activeDocument()->topLine(), 305);
        QCOMPARE(form->activeDocument()->textView()->selectedText(), QStringLiteral("walkers"));
    }

    void refusedQueryIsExplained()
    {
        AppFixture app;
        MainWindow *form = start(app);
        SearchPanel *panel = form->searchPanel();
        form->action(Command::SearchLibrary)->trigger();
        QTest::keyClicks(panel->queryField(), QStringLiteral("quokka AND"));
        QTest::keyClick(panel->queryField(), Qt::Key_Return);
        QTRY_VERIFY(panel->summary()->text().contains(QLatin1String("ends too soon")));
        QCOMPARE(panel->hitList()->count(), 0);
    }

    // A document opened from anywhere is indexed, and the scope can be
    // narrowed to the open documents.
    void openedDocumentsAreSearchedAndScoped()
    {
        AppFixture app;
        QDir().mkpath(app.libraryFolder());
        writeFile(app.libraryFolder() + QStringLiteral("rfc7001.txt"), animalDocument());
        MainWindow *form = start(app);
        const QString elsewhere = app.document(QStringLiteral("notes.txt"), "1.  Notes\n\n   a quokka note\n");
        QVERIFY(app.open(elsewhere));
        QTRY_VERIFY_WITH_TIMEOUT(!form->librarySearch()->isIndexing(), 30000);

        SearchPanel *panel = form->searchPanel();
        form->action(Command::SearchLibrary)->trigger();
        QTest::keyClicks(panel->queryField(), QStringLiteral("quokka"));
        QTest::keyClick(panel->queryField(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(panel->hitList()->count(), 3, 30000);
        for (QRadioButton *button : panel->findChildren<QRadioButton *>())
            if (button->text() == QStringLiteral("Open &documents"))
                button->click();
        QTRY_COMPARE_WITH_TIMEOUT(panel->hitList()->count(), 1, 30000);
        QCOMPARE(panel->hitList()->item(0)->text(), QStringLiteral("notes.txt \u2014 1 Notes, line 3"));
    }

    // With the index file deleted, the panel said "No passage matches" and
    // the file was not made again.
    void deletedIndexIsReportedAndMadeAgain()
    {
        AppFixture app;
        QDir().mkpath(app.libraryFolder());
        writeFile(app.libraryFolder() + QStringLiteral("rfc7001.txt"), animalDocument());
        MainWindow *form = start(app);
        const QString index = app.program->context.searchIndexPath;
        QVERIFY(QFile::remove(index));

        // The search finds the file gone, unless an indexing pass made it again first.
        SearchPanel *panel = form->searchPanel();
        form->action(Command::SearchLibrary)->trigger();
        QTest::keyClicks(panel->queryField(), QStringLiteral("walkers"));
        QTest::keyClick(panel->queryField(), Qt::Key_Return);
        QTRY_VERIFY2(panel->summary()->text().startsWith(QLatin1String("The search index is unavailable"))
                         || panel->hitList()->count() == 1,
                     qPrintable(panel->summary()->text()));

        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(index) && !form->librarySearch()->isIndexing(), 30000);
        QTest::keyClick(panel->queryField(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(panel->hitList()->count(), 1, 30000);
        QCOMPARE(panel->summary()->text(), QStringLiteral("1 passage matches"));
    }

private:
    static MainWindow *start(AppFixture &app)
    {
        MainWindow *form = app.start();
        form->resize(1000, 700);
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form))
            qWarning("the main window is not active");
        // The library is indexed as the program starts.
        if (!QTest::qWaitFor([form] { return !form->librarySearch()->isIndexing(); }, 30000))
            qWarning("the library is still being indexed");
        return form;
    }
};

QTEST_MAIN(TestSearchLibrary)
#include "tst_searchlibrary.moc"
