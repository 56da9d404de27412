#include "appfixture.h"
#include "commands.h"
#include "documentwindow.h"
#include "erratacontroller.h"
#include "erratapanel.h"
#include "mainwindow.h"
#include "testfiles.h"
#include "testhttpserver.h"
#include "textview.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

// RFC 793 (outside the library, so nothing is fetched) with the stored
// errata list of the library folder.
DocumentWindow *openRfc793(AppFixture &app)
{
    QDir().mkpath(app.libraryFolder());
    writeFile(app.libraryFolder() + QStringLiteral("errata.json"),
              readFile(QStringLiteral(FOLIVANE_ERRATA_DATA "/errata.json")));
    app.start();
    DocumentWindow *window = app.open(app.document(QStringLiteral("rfc793.txt"),
                                                   readFile(corpusFile(QStringLiteral("rfc793.txt")))));
    return window;
}

// The Errata tab once its list is filled (the stored list is read off the
// user-interface thread).
ErrataPanel *filledPanelOf(DocumentWindow *window)
{
    ErrataPanel *panel = window->findChild<ErrataPanel *>();
    return panel && QTest::qWaitFor([panel] { return panel->list()->topLevelItemCount() > 0; }) ? panel : nullptr;
}

QStringList column(QTreeWidget *list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

} // namespace

// The errata of an open RFC shown where they correct it: listed in the
// Errata tab, marked beside their lines and on the index, counted above the
// text.
class TestErrataController : public QObject
{
    Q_OBJECT

private slots:
    void standingErrataShownAtTheirLines()
    {
        AppFixture app;
        DocumentWindow *window = openRfc793(app);
        QVERIFY(window);
        ErrataPanel *panel = filledPanelOf(window);
        QVERIFY(panel);

        // Verified and held ones only, until the switch says otherwise.
        QCOMPARE(column(panel->list(), 0), (QStringList{"572", "1562", "4580", "6477"}));
        QCOMPARE(column(panel->list(), 5), (QStringList{"378", "1429", "545 (section)", "3878"}));
        QVERIFY(window->notice()->text().contains(
            QStringLiteral("2 verified errata, 2 errata held for document update")));
        QCOMPARE(window->textView()->lineMarks(), (std::vector<int>{377, 544, 1428, 3877}));

        // Sections 2.1, 2.7 and 3.3 carry a mark in the index, counted on
        // their enclosing sections too.
        QStringList marked;
        for (QTreeWidgetItemIterator it(window->indexTree()); *it; ++it)
            if (!(*it)->toolTip(0).isEmpty())
                marked << (*it)->text(0).section(u' ', 0, 0) + u'=' + (*it)->toolTip(0);
        QVERIFY2(marked.contains(QStringLiteral("2.=2 errata")), qPrintable(marked.join(u',')));
        QVERIFY(marked.contains(QStringLiteral("2.1.=1 erratum")));
        QVERIFY(marked.contains(QStringLiteral("3.3.=1 erratum")));

        panel->findChild<QCheckBox *>()->click();
        QCOMPARE(column(panel->list(), 0), (QStringList{"572", "1562", "2771", "4580", "6477"}));
        QCOMPARE(panel->list()->topLevelItem(2)->text(5), QStringLiteral("not placed"));
        // A rejected one placed nowhere adds no mark.
        QCOMPARE(window->textView()->lineMarks().size(), size_t(4));
    }

    void choosingAnErratumGoesToItsLineAndShowsTheCorrection()
    {
        AppFixture app;
        DocumentWindow *window = openRfc793(app);
        ErrataPanel *panel = filledPanelOf(window);
        QVERIFY(panel);

        panel->list()->setCurrentItem(panel->list()->topLevelItem(1));
        QCOMPARE(window->textView()->caretLine(), 1428);
        const QString details = panel->details()->toPlainText();
        QVERIFY(details.contains(QStringLiteral("Erratum 1562")));
        QVERIFY(details.contains(QStringLiteral("Original")) && details.contains(QStringLiteral("Corrected")));

        QPushButton *copy = panel->findChild<QPushButton *>();
        QVERIFY(copy->isEnabled());
        copy->click();
        QCOMPARE(QApplication::clipboard()->text(), panel->listed().at(1).erratum.corrected);
        QVERIFY(!QApplication::clipboard()->text().isEmpty());

        // Next Erratum goes on from the caret, in the order of the text.
        window->textView()->setSelectionStart(0);
        app.form()->action(Command::GoNextErratum)->trigger();
        QCOMPARE(window->textView()->caretLine(), 377);
        app.form()->action(Command::GoNextErratum)->trigger();
        QCOMPARE(window->textView()->caretLine(), 544);
    }

    // An RFC of the library fetches the list when the library has none.
    void libraryRfcFetchesTheList()
    {
        AppFixture app;
        TestHttpServer server;
        server.listen();
        server.serve(QStringLiteral("/errata.json"),
                     {200, "application/json", readFile(QStringLiteral(FOLIVANE_ERRATA_DATA "/errata.json"))});
        app.settings->writeString(SettingsKeyPath, QStringLiteral("errata_url"),
                                  server.url(QStringLiteral("/errata.json")).toString());
        QDir().mkpath(app.libraryFolder());
        const QString path = app.libraryFolder() + QStringLiteral("rfc793.txt");
        writeFile(path, readFile(corpusFile(QStringLiteral("rfc793.txt"))));
        app.start();
        DocumentWindow *window = app.open(path);
        QVERIFY(window);
        ErrataPanel *panel = filledPanelOf(window);
        QVERIFY(panel);
        QCOMPARE(panel->list()->topLevelItemCount(), 4);
        QVERIFY(QFile::exists(app.libraryFolder() + QStringLiteral("errata.json")));
    }

    void aDocumentThatIsNoRfcHasNoErrataTab()
    {
        AppFixture app;
        app.start();
        DocumentWindow *window = app.open(app.document(QStringLiteral("notes.txt"), "1.  Notes\n\nText.\n"));
        QVERIFY(window);
        QVERIFY(!window->findChild<ErrataPanel *>());
        QVERIFY(window->textView()->lineMarks().empty());
    }
};

QTEST_MAIN(TestErrataController)
#include "tst_erratacontroller.moc"
