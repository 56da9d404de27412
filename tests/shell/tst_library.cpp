#include "appfixture.h"
#include "documentwindow.h"
#include "fontsettings.h"
#include "mainwindow.h"
#include "messagestrips.h"
#include "rfclibrary.h"
#include "statusprogress.h"
#include "testhttpserver.h"
#include "textview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>

namespace {

QString libraryFolder(const AppFixture &app)
{
    return app.dir.path() + QStringLiteral("/library/");
}

// A fixture whose library folder and fetch addresses are its own.
MainWindow *startWithLibrary(AppFixture &app, const TestHttpServer &server)
{
    const QString key = SettingsKeyPath;
    app.settings->writeString(key, QStringLiteral("library_folder"), libraryFolder(app));
    app.settings->writeString(key, QStringLiteral("rfc_base_url"), server.url(QStringLiteral("/rfc/")).toString());
    app.settings->writeString(key, QStringLiteral("index_url"),
                              server.url(QStringLiteral("/rfc-index.xml")).toString());
    return app.start();
}

void openRfc(AppFixture &app, const QString &text)
{
    app.dialogs.completionAnswers.enqueue(text);
    app.form()->action(Command::FileOpenRfc)->trigger();
}

const QByteArray Index = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<rfc-index xmlns=\"http://www.rfc-editor.org/rfc-index\">\n"
                         "<rfc-entry><doc-id>RFC9999</doc-id><title>Example Protocol</title>"
                         "<date><month>May</month><year>2030</year></date>"
                         "<current-status>PROPOSED STANDARD</current-status>"
                         "<obsoleted-by><doc-id>RFC10001</doc-id></obsoleted-by>"
                         "<updated-by><doc-id>RFC10002</doc-id></updated-by>"
                         "<errata-url>https://www.rfc-editor.org/errata/rfc9999</errata-url></rfc-entry>\n"
                         "</rfc-index>\n";

// The index above served, and its RFC 9999 in the library.
MainWindow *startWithIndexedRfc(AppFixture &app, TestHttpServer &server)
{
    server.serve(QStringLiteral("/rfc-index.xml"), {200, "application/xml", Index});
    QDir().mkpath(libraryFolder(app));
    writeFile(libraryFolder(app) + QStringLiteral("rfc9999.txt"), "RFC 9999\n");
    return startWithLibrary(app, server);
}

} // namespace

// Open RFC: found in the library, fetched once and kept, and what the RFC
// index says of it.
class TestLibrary : public QObject
{
    Q_OBJECT

private slots:
    void fetchedOnceThenOpenedOffline()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        server.serve(QStringLiteral("/rfc/rfc9999.txt"), {200, "text/plain", "RFC 9999  Example\n\n1.  Intro\n"});
        AppFixture app;
        MainWindow *form = startWithLibrary(app, server);

        openRfc(app, QStringLiteral("9999"));
        QTRY_VERIFY(form->activeDocument());
        QCOMPARE(form->activeDocument()->documentPath(), libraryFolder(app) + QStringLiteral("rfc9999.txt"));

        // Not served: no file is left, and a strip above the text says why.
        openRfc(app, QStringLiteral("RFC 9998"));
        QTRY_VERIFY(form->messageStrips()->text(QStringLiteral("fetch")).startsWith(QStringLiteral("RFC 9998 was not found at")));
        QVERIFY(!QFileInfo::exists(libraryFolder(app) + QStringLiteral("rfc9998.txt")));
        QCOMPARE(QDir(libraryFolder(app)).entryList({QStringLiteral("*.txt")}, QDir::Files),
                 QStringList{QStringLiteral("rfc9999.txt")});

