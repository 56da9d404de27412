// Regression test from fuzz_inifile: a string value that began with U+FEFF
// lost that character when read back (QString::fromUtf8() takes it for a
// byte order mark), so such a bookmark name did not survive a save.

#include "inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestIniFileLeadingBom : public QObject
{
    Q_OBJECT

private slots:
    void valueReadsBackAsWritten_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("value");
        const QString bom(QChar(0xFEFF));
        QTest::newRow("new file") << QByteArray() << bom + QStringLiteral("Security Considerations");
        QTest::newRow("BOM alone") << QByteArray() << bom;
        QTest::newRow("two BOMs") << QByteArray() << bom + bom;
        QTest::newRow("BOM inside") << QByteArray() << QStringLiteral("a") + bom + QStringLiteral("b");
        // The input the fuzzer found: a file of two BOMs, and that text as the value.
        QTest::newRow("fuzz input") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf")
                                    << QString::fromUtf8("\xef\xbb\xbf\xef\xbb\xbf");
    }

    void valueReadsBackAsWritten()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rfc9999.txt.ini"));
        if (!file.isEmpty()) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        }
        IniFile ini(path);
        ini.writeString(QStringLiteral("bookmark_name"), QStringLiteral("0"), value);
        QCOMPARE(ini.readString(QStringLiteral("bookmark_name"), QStringLiteral("0"), QString()), value);
        // And after another write has loaded and saved the file again.
        ini.writeInteger(QStringLiteral("bookmark"), QStringLiteral("count"), 1);
        QCOMPARE(ini.readString(QStringLiteral("bookmark_name"), QStringLiteral("0"), QString()), value);
    }
};

QTEST_GUILESS_MAIN(TestIniFileLeadingBom)
#include "tst_inifile_leadingbom.moc"
