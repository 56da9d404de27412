#include "fontsettings.h"
#include "memorysettings.h"
#include "settinglist.h"

#include <QTest>

// Lists kept as numbered string values in a store that cannot delete one.
class TestSettingList : public QObject
{
    Q_OBJECT

private slots:
    void shorterListsOverwriteTheTail()
    {
        MemorySettings store;
        SettingList list(store, QStringLiteral("recent"), 3);
        QVERIFY(list.write({QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c"), QStringLiteral("/d")}));
        QCOMPARE(list.read(), QStringList({"/a", "/b", "/c"}));
        QVERIFY(!store.value(SettingsKeyPath, QStringLiteral("recent_3")).isValid());

        QVERIFY(list.write({QStringLiteral("/z")}));
        QCOMPARE(list.read(), QStringList({"/z"}));
        QCOMPARE(store.value(SettingsKeyPath, QStringLiteral("recent_1")), QVariant(QString()));
        QCOMPARE(store.value(SettingsKeyPath, QStringLiteral("recent_2")), QVariant(QString()));
    }

    void pathsWithLineBreaksAreNeverStored()
    {
        MemorySettings store;
        SettingList list(store, QStringLiteral("session"), 10);
        QVERIFY(list.write({QStringLiteral("/a\n[HKEY_CURRENT_USER]"), QStringLiteral("/b"),
                            QStringLiteral("/c\r"), QStringLiteral("/d")}));
        QCOMPARE(list.read(), QStringList({"/b", "/d"}));
    }

    void aMistypedValueEndsTheList()
    {
        MemorySettings store;
        store.writeString(SettingsKeyPath, QStringLiteral("recent_0"), QStringLiteral("/a"));
        store.writeInteger(SettingsKeyPath, QStringLiteral("recent_1"), 5);
        store.writeString(SettingsKeyPath, QStringLiteral("recent_2"), QStringLiteral("/c"));
        QCOMPARE(SettingList(store, QStringLiteral("recent"), 10).read(), QStringList({"/a"}));
    }
};

QTEST_GUILESS_MAIN(TestSettingList)
#include "tst_settinglist.moc"