        // With the server gone, the library still has it.
        server.close();
        QVERIFY(form->activeDocument()->close());
        openRfc(app, QStringLiteral("rfc9999"));
        QTRY_VERIFY(form->activeDocument());
        QCOMPARE(form->activeDocument()->documentPath(), libraryFolder(app) + QStringLiteral("rfc9999.txt"));
    }

    // A fetch shows what it fetches with a Cancel button; Cancel stops it
    // and leaves nothing behind.
    // One RFC, one window: a local copy open, Open RFC, a link and the
    // command line all reach it, and nothing is fetched.
    void everyWayInReachesTheOpenCopy()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        AppFixture app;
        MainWindow *form = startWithLibrary(app, server);
        // Its file name says nothing; its first page says RFC 9999.
        const QString local = app.document(QStringLiteral("docs/example.txt"),
                                           "Network Working Group\nRequest for Comments: 9999          May 2030\n\n"
                                           "1.  Intro\n\n2.  More\n");
        DocumentWindow *window = app.open(local);
        QVERIFY(window);
        const QByteArray otherText = "See RFC 9999, Section 2.\nhttps://www.rfc-editor.org/rfc/rfc9999#section-1\n";
        const QString other = app.document(QStringLiteral("other.txt"), otherText);
        app.open(other);

        openRfc(app, QStringLiteral("RFC 9999"));
        app.settle();
        QCOMPARE(form->activeDocument(), window);

        app.open(other);
        form->activeDocument()->textView()->setSelectionStart(5);
        QTest::keyClick(form->activeDocument()->textView(), Qt::Key_Return);
        app.settle();
        QCOMPARE(form->activeDocument(), window);
        QCOMPARE(window->textView()->caretLine(), 5); // "2.  More"

        // The RFC Editor's address of a section opens here, without asking.
        app.open(other);
        TextView *otherView = form->activeDocument()->textView();
        otherView->setSelectionStart(otherView->toViewPosition(int(otherText.indexOf("https")) + 5));
        QTest::keyClick(form->activeDocument()->textView(), Qt::Key_Return);
        app.settle();
        QCOMPARE(form->activeDocument(), window);
        QCOMPARE(window->textView()->caretLine(), 3); // "1.  Intro"
        QVERIFY(app.dialogs.questions.isEmpty());

        form->openArguments({QStringLiteral("9999")});
        app.settle();
        QCOMPARE(form->activeDocument(), window);
        // A copy of the same RFC in the library is that document too.
        QDir().mkpath(libraryFolder(app));
        const QString copy = app.document(QStringLiteral("library/rfc9999.txt"), "RFC 9999  Example\n");
        app.open(copy);
        QCOMPARE(form->activeDocument(), window);
        QCOMPARE(form->documents().size(), 2);
        QVERIFY(server.requestedPaths().filter(QStringLiteral(".txt")).isEmpty());
    }

    // A link to an RFC on no disk fetches it and opens it at its section.
    void followingALinkFetchesTheDocument()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        server.serve(QStringLiteral("/rfc/rfc9997.txt"),
                     {200, "text/plain", "RFC 9997  Example\n\n1.  Intro\n\n2.  Details\n\n   Words.\n"});
        AppFixture app;
        MainWindow *form = startWithLibrary(app, server);
        const QString citing = app.document(QStringLiteral("citing.txt"), "See Section 2 of RFC 9997.\n");
        DocumentWindow *window = app.open(citing);
        window->textView()->setSelectionStart(5);
        QTest::keyClick(window->textView(), Qt::Key_Return);
        QTRY_VERIFY(form->activeDocument() != window);
        app.settle();
        QCOMPARE(form->activeDocument()->documentPath(), libraryFolder(app) + QStringLiteral("rfc9997.txt"));
        QCOMPARE(form->activeDocument()->textView()->caretLine(), 4); // "2.  Details"
    }

    // The card over each kind of reference: the RFC index's facts and where
    // the copy is, the References entry, the heading.
    void cardsSayWhereLinksLead()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        AppFixture app;
        MainWindow *form = startWithIndexedRfc(app, server);
        app.open(libraryFolder(app) + QStringLiteral("rfc9999.txt"));
        QTRY_VERIFY(!form->library()->index().isEmpty());
        const QByteArray text = "1.  Introduction\n\n   See RFC 9999 and RFC 9998.  Read Section 2 and [KEY].\n\n"
                                "2.  Details of It\n\n3.  References\n\n"
                                "   [KEY]      Someone, \"A Key\n"
                                "              Document\", Example Publisher, Example Series of Papers, 2020.\n\n"
                                "   [OTHER]    Else.\n";
        DocumentWindow *window = app.open(app.document(QStringLiteral("notes.txt"), text));
        const auto cardAt = [&](const char *word) {
            window->textView()->setSelectionStart(window->textView()->toViewPosition(int(text.indexOf(word)) + 1));
            form->action(Command::GoLinkCard)->trigger();
            return QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText();
        };
        QCOMPARE(cardAt("RFC 9999"),
                 QStringLiteral("RFC 9999: Example Protocol, Proposed Standard, May 2030\nObsoleted by RFC 10001\n"
                                "Here: %1rfc9999.txt")
                     .arg(libraryFolder(app)));
        QCOMPARE(cardAt("RFC 9998"), QStringLiteral("RFC 9998\nNot on this machine: following the link fetches it"));
        QCOMPARE(cardAt("Section 2"), QStringLiteral("Section 2.  Details of It"));
        // Joined into one paragraph, wrapped at 72 columns.
        QCOMPARE(cardAt("[KEY]."), QStringLiteral("[KEY] Someone, \"A Key Document\", Example Publisher, Example Series of\n"
                                                  "Papers, 2020."));
        // Off any link, the status bar says so.
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        cardAt("See");
        QVERIFY(!QToolTip::isVisible());
        QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("The caret is on no link"));
    }

    void fetchShowsProgressAndCancels()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        server.serve(QStringLiteral("/rfc/rfc9997.txt"),
                     {200, "text/plain", "RFC 9997  Slow\n", TestHttpServer::Ending::Stall, {}});
        AppFixture app;
        MainWindow *form = startWithLibrary(app, server);
        StatusProgress *fetching = nullptr;
        for (StatusProgress *panel : form->statusBar()->findChildren<StatusProgress *>())
            if (panel->findChild<QPushButton *>())
                fetching = panel;
        QVERIFY(fetching);
        QVERIFY(fetching->isHidden());

        openRfc(app, QStringLiteral("9997"));
        QTRY_VERIFY(fetching->isVisible());
        QVERIFY(fetching->label()->text().startsWith(QStringLiteral("Fetching ")));
        QVERIFY(fetching->label()->text().contains(QStringLiteral("9997")));
        QTest::mouseClick(fetching->findChild<QPushButton *>(), Qt::LeftButton);
        QTRY_VERIFY(fetching->isHidden());
        QVERIFY(!form->activeDocument());
        QVERIFY(QDir(libraryFolder(app)).entryList({QStringLiteral("*.txt")}, QDir::Files).isEmpty());
    }

    void theIndexNamesTheDocument()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        AppFixture app;
        MainWindow *form = startWithIndexedRfc(app, server);

        DocumentWindow *window = app.open(libraryFolder(app) + QStringLiteral("rfc9999.txt"));
        // Fetched in the background and parsed off this thread.
        QTRY_COMPARE(QTextDocumentFragment::fromHtml(form->fileTabs()->tabToolTip(0)).toPlainText(),
                     QStringLiteral("RFC 9999: Example Protocol, Proposed Standard, May 2030"));
        QTRY_VERIFY(window->notice()->isVisible());
        QVERIFY(window->notice()->text().contains(QStringLiteral("href=\"rfc:10001\">RFC 10001</a>")));
        QVERIFY(window->notice()->text().contains(QStringLiteral("Updated by")));
        // Under Dark the links stayed dark blue on black.
        form->action(Command::ViewThemeDark)->trigger();
        const QString linkColour = QApplication::palette().color(QPalette::Link).name();
        QVERIFY(window->notice()->text().contains(QStringLiteral("<a style=\"color:%1\" href=\"rfc:10001\">").arg(linkColour)));

        // The errata link asks first, then goes to the browser.
        app.dialogs.confirmAnswers.enqueue(true);
        emit window->notice()->linkActivated(QStringLiteral("https://www.rfc-editor.org/errata/rfc9999"));
        QCOMPARE(app.dialogs.openedUrls.size(), 1);

        // Completion from the index, and a title opens its RFC.
        openRfc(app, QStringLiteral("example protocol"));
        // Obsoleted RFCs say so, after the current ones.
        QCOMPARE(app.dialogs.lastCompletions,
                 QStringList{QStringLiteral("RFC 9999 Example Protocol (obsoleted by RFC 10001)")});
        QCOMPARE(form->documents().size(), 1);
    }

    void numberOfNoRfc_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("RFC 0") << QStringLiteral("RFC 0") << QStringLiteral("0 is not an RFC number");
        QTest::newRow("rfc00000") << QStringLiteral("rfc00000") << QStringLiteral("00000 is not an RFC number");
        QTest::newRow("0") << QStringLiteral(" 0 ") << QStringLiteral("0 is not an RFC number");
        QTest::newRow("six digits") << QStringLiteral("RFC 123456 Title") << QStringLiteral("123456 is not an RFC number");
    }

    // "RFC 0" asserted in a debug build and asked the server for rfc0.txt.
    void numberOfNoRfc()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        TestHttpServer server;
        QVERIFY(server.listen());
        AppFixture app;
        MainWindow *form = startWithLibrary(app, server);

        openRfc(app, text);
        QCOMPARE(form->statusBar()->currentMessage(), message);
        QVERIFY(form->documents().isEmpty());
    }
};

QTEST_MAIN(TestLibrary)
#include "tst_library.moc"
