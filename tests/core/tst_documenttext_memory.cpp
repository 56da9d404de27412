// Regression tests for DocumentText::read found while fuzzing: reading asked
// QIODevice::read() for the whole size limit at once, which allocates it
// before reading, so a one-line file took 512 MB of address space (and threw
// std::bad_alloc under a tighter address-space limit or strict overcommit).

#include "documenttext.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The process's mapped address space in bytes (VmSize).
qint64 addressSpace()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
}

} // namespace

class TestDocumentTextMemory : public QObject
{
    Q_OBJECT

private slots:
    void smallFileNeedsLittleAddressSpace()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rfc9999.txt"));
        QVERIFY(writeBytes(path, "1.  Introduction\r\n"));
        const qint64 mapped = addressSpace();
        QVERIFY(mapped > 0);

        // In a child, so the limit and a failed allocation stay there. The
        // child never returns into QTest: its threads did not survive fork().
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            int code = 1;
            try {
                rlimit limit{};
                getrlimit(RLIMIT_AS, &limit);
                limit.rlim_cur = rlim_t(mapped + (qint64(128) << 20));
                if (setrlimit(RLIMIT_AS, &limit) != 0)
                    _exit(3);
                const DocumentText text = DocumentText::read(path);
                code = text.ok() && text.text() == QStringLiteral("1.  Introduction\n") ? 0 : 1;
            } catch (...) {
                code = 2; // std::bad_alloc
            }
            _exit(code);
        }
        int status = 0;
        pid_t waited = 0;
        for (int i = 0; i < 600 && (waited = waitpid(child, &status, WNOHANG)) == 0; ++i)
            QTest::qSleep(100);
        if (waited == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            QFAIL("the child reading the file did not finish within 60 s");
        }
        QVERIFY2(WIFEXITED(status), "reading an 18-byte file died with 128 MB of address space to spare");
        QVERIFY2(WEXITSTATUS(status) != 2, "reading an 18-byte file ran out of memory with 128 MB to spare");
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // Reading goes in pieces now: a file longer than one piece comes whole.
    void fileLongerThanOnePieceReadsWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.txt"));
        QByteArray bytes;
        for (int i = 0; bytes.size() < (qsizetype(5) << 19) + 7; ++i)
            bytes += QByteArray::number(i) + ".  Heading " + QByteArray::number(i) + "\r\n";
        QVERIFY(writeBytes(path, bytes));
        const DocumentText text = DocumentText::read(path);
        QVERIFY(text.ok());
        QCOMPARE(text.text(), QString::fromLatin1(QByteArray(bytes).replace("\r\n", "\n")));
    }
};

QTEST_GUILESS_MAIN(TestDocumentTextMemory)
#include "tst_documenttext_memory.moc"
