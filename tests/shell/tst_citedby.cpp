#include "appfixture.h"
#include "citedbypanel.h"
#include "documentmanager.h"
#include "documentwindow.h"
#include "commands.h"
#include "mainwindow.h"
#include "testfiles.h"
#include "textview.h"

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

namespace {

QTreeWidgetItem *itemNamed(QTreeWidget *tree, const QString &text)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0) == text)
            return *it;
    return nullptr;
}

} // namespace

// The Referenced by tab of an RFC: the library documents that cite it.
class TestCitedBy : public QObject
{
    Q_OBJECT

private slots:
    void citingDocumentsAreListedAndOpenAtTheCitingLine()
    {
        AppFixture app;
        QDir().mkpath(app.libraryFolder());
        for (const char *name : {"rfc791.txt", "rfc793.txt", "rfc9293.txt"})
            writeFile(app.libraryFolder() + QLatin1String(name), readFile(corpusFile(QLatin1String(name))));
        app.start();
        DocumentWindow *window = app.open(app.libraryFolder() + QStringLiteral("rfc791.txt"));
        QVERIFY(window);
        CitedByPanel *panel = window->findChild<CitedByPanel *>();
        QVERIFY(panel);
        // Filled once the library is indexed.
        QTRY_COMPARE_WITH_TIMEOUT(panel->citingDocuments(), 2, 30000);
        QCOMPARE(panel->normativeDocuments(), 1);
        QVERIFY(window->notice()->text().contains(QStringLiteral("Cited by 2 documents in the library (1 normatively)")));
        QVERIFY(itemNamed(panel->tree(), QStringLiteral("Normatively (1)")));
        QTreeWidgetItem *normative = itemNamed(panel->tree(), QStringLiteral("Normatively (1)"));
        QCOMPARE(normative->child(0)->text(0), QStringLiteral("rfc9293.txt"));

        // Entry [1] of its normative references.
        QTreeWidgetItem *entry = itemNamed(panel->tree(), QStringLiteral("Section 8.1, line 4437"));
        QVERIFY(entry);
        emit panel->tree()->itemActivated(entry, 0);
        app.settle();
        DocumentWindow *citing = app.form()->activeDocument();
        QVERIFY(citing && citing != window);
        QCOMPARE(QFileInfo(citing->documentPath()).fileName(), QStringLiteral("rfc9293.txt"));
        QCOMPARE(citing->textView()->caretLine(), 4436);
        // A jump: Back returns to RFC 791.
        app.form()->action(Command::GoBack)->trigger();
        app.settle();
        QCOMPARE(app.form()->activeDocument(), window);
    }

    void anRfcNobodyCitesSaysSo()
    {
        AppFixture app;
        QDir().mkpath(app.libraryFolder());
        writeFile(app.libraryFolder() + QStringLiteral("rfc9293.txt"), readFile(corpusFile(QStringLiteral("rfc9293.txt"))));
        app.start();
        DocumentWindow *window = app.open(app.libraryFolder() + QStringLiteral("rfc9293.txt"));
        CitedByPanel *panel = window->findChild<CitedByPanel *>();
        QVERIFY(panel);
        QTRY_VERIFY_WITH_TIMEOUT(itemNamed(panel->tree(), QStringLiteral("No document of the library cites it")), 30000);
        QVERIFY(!window->notice()->text().contains(QStringLiteral("Cited by")));
    }
};

QTEST_MAIN(TestCitedBy)
#include "tst_citedby.moc"
