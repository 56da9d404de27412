#include "documentname.h"
#include "librarylocator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestLibraryLocator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void finds_data();
    void finds();

private:
    QTemporaryDir m_root;
};

void TestLibraryLocator::initTestCase()
{
    QVERIFY(m_root.isValid());
    const QStringList files{
        "current/rfc8174.txt",
        "library/RFC9293.TXT",
        "library/rfc0793.txt",
        "library/rfc0042.txt",
        "library/rfc42.txt",
        "library/draft-ietf-quic-transport-02.txt",
        "library/Draft-IETF-QUIC-Transport-10.txt",
        "library/draft-ietf-tcpm-tie-03.txt",
        "mirror/rfc793.txt",
        "mirror/rfc9293.txt",
        "mirror/rfc2119.txt",
        "mirror/draft-ietf-quic-transport-34.txt",
        "mirror/draft-ietf-quic-transport-http-50.txt",
        "mirror/draft-ietf-tcpm-tie-03.txt",
    };
    const QDir root(m_root.path());
    for (const char *folder : {"current", "library", "mirror", "mirror/rfc5.txt"})
        QVERIFY(root.mkpath(folder));
    for (const QString &file : files) {
        QFile out(root.filePath(file));
        QVERIFY(out.open(QIODevice::WriteOnly));
    }
}

void TestLibraryLocator::finds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("found");

    QTest::newRow("library before mirror, any case") << "9293" << "library/RFC9293.TXT";
    QTest::newRow("padded name in an earlier folder") << "RFC 793" << "library/rfc0793.txt";
    QTest::newRow("short name before padded") << "rfc42" << "library/rfc42.txt";
    QTest::newRow("mirror only") << "2119" << "mirror/rfc2119.txt";
    QTest::newRow("current document folder first") << "8174" << "current/rfc8174.txt";
    QTest::newRow("newest draft in any folder") << "draft-ietf-quic-transport" << "mirror/draft-ietf-quic-transport-34.txt";
    QTest::newRow("draft revision, any case") << "draft-ietf-quic-transport-10"
                                              << "library/Draft-IETF-QUIC-Transport-10.txt";
    QTest::newRow("same revision twice") << "draft-ietf-tcpm-tie" << "library/draft-ietf-tcpm-tie-03.txt";
    QTest::newRow("missing revision") << "draft-ietf-quic-transport-11" << "";
    QTest::newRow("missing draft") << "draft-ietf-quic" << "";
    QTest::newRow("folder is no file") << "5" << "";
    QTest::newRow("missing RFC") << "1" << "";
    QTest::newRow("BCP") << "BCP 14" << "";
}

void TestLibraryLocator::finds()
{
    QFETCH(QString, name);
    QFETCH(QString, found);

    const QDir root(m_root.path());
    const LibraryLocator locator({root.filePath("current"), QString(), root.filePath("library"),
                                  root.filePath("mirror"), root.filePath("absent")});
    const std::optional<DocumentName> parsed = DocumentName::parse(name);
    QVERIFY(parsed);
    QCOMPARE(locator.find(*parsed), found.isEmpty() ? QString() : root.filePath(found));
}

QTEST_APPLESS_MAIN(TestLibraryLocator)
#include "tst_librarylocator.moc"
