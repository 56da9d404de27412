#include "appfixture.h"
#include "documentwindow.h"
#include "fontsettings.h"
#include "mainwindow.h"
#include "palettecolours.h"
#include "textview.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QTreeWidget>
#include <QWheelEvent>

namespace {

const QByteArray Sample = "1.  Introduction\n"
                          "\n"
                          "   Body text that the reader must be able to read.\n"
                          "   A highlighted line of text follows this one.\n"
                          "   The line that carries the highlight.\n";

// The point sizes of the body and of the first line's heading.
void compareSizes(DocumentWindow *window, qreal body, qreal heading)
{
    const TextView *view = window->textView();
    QCOMPARE(view->font().pointSizeF(), body);
    QCOMPARE(view->document()->firstBlock().textFormats().constFirst().format.fontPointSize(), heading);
}

void storeHeaderSize(AppFixture &app, int size)
{
    app.settings->writeInteger(SettingsKeyPath + QStringLiteral("header"), QStringLiteral("size"), size);
}

// The most contrast any pixel of the line shows against the line's most
// common colour, its background.
double lineContrast(TextView *view, int line)
{
    const QImage image = view->viewport()->grab().toImage();
    const QRect caret = view->cursorRect(QTextCursor(view->document()->findBlockByNumber(line)));
    const QRect area = QRect(0, caret.top(), image.width(), caret.height()).intersected(image.rect());
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    const QRgb background = std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
                                return a.second < b.second;
                            })->first;
    double best = 1;
    for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it)
        best = std::max(best, PaletteColours::contrast(QColor(*it), QColor(background)));
    return best;
}

// The share of an icon's opaque pixels that stand out from background by 3:1.
double visibleShare(const QIcon &icon, const QColor &background)
{
    const QImage image = icon.pixmap(16, 16).toImage();
    int opaque = 0;
    int visible = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < 128)
                continue;
            ++opaque;
            visible += PaletteColours::contrast(pixel, background) >= 3.0;
        }
    }
    return opaque ? double(visible) / opaque : 0;
}

// visibleShare() of each tool-bar image on the tool bar's background.
QList<double> toolBarShares(MainWindow *form)
{
    QList<double> shares;
    for (QAction *action : form->toolBar()->actions())
        if (!action->icon().isNull())
            shares << visibleShare(action->icon(), QApplication::palette().color(QPalette::Window));
    return shares;
}

} // namespace

