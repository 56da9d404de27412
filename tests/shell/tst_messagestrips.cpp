#include "appfixture.h"
#include "documentwindow.h"
#include "mainwindow.h"
#include "messagestrips.h"
#include "testhttpserver.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

namespace {

const QString Fetch = QStringLiteral("fetch");

MainWindow *startWithServer(AppFixture &app, const TestHttpServer &server)
{
    app.settings->writeString(SettingsKeyPath, QStringLiteral("rfc_base_url"),
                              server.url(QStringLiteral("/rfc/")).toString());
    app.settings->writeString(SettingsKeyPath, QStringLiteral("index_url"),
                              server.url(QStringLiteral("/rfc-index.xml")).toString());
    return app.start();
}

void openRfc(AppFixture &app, const QString &text)
{
    app.dialogs.completionAnswers.enqueue(text);
    app.form()->action(Command::FileOpenRfc)->trigger();
}

void dismiss(MessageStrips &strips, const QString &source)
{
    QWidget *strip = strips.strip(source);
    QVERIFY(strip);
    QTest::mouseClick(strip->findChild<QToolButton *>(QStringLiteral("MessageClose")), Qt::LeftButton);
}

} // namespace

// Errors stand above the text until dismissed or made good; passing notes
// stay in the status bar.
class TestMessageStrips : public QObject
{
    Q_OBJECT

private slots:
    void aFailedFetchStandsUntilOneSucceeds()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        server.serve(QStringLiteral("/rfc/rfc9999.txt"), {200, "text/plain", "RFC 9999  Example\n"});
        AppFixture app;
        MainWindow *form = startWithServer(app, server);
        MessageStrips *strips = form->messageStrips();
        QVERIFY(strips->isHidden());

        openRfc(app, QStringLiteral("9998"));
        QTRY_VERIFY(!strips->text(Fetch).isEmpty());
        QVERIFY(strips->text(Fetch).startsWith(QStringLiteral("RFC 9998 was not found at")));
        QVERIFY(strips->isVisible());
        // Not in the status bar, where it would time out.
        QVERIFY(!form->statusBar()->currentMessage().contains(QStringLiteral("9998")));

        // A passing note goes to the status bar and leaves the error standing.
        openRfc(app, QStringLiteral("RFC 0"));
        QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("0 is not an RFC number"));
        QVERIFY(strips->text(Fetch).startsWith(QStringLiteral("RFC 9998")));

        // A newer failure replaces it rather than piling up.
        openRfc(app, QStringLiteral("9997"));
        QTRY_VERIFY(strips->text(Fetch).startsWith(QStringLiteral("RFC 9997")));
        QCOMPARE(strips->sources(), QStringList{Fetch});

        openRfc(app, QStringLiteral("9999"));
        QTRY_VERIFY(form->activeDocument());
        QTRY_VERIFY(strips->sources().isEmpty());
        QVERIFY(strips->isHidden());
    }

    void severalStandAndGoOneByOne()
    {
        MessageStrips strips;
        strips.show();
        strips.showMessage(QStringLiteral("one"), MessageStrips::Level::Error, QStringLiteral("first"));
        strips.showMessage(QStringLiteral("two"), MessageStrips::Level::Warning, QStringLiteral("second"));
        QCOMPARE(strips.sources(), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
        // Shown as plain text: a file name can hold anything.
        strips.showMessage(QStringLiteral("one"), MessageStrips::Level::Error, QStringLiteral("<b>third</b>"));
        QCOMPARE(strips.sources(), (QStringList{QStringLiteral("two"), QStringLiteral("one")}));
        QCOMPARE(strips.text(QStringLiteral("one")), QStringLiteral("<b>third</b>"));
        QCOMPARE(strips.strip(QStringLiteral("one"))->findChild<QLabel *>(QStringLiteral("MessageText"))->textFormat(),
                 Qt::PlainText);

        dismiss(strips, QStringLiteral("two"));
        QCOMPARE(strips.sources(), QStringList{QStringLiteral("one")});
        QCOMPARE(strips.text(QStringLiteral("two")), QString());
        QVERIFY(strips.isVisible());
        // Clearing a source without a strip touches the others not.
        strips.clear(QStringLiteral("two"));
        QCOMPARE(strips.sources(), QStringList{QStringLiteral("one")});

        dismiss(strips, QStringLiteral("one"));
        QVERIFY(strips.sources().isEmpty());
        QVERIFY(strips.isHidden());
        // The dismissed strips are deleted once the click is done with.
        QTRY_VERIFY(strips.findChildren<QToolButton *>().isEmpty());
    }
};

QTEST_MAIN(TestMessageStrips)
#include "tst_messagestrips.moc"
