#include "appfixture.h"
#include "commands.h"
#include "comparedrevisions.h"
#include "comparisonwindow.h"
#include "documentmanager.h"
#include "searchabletext.h"
#include "documentwindow.h"
#include "mainwindow.h"
#include "rfclibrary.h"
#include "testfiles.h"
#include "testhttpserver.h"
#include "textview.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString Older = QStringLiteral("draft-nottingham-rfc5785bis-04.txt");
const QString Newer = QStringLiteral("draft-nottingham-rfc5785bis-05.txt");

ComparisonWindow *shownComparison(AppFixture &app)
{
    ComparisonWindow *window = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        window = app.form()->findChild<ComparisonWindow *>();
        return window != nullptr;
    });
    return shown ? window : nullptr;
}

// Revision -05 in the library; -04 only on a local server.
DocumentWindow *openNewerWithOlderServed(AppFixture &app, TestHttpServer &server)
{
    server.listen();
    server.serve(u'/' + Older, {200, "text/plain", readFile(corpusFile(Older))});
    app.settings->writeString(SettingsKeyPath, QStringLiteral("draft_base_url"), server.url(QStringLiteral("/")).toString());
    QDir().mkpath(app.libraryFolder());
    writeFile(app.libraryFolder() + Newer, readFile(corpusFile(Newer)));
    app.start();
    return app.open(app.libraryFolder() + Newer);
}

// Compare with Previous Revision on -05, once its window shows.
ComparisonWindow *comparedWithPrevious(AppFixture &app, TestHttpServer &server)
{
    if (!openNewerWithOlderServed(app, server))
        return nullptr;
    app.form()->action(Command::FileCompareWithPrevious)->trigger();
    return shownComparison(app);
}

QString sectionTip(QTreeWidget *index, const QString &number)
{
    for (QTreeWidgetItemIterator it(index); *it; ++it)
        if ((*it)->text(0).startsWith(number + QStringLiteral(".  ")))
            return (*it)->toolTip(0);
    return QStringLiteral("(no such section)");
}

} // namespace

// Two revisions compared in a window beside the documents.
class TestCompare : public QObject
{
    Q_OBJECT

private slots:
    void previousRevisionIsFetchedKeptAndCompared()
    {
        AppFixture app;
        TestHttpServer server;
        ComparisonWindow *comparison = comparedWithPrevious(app, server);
        QVERIFY(comparison);
        QVERIFY(QFile::exists(app.libraryFolder() + Older));
        // Kept, not opened: the only document window is still -05.
        QCOMPARE(app.form()->documentManager().documents().size(), 1);
        QCOMPARE(QFileInfo(comparison->revisions().oldPath).fileName(), Older);

        const int count = comparison->changeCount();
        QVERIFY(count > 10);
        QCOMPARE(comparison->position()->text(), QStringLiteral("Change 1 of %1").arg(count));
        // The new section 3.1 is marked in the index, and the unchanged appendix is not.
        QCOMPARE(sectionTip(comparison->index(), QStringLiteral("3.1")), QStringLiteral("1 change"));
        QCOMPARE(sectionTip(comparison->index(), QStringLiteral("Appendix A")), QString());
    }

    void changesAreSteppedThroughOnBothSides()
    {
        AppFixture app;
        TestHttpServer server;
        ComparisonWindow *comparison = comparedWithPrevious(app, server);
        QVERIFY(comparison);
        const RevisionComparison &changes = *comparison->revisions().comparison;

        for (int step = 0; step < 5; ++step)
            app.form()->action(Command::GoNextChange)->trigger();
        QCOMPARE(comparison->currentChange(), 5);
        QCOMPARE(comparison->position()->text(), QStringLiteral("Change 6 of %1").arg(comparison->changeCount()));
        const TextChange &sixth = changes.changes()[5];
        const int newLine = sixth.newLines.empty() ? sixth.newAt : sixth.newLines.front();
        QCOMPARE(comparison->newView()->caretLine(), newLine);
        // Both sides show the change near their top.
        QVERIFY(qAbs(comparison->newView()->firstVisibleLine() - newLine) <= 3);
        const int oldLine = sixth.oldLines.empty() ? sixth.oldAt : sixth.oldLines.front();
        QVERIFY(qAbs(comparison->oldView()->firstVisibleLine() - oldLine) <= 3);
        QVERIFY(comparison->newView()->lineTint(newLine).isValid());

        // Scrolling one side takes the other along.
        comparison->newView()->scrollToLine(200);
        QCOMPARE(comparison->oldView()->firstVisibleLine(), changes.oldLineFor(comparison->newView()->firstVisibleLine()));

        app.form()->action(Command::GoPreviousChange)->trigger();
        QCOMPARE(comparison->currentChange(), 4);
    }