// View, Zoom and Theme on open documents, and their settings.
class TestViewCommands : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        // The palette is the application's: no test leaves its theme behind.
        QApplication::setPalette(QPalette());
    }

    void zoomStepsAndLimitsAreStored_data()
    {
        QTest::addColumn<int>("in");
        QTest::addColumn<int>("out");
        QTest::addColumn<int>("zoom");
        QTest::newRow("one step in") << 1 << 0 << 110;
        QTest::newRow("in and out") << 3 << 1 << 120;
        QTest::newRow("stops at 300%") << 25 << 0 << 300;
        QTest::newRow("stops at 50%") << 0 << 8 << 50;
    }

    void zoomStepsAndLimitsAreStored()
    {
        QFETCH(int, in);
        QFETCH(int, out);
        QFETCH(int, zoom);
        AppFixture app;
        storeHeaderSize(app, 12);
        MainWindow *form = app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), Sample);
        DocumentWindow *window = app.open(path);
        compareSizes(window, 9, 12);
        for (int i = 0; i < in; ++i)
            form->action(Command::ViewZoomIn)->trigger();
        for (int i = 0; i < out; ++i)
            form->action(Command::ViewZoomOut)->trigger();
        // Body and headings together, from the stored sizes.
        compareSizes(window, 9.0 * zoom / 100, 12.0 * zoom / 100);
        QCOMPARE(form->action(Command::ViewZoomIn)->isEnabled(), zoom < 300);
        QCOMPARE(form->action(Command::ViewZoomOut)->isEnabled(), zoom > 50);
        QVERIFY(app.close());
        QCOMPARE(app.settings->value(SettingsKeyPath, QStringLiteral("zoom")), QVariant(zoom));
        // The font records stay as chosen.
        QCOMPARE(app.settings->value(SettingsKeyPath + QStringLiteral("header"), QStringLiteral("size")), QVariant(12));

        form = app.start();
        window = app.open(path);
        compareSizes(window, 9.0 * zoom / 100, 12.0 * zoom / 100);
        form->action(Command::ViewActualSize)->trigger();
        compareSizes(window, 9, 12);
    }

    void zoomKeysAndTheWheelReachEveryDocument()
    {
        AppFixture app;
        MainWindow *form = app.start();
        DocumentWindow *first = app.open(app.document(QStringLiteral("rfc1.txt"), Sample));
        DocumentWindow *second = app.open(app.document(QStringLiteral("rfc2.txt"), Sample));
        QCOMPARE(form->action(Command::ViewZoomIn)->shortcuts(),
                 QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}));
        QCOMPARE(form->action(Command::ViewZoomOut)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Minus));
        QCOMPARE(form->action(Command::ViewActualSize)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));

        QWidget *viewport = second->textView()->viewport();
        const auto wheel = [&](int delta) {
            QWheelEvent event(QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, delta),
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &event);
        };
        wheel(120);
        QCOMPARE(first->textView()->font().pointSizeF(), 9.9);
        // Half notches add up to a step.
        wheel(-60);
        QCOMPARE(first->textView()->font().pointSizeF(), 9.9);
        wheel(-60);
        QCOMPARE(second->textView()->font().pointSizeF(), 9.0);
    }

    void viewValuesAreReadApartFromTheWindowValues()
    {
        AppFixture app;
        // A missing window value ends their reading; these are read each on their own.
        app.settings->writeInteger(SettingsKeyPath, QStringLiteral("zoom"), 150);
        app.settings->writeInteger(SettingsKeyPath, QStringLiteral("hide_page_breaks"), 0);
        MainWindow *form = app.start();
        QVERIFY(!form->action(Command::ViewHidePageBreaks)->isChecked());
        QVERIFY(form->action(Command::ViewEmphasiseRequirementWords)->isChecked());
        QVERIFY(form->action(Command::ViewThemeSystem)->isChecked());
        DocumentWindow *window = app.open(app.document(QStringLiteral("rfc1.txt"), Sample));
        QCOMPARE(window->textView()->font().pointSizeF(), 13.5);
        // F9 hides the index beside every text, and it stays hidden.
        QVERIFY(window->indexTree()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(window->textView(), Qt::Key_F9);
        QVERIFY(!window->indexTree()->isVisible());
        QVERIFY(!app.open(app.document(QStringLiteral("rfc2.txt"), Sample))->indexTree()->isVisible());

        app.settings->writeLog.clear();
        QVERIFY(app.close());
        // After the window values, the session and the fonts.
        QCOMPARE(app.settings->writeLog.mid(app.settings->writeLog.size() - 6),
                 QStringList({"theme", "zoom", "hide_page_breaks", "emphasise_bcp14", "underline_links",
                              "show_index_panel"}));
        QCOMPARE(app.settings->value(SettingsKeyPath, QStringLiteral("hide_page_breaks")), QVariant(0));
        QCOMPARE(app.settings->value(SettingsKeyPath, QStringLiteral("show_index_panel")), QVariant(0));
    }

    void darkThemeRecoloursOpenDocuments()
    {
        AppFixture app;
        MainWindow *form = app.start();
        const QString path = app.document(QStringLiteral("rfc1.txt"), Sample);
        DocumentWindow *window = app.open(path);
        TextView *view = window->textView();
        view->setSelectionStart(view->lineStart(4) + 3);
        view->setSelectionLength(8);
        form->action(Command::EditHighlight)->trigger();
        view->setSelectionStart(0);
        const QColor lightBase = view->palette().color(QPalette::Base);

        form->action(Command::ViewThemeDark)->trigger();
        QVERIFY(PaletteColours::isDark(view->palette()));
        QVERIFY(view->palette().color(QPalette::Base) != lightBase);
        // Heading, body and highlighted text, as drawn.
        for (int line : {0, 2, 4})
            QVERIFY2(lineContrast(view, line) >= 7.0, qPrintable(QString::number(lineContrast(view, line))));
        QTextCursor highlighted(view->document());
        highlighted.setPosition(view->toQtPosition(view->lineStart(4) + 4));
        const QColor amber = highlighted.charFormat().background().color();
        QVERIFY(PaletteColours::contrast(amber, highlighted.charFormat().foreground().color()) >= 7.0);
        // A darker amber, not the glaring yellow of light palettes.
        QVERIFY(PaletteColours::contrast(amber, view->palette().color(QPalette::Base)) < 3.0);
        // The find bar's marks keep the text readable too.
        QVERIFY(PaletteColours::contrast(PaletteColours::matchMarkBackground(view->palette()),
                                         view->palette().color(QPalette::Text))
                >= 7.0);
        const QList<double> onDark = toolBarShares(form);
        QVERIFY(app.close());
        QCOMPARE(app.settings->value(SettingsKeyPath, QStringLiteral("theme")), QVariant(2));

        form = app.start();
        QVERIFY(form->action(Command::ViewThemeDark)->isChecked());
        window = app.open(path);
        view = window->textView();
        QVERIFY(PaletteColours::isDark(view->palette()));
        form->action(Command::ViewThemeSystem)->trigger();
        QCOMPARE(view->palette().color(QPalette::Base), lightBase);
        highlighted = QTextCursor(view->document());
        highlighted.setPosition(view->toQtPosition(view->lineStart(4) + 4));
        QCOMPARE(highlighted.charFormat().background().color(), QColor(255, 255, 0));
        for (int line : {0, 2, 4})
            QVERIFY(lineContrast(view, line) >= 7.0);
        // Each tool-bar image shows its outline on light, and stands out on
        // dark at least as well.
        const QList<double> onLight = toolBarShares(form);
        QCOMPARE(onDark.size(), onLight.size());
        for (qsizetype i = 0; i < onLight.size(); ++i) {
            QVERIFY(onLight[i] >= 0.25);
            QVERIFY(onDark[i] >= onLight[i]);
        }
    }
};

QTEST_MAIN(TestViewCommands)
#include "tst_viewcommands.moc"
