#include "fontinfo.h"
#include "memorysettings.h"
#include "settingskey.h"

#include <QColor>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QTest>

namespace {
const QString TextKey = SettingsKeyPath + QStringLiteral("text");
}

// The font records and their typed values in the settings store.
class TestFontInfo : public QObject
{
    Q_OBJECT

private slots:
    void defaultsForMissingAndMistypedValues()
    {
        auto store = std::make_shared<MemorySettings>();
        store->writeInteger(TextKey, QStringLiteral("name"), 7);
        store->writeString(TextKey, QStringLiteral("size"), QStringLiteral("12"));
        store->writeInteger(TextKey, QStringLiteral("color"), 0x123456);
        store->writeInteger(TextKey, QStringLiteral("bold"), 2);
        store->writeInteger(TextKey, QStringLiteral("StrikeOut"), 1);
        Tfont_info font;
        font.load(store, QStringLiteral("text"));
        QCOMPARE(font.key_name, QStringLiteral("text"));
        QCOMPARE(font.name, QStringLiteral("Courier New"));
        QCOMPARE(font.size, 9);
        QCOMPARE(font.color, 0x123456);
        QCOMPARE(font.charset, 0);
        QVERIFY(font.bold);
        QVERIFY(!font.italic);
        QVERIFY(font.strike_out);

        store->writeString(TextKey, QStringLiteral("name"), QString());
        font.read_settings();
        QCOMPARE(font.name, QStringLiteral("Courier New"));
    }

    void writesEveryValueWithItsType()
    {
        auto store = std::make_shared<MemorySettings>();
        store->writeInteger(TextKey, QStringLiteral("bold"), 2);
        store->writeInteger(TextKey, QStringLiteral("charset"), 134);
        {
            Tfont_info font;
            font.load(store, QStringLiteral("text"));
            font.size = 11;
            store->writeLog.clear();
        } // written when the record goes
        QCOMPARE(store->writeLog, QStringList({"name", "charset", "size", "color", "bold", "italic", "underline",
                                               "StrikeOut"}));
        QCOMPARE(store->value(TextKey, QStringLiteral("bold")), QVariant(1));
        QCOMPARE(store->value(TextKey, QStringLiteral("charset")), QVariant(134));
        QCOMPARE(store->value(TextKey, QStringLiteral("size")), QVariant(11));
        QCOMPARE(store->value(TextKey, QStringLiteral("name")), QVariant(QStringLiteral("Courier New")));
    }

    void appliesAFixedPitchFontAndItsColour()
    {
        Tfont_info record;
        record.name = QStringLiteral("No Such Face Anywhere");
        record.size = 13;
        record.italic = true;
        record.color = 0x00ff8000; // blue 255, green 128, red 0
        QFont font;
        record.apply_to(font);
        QCOMPARE(font.pointSize(), 13);
        QVERIFY(font.italic());
        QCOMPARE(font.styleHint(), QFont::TypeWriter);
        QCOMPARE(record.qtColor(QPalette()), QColor(0, 128, 255));

        QPalette palette;
        palette.setColor(QPalette::Base, Qt::darkCyan);
        palette.setColor(QPalette::Text, Qt::darkMagenta);
        record.color = qint32(0x80000005); // the window colour
        QCOMPARE(record.qtColor(palette), QColor(Qt::darkCyan));
        record.color = qint32(0x80000063); // unknown: the text colour
        QCOMPARE(record.qtColor(palette), QColor(Qt::darkMagenta));

        QFont chosen(QStringLiteral("Monospace"), 15);
        chosen.setBold(true);
        chosen.setStrikeOut(true);
        record.charset = 134;
        record.assign_from(chosen, QColor(1, 2, 3));
        QCOMPARE(record.name, QStringLiteral("Monospace"));
        QCOMPARE(record.size, 15);
        QCOMPARE(record.color, 0x030201);
        QVERIFY(record.bold && record.strike_out && !record.italic && !record.underline);
        QCOMPARE(record.charset, 134);
    }
};

QTEST_MAIN(TestFontInfo)
#include "tst_fontinfo.moc"
