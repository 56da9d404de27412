#include "scopedenv.h"
#include "singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>
#include <optional>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr uid_t Nobody = 65534;

// A second start of the program on a thread of its own, so that the first
// answers from this thread's event loop meanwhile.
std::future<bool> startSecond(const QString &settingsPath, const QStringList &arguments)
{
    return std::async(std::launch::async, [settingsPath, arguments] {
        SingleInstance second(settingsPath);
        return second.handOver(arguments);
    });
}

bool isReady(const std::future<bool> &result)
{
    return result.wait_for(0s) == std::future_status::ready;
}

ino_t inodeOf(const QString &path)
{
    struct stat status{};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

int openFileCount()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

// A socket file with no program behind it, as a crashed one leaves.
void leaveStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd != -1);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), S_IRWXU), 0);
}

} // namespace

// Two starts of the program driven in one process, and hostile peers on the
// first one's socket; each test has a runtime folder of its own.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_runtime = std::make_unique<QTemporaryDir>();
        QVERIFY(m_runtime->isValid());
        m_runtimeEnv = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    }

    void cleanup()
    {
        m_runtimeEnv.reset();
        m_runtime.reset();
    }

    void secondStartHandsItsArgumentsOver()
    {
        SingleInstance first(settingsPath());
        QSignalSpy received(&first, &SingleInstance::argumentsReceived);
        QVERIFY(!first.handOver({}));
        QCOMPARE(QFileInfo(first.socketName()).path(), m_runtime->path());
        struct stat socket{};
        QCOMPARE(::lstat(QFile::encodeName(first.socketName()).constData(), &socket), 0);
        QVERIFY(S_ISSOCK(socket.st_mode));
        QCOMPARE(socket.st_mode & (S_IRWXG | S_IRWXO), 0u);

        const QStringList arguments{u"/some where/Ünïcode 1.txt"_s, u"RFC 2"_s};
        std::future<bool> handedOver = startSecond(settingsPath(), arguments);
        QTRY_VERIFY(isReady(handedOver));
        QVERIFY(handedOver.get());
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.at(0).at(0).toStringList(), arguments);
    }

    void crashedProgramsSocketIsTakenOver()
    {
        SingleInstance first(settingsPath());
        leaveStaleSocket(first.socketName());
        QVERIFY(!first.handOver({}));
        QSignalSpy received(&first, &SingleInstance::argumentsReceived);

        std::future<bool> handedOver = startSecond(settingsPath(), {u"/a"_s});
        QTRY_VERIFY(isReady(handedOver));
        QVERIFY(handedOver.get());
        QCOMPARE(received.size(), 1);
    }

    void untrustedPlaceIsNotUsed_data()
    {
        QTest::addColumn<bool>("inTemp"); // no runtime folder: the program's own under the temporary one
        QTest::addColumn<QString>("target"); // "folder" or "socket"
        QTest::addColumn<bool>("chownToNobody"); // else opened to everyone
        QTest::newRow("runtime folder open to all") << false << u"folder"_s << false;
        QTest::newRow("runtime folder of another user") << false << u"folder"_s << true;
        QTest::newRow("temporary folder open to all") << true << u"folder"_s << false;
        QTest::newRow("temporary folder of another user") << true << u"folder"_s << true;
        QTest::newRow("socket open to all") << false << u"socket"_s << false;
        QTest::newRow("socket of another user") << false << u"socket"_s << true;
    }

    // Another account made the place first and listens there for the paths.
    void untrustedPlaceIsNotUsed()
    {
        QFETCH(bool, inTemp);
        QFETCH(QString, target);
        QFETCH(bool, chownToNobody);
        if (chownToNobody && ::geteuid() != 0)
            QSKIP("Only root can give a folder to another user");

        const ScopedEnv runtime("XDG_RUNTIME_DIR", inTemp ? QByteArray() : QFile::encodeName(m_runtime->path()));
        const ScopedEnv temp("TMPDIR", QFile::encodeName(m_runtime->path()));
        SingleInstance victim(settingsPath());
        const QString folder = QFileInfo(victim.socketName()).path();
        QVERIFY(folder.startsWith(m_runtime->path()));
        QVERIFY(QDir().mkpath(folder));

        QLocalServer impostor;
        impostor.setSocketOptions(QLocalServer::UserAccessOption);
        QVERIFY(impostor.listen(victim.socketName()));
        const ino_t impostorSocket = inodeOf(victim.socketName());
        const QByteArray opened = QFile::encodeName(target == u"folder"_s ? folder : victim.socketName());
        if (chownToNobody)
            QCOMPARE(::chown(opened.constData(), Nobody, Nobody), 0);
        else
            QCOMPARE(::chmod(opened.constData(), S_IRWXU | S_IRWXG | S_IRWXO), 0);

        QVERIFY(!victim.handOver({u"/home/victim/secret.txt"_s}));
        QVERIFY(!impostor.waitForNewConnection(0));
        // Still the impostor's socket: neither removed nor replaced.
        QCOMPARE(inodeOf(victim.socketName()), impostorSocket);
    }

    // A second start while the first was busy removed its socket and ran beside it.
    void busyProgramKeepsItsSocket()
    {
        SingleInstance first(settingsPath());
        QSignalSpy firstReceived(&first, &SingleInstance::argumentsReceived);
        QVERIFY(!first.handOver({}));

        // The first answers nothing while this thread waits in the second.
        SingleInstance second(settingsPath());
        QSignalSpy secondReceived(&second, &SingleInstance::argumentsReceived);
        second.setAnswerTimeout(50ms);
        QVERIFY(!second.handOver({u"/b"_s}));

        std::future<bool> handedOver = startSecond(settingsPath(), {u"/c"_s});
        QTRY_VERIFY(isReady(handedOver));
        QVERIFY(handedOver.get());
        QTRY_VERIFY(!firstReceived.isEmpty());
        QCOMPARE(firstReceived.last().at(0).toStringList(), QStringList{u"/c"_s});
        QVERIFY(secondReceived.isEmpty());
    }

    // A peer that connected and sent nothing held its connection for good.
    void silentPeerIsDropped()
    {
        SingleInstance first(settingsPath());
        QVERIFY(!first.handOver({}));
        QLocalSocket peer;
        peer.connectToServer(first.socketName());
        QVERIFY(peer.waitForConnected());
        QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QLocalSocket::UnconnectedState, 15000);
    }

    void malformedMessageIsRefused_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("list count 0xFFFFFFFF") << QByteArray::fromHex("ffffffff");
        QTest::newRow("count beyond the message") << QByteArray::fromHex("00000004" "ffffffff");
        QTest::newRow("string beyond the message") << QByteArray::fromHex("00000008" "00000001" "7ffffffe");
        QTest::newRow("odd string length") << QByteArray::fromHex("00000009" "00000001" "00000001" "41");
        QTest::newRow("bytes after the list") << QByteArray::fromHex("00000006" "00000000" "4141");
    }

    // A list count of 0xFFFFFFFF made the reader reserve that many entries.
    void malformedMessageIsRefused()
    {
        QFETCH(QByteArray, message);
        SingleInstance first(settingsPath());
        QSignalSpy received(&first, &SingleInstance::argumentsReceived);
        QVERIFY(!first.handOver({}));

        QLocalSocket peer;
        peer.connectToServer(first.socketName());
        QVERIFY(peer.waitForConnected());
        peer.write(message);
        QTRY_COMPARE(peer.state(), QLocalSocket::UnconnectedState);
        QVERIFY(received.isEmpty());

        std::future<bool> handedOver = startSecond(settingsPath(), {u"/a"_s});
        QTRY_VERIFY(isReady(handedOver));
        QVERIFY(handedOver.get());
        QCOMPARE(received.size(), 1);
    }

    // Every connection was taken at once, up to the open-file limit.
    void connectionsAreCapped()
    {
        SingleInstance first(settingsPath());
        QVERIFY(!first.handOver({}));
        const int before = openFileCount();
        constexpr int peerCount = 32;
        std::vector<std::unique_ptr<QLocalSocket>> peers;
        for (int i = 0; i < peerCount; ++i) {
            peers.push_back(std::make_unique<QLocalSocket>());
            peers.back()->connectToServer(first.socketName());
            QVERIFY(peers.back()->waitForConnected());
        }
        for (int i = 0; i < peerCount; ++i)
            QCoreApplication::processEvents();
        // The server holds eight; the rest wait in the kernel's queue.
        const int serverSide = openFileCount() - before - peerCount;
        QVERIFY2(serverSide <= 10, qPrintable(QString::number(serverSide)));

        peers.clear();
        std::future<bool> handedOver = startSecond(settingsPath(), {u"/a"_s});
        QTRY_VERIFY_WITH_TIMEOUT(isReady(handedOver), 15000);
        QVERIFY(handedOver.get());
    }

    // At the open-file limit the server closed and its socket vanished.
    void keepsListeningAfterAcceptFails()
    {
        SingleInstance first(settingsPath());
        QVERIFY(!first.handOver({}));
        const int peer = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(peer != -1);
        const auto closePeer = qScopeGuard([peer] { ::close(peer); });
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(first.socketName()).constData(), sizeof address.sun_path);
        QCOMPARE(::connect(peer, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
        {
            const int lowestFree = ::dup(0);
            ::close(lowestFree);
            rlimit full = saved;
            full.rlim_cur = rlim_t(lowestFree); // no descriptor left to accept with
            QCOMPARE(::setrlimit(RLIMIT_NOFILE, &full), 0);
            const auto restore = qScopeGuard([&saved] { ::setrlimit(RLIMIT_NOFILE, &saved); });
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
        }
        QVERIFY(QFileInfo::exists(first.socketName()));

        std::future<bool> handedOver = startSecond(settingsPath(), {u"/a"_s});
        QTRY_VERIFY(isReady(handedOver));
        QVERIFY(handedOver.get());
    }

private:
    QString settingsPath() const { return m_runtime->filePath(u"settings.reg"_s); }

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<ScopedEnv> m_runtimeEnv;
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
