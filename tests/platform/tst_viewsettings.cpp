#include "fontsettings.h"
#include "memorysettings.h"
#include "viewsettings.h"

#include <QTest>

// The View menu's values in the settings store.
class TestViewSettings : public QObject
{
    Q_OBJECT

private slots:
    void eachValueFallsBackOnItsOwn_data()
    {
        // theme, zoom, hide_page_breaks, emphasise_bcp14 as stored; invalid: missing.
        QTest::addColumn<QVariantList>("stored");
        QTest::addColumn<int>("theme");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<bool>("hide");
        QTest::addColumn<bool>("emphasise");
        const QVariant missing;
        QTest::newRow("nothing stored") << QVariantList{missing, missing, missing, missing} << 0 << 100 << true
                                        << true;
        QTest::newRow("all stored") << QVariantList{2, 250, 0, 0} << 2 << 250 << false << false;
        QTest::newRow("unknown theme") << QVariantList{3, 150, 0, 1} << 0 << 150 << false << true;
        QTest::newRow("zoom below the limit") << QVariantList{1, 40, 1, 0} << 1 << 100 << true << false;
        QTest::newRow("zoom between steps") << QVariantList{1, 105, 1, 0} << 1 << 100 << true << false;
        QTest::newRow("zoom at the limit") << QVariantList{0, 50, 5, 0} << 0 << 50 << true << false;
        QTest::newRow("strings read as missing")
            << QVariantList{QStringLiteral("2"), QStringLiteral("200"), QStringLiteral("0"), missing} << 0 << 100
            << true << true;
    }

    void eachValueFallsBackOnItsOwn()
    {
        QFETCH(QVariantList, stored);
        QFETCH(int, theme);
        QFETCH(int, zoom);
        QFETCH(bool, hide);
        QFETCH(bool, emphasise);
        MemorySettings store;
        const char *names[] = {"theme", "zoom", "hide_page_breaks", "emphasise_bcp14"};
        for (int i = 0; i < 4; ++i) {
            if (stored[i].typeId() == QMetaType::QString)
                store.writeString(SettingsKeyPath, QLatin1String(names[i]), stored[i].toString());
            else if (stored[i].isValid())
                store.writeInteger(SettingsKeyPath, QLatin1String(names[i]), stored[i].toInt());
        }
        const ViewSettings settings = ViewSettings::read(store);
        QCOMPARE(int(settings.theme), theme);
        QCOMPARE(settings.zoom, zoom);
        QCOMPARE(settings.hidePageBreaks, hide);
        QCOMPARE(settings.emphasiseRequirementWords, emphasise);
    }
};

QTEST_MAIN(TestViewSettings)
#include "tst_viewsettings.moc"