    void oneColumnSetsRemovedLinesBeforeTheirReplacement()
    {
        AppFixture app;
        TestHttpServer server;
        ComparisonWindow *comparison = comparedWithPrevious(app, server);
        QVERIFY(comparison);
        comparison->setOneColumn(true);
        QVERIFY(comparison->inlineView()->isVisibleTo(comparison));
        QVERIFY(!comparison->newView()->isVisibleTo(comparison));
        const QStringList lines = comparison->inlineView()->text().split(u'\n');
        const qsizetype was = lines.indexOf(QStringLiteral("Expires: August 19, 2018"));
        QVERIFY(was >= 0);
        QCOMPARE(lines.at(was + 1), QStringLiteral("Expires: October 7, 2018"));
        QVERIFY(comparison->inlineView()->lineTint(int(was)).isValid());
        // Every line of the newer revision is there once, and each removed one.
        const RevisionComparison &changes = *comparison->revisions().comparison;
        qsizetype removed = 0;
        for (const TextChange &change : changes.changes())
            removed += qsizetype(change.oldLines.size());
        QCOMPARE(lines.size() - 1, changes.newLineCount() + removed);
    }

    void comparisonIsSavedInTheChosenFormat()
    {
        AppFixture app;
        TestHttpServer server;
        ComparisonWindow *comparison = comparedWithPrevious(app, server);
        QVERIFY(comparison);

        const QString diffPath = app.dir.filePath(QStringLiteral("changes.diff"));
        app.dialogs.saveFileAnswers.enqueue(diffPath);
        app.form()->action(Command::FileSaveComparison)->trigger();
        QCOMPARE(app.dialogs.suggestedSaveNames.constLast(),
                 app.libraryFolder() + QStringLiteral("draft-nottingham-rfc5785bis-04-to-draft-nottingham-rfc5785bis-05.diff"));
        const QString diff = QString::fromUtf8(readFile(diffPath));
        QVERIFY(diff.startsWith(QStringLiteral("--- %1\n+++ %2\n@@ ").arg(Older, Newer)));
        QVERIFY(diff.contains(QStringLiteral("\n-Expires: August 19, 2018\n+Expires: October 7, 2018\n")));

        const QString listingPath = app.dir.filePath(QStringLiteral("changes.txt"));
        app.dialogs.saveFileAnswers.enqueue(listingPath);
        app.form()->action(Command::FileSaveComparison)->trigger();
        const QString listing = QString::fromUtf8(readFile(listingPath));
        QVERIFY(listing.contains(QStringLiteral("OLD:\n\nExpires: August 19, 2018\n\nNEW:\n\nExpires: October 7, 2018\n")));

        // A folder that cannot be written to is reported, and nothing claims success.
        app.dialogs.saveFileAnswers.enqueue(app.dir.filePath(QStringLiteral("missing/folder/changes.diff")));
        app.form()->action(Command::FileSaveComparison)->trigger();
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY(app.dialogs.errors.constLast().text.startsWith(QStringLiteral("The comparison could not be saved")));
    }

    // Find and Copy Reference act on the side that had the focus last.
    void findAndCopyReferenceWorkInEitherSide()
    {
        AppFixture app;
        TestHttpServer server;
        ComparisonWindow *comparison = comparedWithPrevious(app, server);
        QVERIFY(comparison);
        QCOMPARE(app.form()->documentManager().activeText(), comparison);
        QVERIFY(QTest::qWaitForWindowActive(app.form()));

        comparison->oldView()->setFocus();
        QTRY_COMPARE(comparison->searchedView(), comparison->oldView());
        const SearchableText::MatchResult old = comparison->findMatch(QStringLiteral("August 19, 2018"), {}, 0, true);
        QVERIFY(old.count >= 2);
        comparison->newView()->setFocus();
        QTRY_COMPARE(comparison->searchedView(), comparison->newView());
        QCOMPARE(comparison->findMatch(QStringLiteral("August 19, 2018"), {}, 0, true).count, 0);
        // Past the table of contents: the heading of section 3.1.
        const qint32 body = comparison->newView()->lineStart(200);
        QVERIFY(comparison->findMatch(QStringLiteral("Registering Well-Known URIs"), {}, body, true).count > 0);
        QCOMPARE(comparison->newView()->caretLine(), 207);

        // The match is selected: the reference quotes it under its section.
        app.form()->action(Command::EditCopyReference)->trigger();
        QVERIFY2(QApplication::clipboard()->text().startsWith(
                     QStringLiteral("draft-nottingham-rfc5785bis-05, Section 3.1\n> Registering Well-Known URIs")),
                 qPrintable(QApplication::clipboard()->text()));
    }

