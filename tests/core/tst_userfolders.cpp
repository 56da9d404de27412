#include "userfolders.h"

#include <QDir>
#include <QTest>

// The folders must stay where earlier versions put the settings, the library
// and the search index, byte for byte.
class TestUserFolders : public QObject
{
    Q_OBJECT

private slots:
    void folders_data()
    {
        QTest::addColumn<QByteArray>("value"); // of all three variables; empty unsets them
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("cache");

        const QString home = QDir::homePath();
        const QString program = QStringLiteral("/Tessary software/Folivane");
        QTest::newRow("unset") << QByteArray() << home + "/.config" + program << home + "/.local/share" + program
                               << home + "/.cache" + program;
        QTest::newRow("absolute") << QByteArray("/tmp/x y") << "/tmp/x y" + program << "/tmp/x y" + program
                                  << "/tmp/x y" + program;
        QTest::newRow("trailing slash kept") << QByteArray("/tmp/x/") << "/tmp/x/" + program << "/tmp/x/" + program
                                             << "/tmp/x/" + program;
        QTest::newRow("relative") << QByteArray("rel") << home + "/.config" + program << "rel" + program
                                  << home + "/.cache" + program;
    }

    void folders()
    {
        QFETCH(QByteArray, value);
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            if (value.isEmpty())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        QTEST(folivaneFolder(UserFolder::Config), "config");
        QTEST(folivaneFolder(UserFolder::Data), "data");
        QTEST(folivaneFolder(UserFolder::Cache), "cache");
    }
};

QTEST_GUILESS_MAIN(TestUserFolders)
#include "tst_userfolders.moc"
