#include "appfixture.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "mainwindow.h"
#include "statusprogress.h"
#include "textview.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QThreadPool>
#include <QTest>
#include <QTimer>

class TestDocumentManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<DocumentWindow *>(); }

    // However many requests come while files are read, the documents come
    // up in the order they were asked for, each once.
    void requestsAreServedInOrder()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentManager &documents = form->documentManager();
        const QString large = app.document(QStringLiteral("rfc1.txt"), numberedLines(200000));
        const QString small = app.document(QStringLiteral("rfc2.txt"), numberedLines(3));
        QSignalSpy opened(&documents, &DocumentManager::opened);
        documents.open(large);
        documents.open(small);
        documents.open(QFileInfo(large).absolutePath() + QStringLiteral("/./rfc1.txt"));
        QVERIFY(documents.isLoading());
        app.settle();
        QCOMPARE(opened.size(), 2);
        QCOMPARE(form->fileTabs()->tabText(0), QStringLiteral("rfc1.txt"));
        QCOMPARE(form->fileTabs()->tabText(1), QStringLiteral("rfc2.txt"));
        // The last request was for the first document again: it is in front.
        QCOMPARE(form->activeDocument()->documentPath(), large);
    }

    void closingAllStopsAtTheFirstThatRefuses()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QStringList paths;
        for (const char *name : {"rfc1.txt", "rfc2.txt", "rfc3.txt"})
            paths << app.document(QLatin1String(name), numberedLines(20));
        for (const QString &path : paths)
            app.open(path);
        // A folder where the second one's state file goes: its write fails,
        // and the user keeps it open.
        QVERIFY(QDir().mkpath(app.iniPath(paths[1])));
        QVERIFY(!form->documentManager().closeAll());
        QCOMPARE(form->documents().size(), 2);
        QCOMPARE(form->documents()[0]->documentPath(), paths[1]);
        QCOMPARE(form->documents()[1]->documentPath(), paths[2]);
        QVERIFY(QFile::exists(app.iniPath(paths[0])));
        QVERIFY(!QFile::exists(app.iniPath(paths[2])));
    }

    // Asked to close while a file is read: nothing opens afterwards, and
    // the read is waited for before the state store goes.
    void closingDropsReadsStillRunning()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentManager &documents = form->documentManager();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(200000));
        documents.open(path);
        QVERIFY(documents.isLoading());
        QVERIFY(documents.closeAll());
        QVERIFY(!documents.isLoading());
        // The read ends, and its result arrives, with nobody to take it.
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QVERIFY(form->documents().isEmpty());
        QVERIFY(!QFile::exists(app.iniPath(path)));
    }

    // A text too long to go into the view at once comes in slices, with
    // progress; the stored top line and highlights wait for the whole text,
    // and so does what was asked to run once the document is shown.
    void largeDocumentOpensInSlicesWithItsState()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentManager &documents = form->documentManager();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(150000));
        DocumentWindow *window = app.open(path);
        TextView *view = window->textView();
        QVERIFY(view->text().size() > TextView::SlicedFrom);
        const int nearEnd = view->lineCount() - 200;
        window->showLine(nearEnd);
        view->setSelectionStart(view->lineStart(nearEnd));
        view->setSelectionLength(8);
        form->action(Command::EditHighlight)->trigger();
        const qint32 marked = view->lineStart(nearEnd) + 3;
        const int top = window->topLine();
        QVERIFY(window->close());

        QSignalSpy progress(&documents, &DocumentManager::openingProgress);
        QSignalSpy ended(&documents, &DocumentManager::openingEnded);
        bool completeWhenShown = false;
        int topWhenShown = -1;
        documents.open(path, [&](DocumentWindow &shown) {
            completeWhenShown = shown.isTextComplete();
            topWhenShown = shown.topLine();
        });
        app.settle();
        QVERIFY(completeWhenShown);
        QCOMPARE(topWhenShown, top);
        QCOMPARE(ended.size(), 1);
        // The read, then the slices, up to the whole text.
        QVERIFY(progress.size() > 3);
        QCOMPARE(progress.first().at(2).toLongLong(), 0);
        QCOMPARE(progress.last().at(1), progress.last().at(2));
        window = form->activeDocument();
        QCOMPARE(window->textView()->document()->blockCount(), window->textView()->lineCount());
        QTextCursor cursor(window->textView()->document());
        cursor.setPosition(window->textView()->toQtPosition(marked) + 1);
        QCOMPARE(cursor.charFormat().background().color(), QColor(Qt::yellow));
    }

    // Cancel in the status bar, while the file is read or while its text goes
    // in: no window stays and no state is written.
    void cancelledOpenLeavesNothing()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentManager &documents = form->documentManager();
        const QString path = app.document(QStringLiteral("rfc1.txt"), numberedLines(150000));
        auto *opening = form->findChild<StatusProgress *>(QStringLiteral("OpeningProgress"));
        QVERIFY(opening);
        auto *cancel = opening->findChild<QPushButton *>();
        for (const bool whileRead : {true, false}) {
            bool wasShown = false;
            bool whenShownRan = false;
            auto clickCancel = connect(&documents, &DocumentManager::openingProgress, this,
                                       [&](const QString &, qint64, qint64 total) {
                                           if ((total == 0) != whileRead || wasShown)
                                               return;
                                           wasShown = opening->isVisible();
                                           cancel->click();
                                       });
            documents.open(path, [&](DocumentWindow &) { whenShownRan = true; });
            QVERIFY(QTest::qWaitFor([&] { return !documents.isLoading(); }, 60000));
            QThreadPool::globalInstance()->waitForDone();
            app.settle();
            disconnect(clickCancel);
            QVERIFY2(wasShown, whileRead ? "while read" : "while the text went in");
            QVERIFY(!whenShownRan);
            QVERIFY(form->documents().isEmpty());
            QVERIFY(!opening->isVisible());
            QVERIFY(!QFile::exists(app.iniPath(path)));
        }
        // The next open is not cancelled.
        QVERIFY(app.open(path));
    }

    // The file is read and parsed off the user-interface thread: the open
    // returns at once and events are handled before the text goes in. How
    // long the window may wait is the benchmark's worst_lateness.
    void windowAnswersWhileADocumentIsRead()
    {
        AppFixture app;
        MainWindow *form = app.start();
        QByteArray text;
        for (int section = 1; text.size() < 10 * 1024 * 1024; ++section)
            text += QByteArray::number(section) + ".  Section " + QByteArray::number(section) + "\n\n"
                    + numberedLines(40) + "\n";
        const QString path = app.document(QStringLiteral("rfc10.txt"), text);

        bool shown = false;
        bool eventHandledBeforeShown = false;
        connect(&form->documentManager(), &DocumentManager::opened, this, [&] { shown = true; });
        form->openDocument(path);
        QVERIFY(!shown);
        QTimer::singleShot(0, this, [&] { eventHandledBeforeShown = !shown; });
        app.settle();
        QVERIFY(shown);
        QVERIFY(eventHandledBeforeShown);
        QVERIFY(form->activeDocument()->record().outline.headings.size() > 1000);
    }
};

QTEST_MAIN(TestDocumentManager)
#include "tst_documentmanager.moc"