    void compareWithAnOpenDocumentPutsTheOlderRevisionLeft()
    {
        AppFixture app;
        app.start();
        QVERIFY(app.open(app.document(Older, readFile(corpusFile(Older)))));
        DocumentWindow *newer = app.open(app.document(Newer, readFile(corpusFile(Newer))));
        QVERIFY(newer);
        // From the older one, naming the newer: still older to newer.
        app.form()->documentManager().activate(app.form()->documentManager().documents().constFirst());
        app.dialogs.completionAnswers.enqueue(Newer);
        app.form()->action(Command::FileCompareWith)->trigger();
        QCOMPARE(app.dialogs.lastCompletions, QStringList{Newer});
        ComparisonWindow *comparison = shownComparison(app);
        QVERIFY(comparison);
        QCOMPARE(QFileInfo(comparison->revisions().oldPath).fileName(), Older);
        QCOMPARE(QFileInfo(comparison->revisions().newPath).fileName(), Newer);
    }

    void rfcIsComparedWithTheDraftTheIndexNames()
    {
        AppFixture app;
        TestHttpServer server;
        server.listen();
        server.serve(QStringLiteral("/rfc-index.xml"),
                     {200, "application/xml",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<rfc-index xmlns=\"http://www.rfc-editor.org/rfc-index\"><rfc-entry><doc-id>RFC8615</doc-id>"
                      "<title>Well-Known Uniform Resource Identifiers (URIs)</title>"
                      "<draft>draft-nottingham-rfc5785bis-05</draft></rfc-entry></rfc-index>\n"});
        server.serve(u'/' + Newer, {200, "text/plain", readFile(corpusFile(Newer))});
        app.settings->writeString(SettingsKeyPath, QStringLiteral("index_url"),
                                  server.url(QStringLiteral("/rfc-index.xml")).toString());
        app.settings->writeString(SettingsKeyPath, QStringLiteral("draft_base_url"), server.url(QStringLiteral("/")).toString());
        QDir().mkpath(app.libraryFolder());
        // Any text stands in for the RFC: what matters is which sides are compared.
        writeFile(app.libraryFolder() + QStringLiteral("rfc8615.txt"), readFile(corpusFile(Older)));
        app.start();
        QVERIFY(app.open(app.libraryFolder() + QStringLiteral("rfc8615.txt")));
        QTRY_VERIFY(app.form()->library()->index().entry(8615));

        app.form()->action(Command::FileCompareWithFinalDraft)->trigger();
        ComparisonWindow *comparison = shownComparison(app);
        QVERIFY(comparison);
        QCOMPARE(QFileInfo(comparison->revisions().oldPath).fileName(), Newer);
        QCOMPARE(QFileInfo(comparison->revisions().newPath).fileName(), QStringLiteral("rfc8615.txt"));
    }

    void firstRevisionAndUnknownNamesLeaveAWayOn()
    {
        AppFixture app;
        app.start();
        QVERIFY(app.open(app.document(QStringLiteral("draft-example-protocol-00.txt"), "1.  Intro\n\nText.\n")));
        app.form()->action(Command::FileCompareWithPrevious)->trigger();
        QCOMPARE(app.form()->statusBar()->currentMessage(), QStringLiteral("draft-example-protocol-00 is the first revision"));

        app.dialogs.completionAnswers.enqueue(QStringLiteral("no such thing"));
        app.form()->action(Command::FileCompareWith)->trigger();
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY(!app.form()->findChild<ComparisonWindow *>());
    }
};

QTEST_MAIN(TestCompare)
#include "tst_compare.moc"
