#include "about.h"
#include "documentwindow.h"
#include "textview.h"
#include "fontsettings.h"
#include "mainwindow.h"
#include "fontsettings.h"
#include "appfixture.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

namespace {

const QString TextKey = SettingsKeyPath + QStringLiteral("text");
const QString HeaderKey = SettingsKeyPath + QStringLiteral("header");

struct ViewLook
{
    QString family;
    int pointSize;
    QColor color;
    friend bool operator==(const ViewLook &, const ViewLook &) = default;
};

char *toString(const ViewLook &look)
{
    return qstrdup(QStringLiteral("%1 %2pt %3").arg(look.family).arg(look.pointSize).arg(look.color.name()).toUtf8());
}

ViewLook lookOf(DocumentWindow *document)
{
    const TextView *view = document->textView();
    return {view->font().family(), view->font().pointSize(), view->palette().color(QPalette::Text)};
}

struct Record
{
    QString name;
    qint32 size;
    qint32 color;
    bool bold;
    friend bool operator==(const Record &, const Record &) = default;
};

char *toString(const Record &record)
{
    return qstrdup(QStringLiteral("%1 %2pt #%3%4")
                       .arg(record.name)
                       .arg(record.size)
                       .arg(record.color, 6, 16, QLatin1Char('0'))
                       .arg(record.bold ? QStringLiteral(" bold") : QString())
                       .toUtf8());
}

Record recordOf(const FontRecord &font)
{
    return {font.name, font.size, font.color, font.bold};
}

} // namespace

// The Help commands, the About box and the two font commands.
class TestHelpFonts : public QObject
{
    Q_OBJECT

private slots:
    void aboutBoxShowsTheSameCaptionsEachTime()
    {
        AppFixture app;
        MainWindow *form = app.start();
        AboutBox *box = form->aboutBox();
        QVERIFY(box);
        QVERIFY(box->isHidden());
        for (int shown = 1; shown <= 2; ++shown) {
            form->action(Command::HelpAbout)->trigger();
            QCOMPARE(app.dialogs.modalDialogs.size(), shown);
            QCOMPARE(app.dialogs.modalDialogs.constLast(), box);
            QCOMPARE(box->productName()->text(), QStringLiteral("Product Name: Folivane "));
            QCOMPARE(box->version()->text(), QStringLiteral("Version: V3.2"));
        }
        QCOMPARE(box->windowTitle(), QStringLiteral("About"));
        QCOMPARE(box->size(), QSize(298, 188));
        QCOMPARE(box->minimumSize(), box->maximumSize());

        // Enter closes it through OK, which has the focus.
        box->show();
        QCOMPARE(box->focusWidget(), box->okButton());
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(box->isHidden());
        QCOMPARE(box->result(), int(QDialog::Accepted));
    }

    void helpOpensTheSiteAndOneMailAddress()
    {
        AppFixture app;
        MainWindow *form = app.start();
        form->action(Command::HelpVisitWebsite)->trigger();
        form->action(Command::HelpSendMail)->trigger();
        form->aboutBox()->show();
        QTest::mouseClick(form->aboutBox()->mailLink(), Qt::LeftButton);

        const QList<QUrl> &urls = app.dialogs.openedUrls;
        QCOMPARE(urls.size(), 3);
        QCOMPARE(urls[0].scheme(), QStringLiteral("https"));
        QCOMPARE(urls[1].scheme(), QStringLiteral("mailto"));
        QVERIFY(!urls[1].path().isEmpty());
        QCOMPARE(urls[2], urls[1]);
        QCOMPARE(app.dialogs.urlOwners,
                 QList<QWidget *>({form, form, static_cast<QWidget *>(form->aboutBox())}));
        QVERIFY(app.dialogs.modalDialogs.isEmpty());
    }

