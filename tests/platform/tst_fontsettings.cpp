#include "fontsettings.h"
#include "fontstyle.h"
#include "memorysettings.h"

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
class TestFontSettings : public QObject
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
        FontSettings fonts(*store);
        fonts.read();
        const FontRecord &font = fonts.text;
        QCOMPARE(font.name, QStringLiteral("Courier New"));
        QCOMPARE(font.size, 9);
        QCOMPARE(font.color, 0x123456);
        QCOMPARE(font.charset, 0);
        QVERIFY(font.bold);
        QVERIFY(!font.italic);
        QVERIFY(font.strikeOut);

        store->writeString(TextKey, QStringLiteral("name"), QString());
        fonts.read();
        QCOMPARE(font.name, QStringLiteral("Courier New"));
    }

    void writesEveryValueWithItsType()
    {
        auto store = std::make_shared<MemorySettings>();
        store->writeInteger(TextKey, QStringLiteral("bold"), 2);
        store->writeInteger(TextKey, QStringLiteral("charset"), 134);
        FontSettings fonts(*store);
        fonts.read();
        fonts.text.size = 11;
        store->writeLog.clear();
        QVERIFY(fonts.write());
        // The heading record first, then the text record.
        const QStringList oneRecord = {"name", "charset", "size", "color", "bold", "italic", "underline",
                                       "StrikeOut"};
        QCOMPARE(store->writeLog, oneRecord + oneRecord);
        QCOMPARE(store->value(TextKey, QStringLiteral("bold")), QVariant(1));
        QCOMPARE(store->value(TextKey, QStringLiteral("charset")), QVariant(134));
        QCOMPARE(store->value(TextKey, QStringLiteral("size")), QVariant(11));
        QCOMPARE(store->value(TextKey, QStringLiteral("name")), QVariant(QStringLiteral("Courier New")));
    }

    void appliesAFixedPitchFontAndItsColour()
    {
        FontRecord record;
        record.name = QStringLiteral("No Such Face Anywhere");
        record.size = 13;
        record.italic = true;
        record.color = 0x00ff8000; // blue 255, green 128, red 0
        const QFont font = FontStyle::toFont(record, QFont());
        QCOMPARE(font.pointSize(), 13);
        QVERIFY(font.italic());
        QCOMPARE(font.styleHint(), QFont::TypeWriter);
        QCOMPARE(FontStyle::color(record, QPalette()), QColor(0, 128, 255));

        QPalette palette;
        palette.setColor(QPalette::Base, Qt::darkCyan);
        palette.setColor(QPalette::Text, Qt::darkMagenta);
        record.color = qint32(0x80000005); // the window colour
        QCOMPARE(FontStyle::color(record, palette), QColor(Qt::darkCyan));
        record.color = qint32(0x80000063); // unknown: the text colour
        QCOMPARE(FontStyle::color(record, palette), QColor(Qt::darkMagenta));

        QFont chosen(QStringLiteral("Monospace"), 15);
        chosen.setBold(true);
        chosen.setStrikeOut(true);
        record.charset = 134;
        record = FontStyle::fromFont(chosen, QColor(1, 2, 3), record);
        QCOMPARE(record.name, QStringLiteral("Monospace"));
        QCOMPARE(record.size, 15);
        QCOMPARE(record.color, 0x030201);
        QVERIFY(record.bold && record.strikeOut && !record.italic && !record.underline);
        QCOMPARE(record.charset, 134);
    }
};

QTEST_MAIN(TestFontSettings)
#include "tst_fontsettings.moc"
