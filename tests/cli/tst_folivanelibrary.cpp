#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The tool on its own configuration and cache folders, so that it never
// touches the user's library or index.
class Tool
{
public:
    Tool()
    {
        QDir(home.path()).mkpath(QStringLiteral("library"));
        for (const char *name : {"rfc793.txt", "rfc9293.txt", "rfc791.txt"})
            copy(QLatin1String(name));
    }
    QString library() const { return home.filePath(QStringLiteral("library")); }
    void copy(const QString &name) const
    {
        writeFile(library() + u'/' + name, readFile(corpusFile(name)));
    }
    Run run(QStringList arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(FOLIVANE_LIBRARY_TOOL), QStringList{QStringLiteral("--library"), library()} + arguments);
        if (!process.waitForFinished(120000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    // The citing files of cited-by, once each.
    QStringList citing(const QString &rfc) const
    {
        QStringList files;
        for (const QString &row : run({QStringLiteral("cited-by"), rfc}).out.split(u'\n', Qt::SkipEmptyParts))
            if (const QString file = QFileInfo(row.section(u'\t', 0, 0)).fileName(); !files.contains(file))
                files << file;
        return files;
    }

    QTemporaryDir home;
};

} // namespace

class TestFolivaneLibrary : public QObject
{
    Q_OBJECT

private slots:
    void citedByListsTheCitingPlacesWithTheirKind()
    {
        Tool tool;
        const Run run = tool.run({QStringLiteral("cited-by"), QStringLiteral("RFC 793")});
        QCOMPARE(run.exitCode, 0);
        const QStringList rows = run.out.split(u'\n', Qt::SkipEmptyParts);
        // file, section, line, kind; "[16]" of the informative references is one of them.
        QVERIFY(rows.contains(tool.library() + QStringLiteral("/rfc9293.txt\t8.2\t4509\tinformative")));
        QVERIFY(!tool.citing(QStringLiteral("793")).contains(QStringLiteral("rfc793.txt")));

        const Run cites = tool.run({QStringLiteral("cites"), QStringLiteral("9293")});
        QCOMPARE(cites.exitCode, 0);
        QVERIFY(cites.out.contains(QStringLiteral("RFC 791\t8.1\t4437\tnormative\n")));
    }

    void removedDocumentsLeaveTheListsAndADamagedIndexIsRebuilt()
    {
        Tool tool;
        const QStringList both{QStringLiteral("rfc793.txt"), QStringLiteral("rfc9293.txt")};
        QCOMPARE(tool.citing(QStringLiteral("791")), both);
        QVERIFY(QFile::remove(tool.library() + QStringLiteral("/rfc9293.txt")));
        QCOMPARE(tool.citing(QStringLiteral("791")), QStringList{QStringLiteral("rfc793.txt")});
        // Nothing in the library cites RFC 791 any more: no rows, exit status 1.
        QVERIFY(QFile::remove(tool.library() + QStringLiteral("/rfc793.txt")));
        const Run gone = tool.run({QStringLiteral("cited-by"), QStringLiteral("791")});
        QCOMPARE(gone.exitCode, 1);
        QCOMPARE(gone.out, QString());

        tool.copy(QStringLiteral("rfc793.txt"));
        tool.copy(QStringLiteral("rfc9293.txt"));
        const QStringList indexes =
            QDir(tool.home.filePath(QStringLiteral("cache/Tessary software/Folivane"))).entryList({QStringLiteral("library-*.sqlite")});
        QCOMPARE(indexes.size(), 1);
        writeFile(tool.home.filePath(QStringLiteral("cache/Tessary software/Folivane/")) + indexes.first(),
                  QByteArray(8192, 'x'));
        QCOMPARE(tool.citing(QStringLiteral("791")), both);
    }

    void searchListAndErrorsHaveTheirExitStatus()
    {
        Tool tool;
        const Run found = tool.run({QStringLiteral("search"), QStringLiteral("three-way handshake")});
        QCOMPARE(found.exitCode, 0);
        const QString first = found.out.section(u'\n', 0, 0);
        QVERIFY2(QRegularExpression(QStringLiteral("^/.+/rfc(793|9293)\\.txt:\\d+: RFC (793|9293)(, Section [0-9.]+)?: .+"))
                     .match(first)
                     .hasMatch(),
                 qPrintable(first));

        QCOMPARE(tool.run({QStringLiteral("search"), QStringLiteral("xyzzyplugh")}).exitCode, 1);
        const Run list = tool.run({QStringLiteral("list")});
        QCOMPARE(list.out.count(u'\n'), 3);
        QVERIFY(list.out.contains(QStringLiteral("/rfc791.txt\tRFC 791\n")));

        const Run unknown = tool.run({QStringLiteral("frobnicate")});
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY(unknown.err.startsWith(QStringLiteral("usage: folivane-library")));
        const Run notThere = tool.run({QStringLiteral("cites"), QStringLiteral("1234")});
        QCOMPARE(notThere.exitCode, 2);
        QCOMPARE(notThere.err, QStringLiteral("folivane-library: RFC 1234 is not in the library\n"));
    }
};

QTEST_APPLESS_MAIN(TestFolivaneLibrary)
#include "tst_folivanelibrary.moc"