    void cancelledFontDialogChangesNothing()
    {
        AppFixture app;
        app.settings->writeString(HeaderKey, QStringLiteral("name"), QStringLiteral("DejaVu Serif"));
        app.settings->writeInteger(HeaderKey, QStringLiteral("size"), 14);
        app.settings->writeInteger(HeaderKey, QStringLiteral("color"), 0x0000c0);
        app.settings->writeInteger(HeaderKey, QStringLiteral("bold"), 1);
        MainWindow *form = app.start();
        DocumentWindow *document = app.open(app.document(QStringLiteral("rfc1.txt"), "1.  Introduction\n\ntext\n"));
        const Record text = recordOf(app.fonts().text);
        const Record header = recordOf(app.fonts().header);
        const ViewLook look = lookOf(document);

        form->action(Command::ConfigTextFont)->trigger();
        form->action(Command::ConfigHeaderFont)->trigger();

        // Each dialog opened on its own record.
        QCOMPARE(app.dialogs.fontsOffered.size(), 2);
        const FakeDialogs::FontChoice &offeredText = app.dialogs.fontsOffered[0];
        QCOMPARE(offeredText.font.family(), QStringLiteral("Courier New"));
        QCOMPARE(offeredText.font.pointSize(), 9);
        QCOMPARE(offeredText.color, QColor(Qt::black));
        const FakeDialogs::FontChoice &offeredHeader = app.dialogs.fontsOffered[1];
        QCOMPARE(offeredHeader.font.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(offeredHeader.font.pointSize(), 14);
        QVERIFY(offeredHeader.font.bold());
        QCOMPARE(offeredHeader.color, QColor(0xc0, 0, 0));

        QCOMPARE(recordOf(app.fonts().text), text);
        QCOMPARE(recordOf(app.fonts().header), header);
        QCOMPARE(lookOf(document), look);
    }

    // Under Dark, OK on an untouched dialog stored the palette's text colour in
    // both records and took the default heading's bold away.
    void untouchedFontDialogKeepsTheStoredRecords()
    {
        AppFixture app;
        MainWindow *form = app.start();
        form->action(Command::ViewThemeDark)->trigger();
        const FontRecord text = app.fonts().text;
        const FontRecord header = app.fonts().header;
        for (Command command : {Command::ConfigTextFont, Command::ConfigHeaderFont}) {
            form->action(command)->trigger(); // cancelled: learns what is offered
            app.dialogs.fontAnswers.enqueue(app.dialogs.fontsOffered.constLast());
            form->action(command)->trigger();
        }
        QVERIFY(app.dialogs.fontsOffered[2].font.bold()); // a default heading is drawn bold
        QVERIFY(app.dialogs.fontsOffered[2].color != QColor(Qt::black));
        QVERIFY(app.fonts().text == text);
        QVERIFY(app.fonts().header == header);

        // A new size alone keeps the colour the palette's.
        QFont bigger = app.dialogs.fontsOffered[0].font;
        bigger.setPointSize(12);
        app.dialogs.fontAnswers.enqueue({bigger, app.dialogs.fontsOffered[0].color});
        form->action(Command::ConfigTextFont)->trigger();
        QCOMPARE(app.fonts().text.size, 12);
        QCOMPARE(app.fonts().text.color, 0);
    }

    void confirmedFontReachesOpenDocumentsAtOnce()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *before = app.open(app.document(QStringLiteral("rfc1.txt"), "1.  Introduction\n\ntext\n"));
        const Record header = recordOf(app.fonts().header);
        QFont chosen(QStringLiteral("DejaVu Serif"), 15);
        chosen.setBold(true);
        app.dialogs.fontAnswers.enqueue({chosen, QColor(200, 10, 20)});

        form->action(Command::ConfigTextFont)->trigger();
        QCOMPARE(recordOf(app.fonts().text), (Record{QStringLiteral("DejaVu Serif"), 15, 0x140ac8, true}));
        QCOMPARE(recordOf(app.fonts().header), header);
        const ViewLook chosenLook{QStringLiteral("DejaVu Serif"), 15, QColor(200, 10, 20)};
        QCOMPARE(lookOf(before), chosenLook);
        // Stored when the program ends, not now.
        QVERIFY(!app.settings->value(TextKey, QStringLiteral("size")).isValid());

        DocumentWindow *after = app.open(app.document(QStringLiteral("rfc2.txt"), "text\n"));
        QCOMPARE(lookOf(after), chosenLook);
        QVERIFY(after->textView()->font().bold());

        // A heading font reaches the open documents' headings as well.
        app.dialogs.fontAnswers.enqueue({QFont(QStringLiteral("DejaVu Sans"), 13), QColor(0, 0, 255)});
        form->action(Command::ConfigHeaderFont)->trigger();
        const QTextCharFormat heading =
            before->textView()->document()->firstBlock().textFormats().constFirst().format;
        QCOMPARE(heading.fontPointSize(), 13.0);
        QCOMPARE(heading.foreground().color(), QColor(0, 0, 255));
    }

    void headerFontWorksWithoutADocument()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const Record text = recordOf(app.fonts().text);
        app.dialogs.fontAnswers.enqueue({QFont(QStringLiteral("DejaVu Sans"), 12), QColor(0, 0, 255)});
        form->action(Command::ConfigHeaderFont)->trigger();
        QCOMPARE(recordOf(app.fonts().header), (Record{QStringLiteral("DejaVu Sans"), 12, 0xff0000, false}));
        QCOMPARE(recordOf(app.fonts().text), text);
    }
};

QTEST_MAIN(TestHelpFonts)
#include "tst_helpfonts.moc"
