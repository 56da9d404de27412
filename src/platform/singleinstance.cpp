#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSocketNotifier>
#include <QTimer>
#include <QtEndian>

#include <optional>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A start waits this long for a running program that is busy (opening a
// large document, say) before it runs on its own.
constexpr std::chrono::milliseconds DefaultAnswerTimeout = 30s;
constexpr std::chrono::milliseconds LockTimeout = 5s;
// What a connected peer gets for its whole message, however it trickles in.
constexpr std::chrono::milliseconds PeerTimeout = 3s;
constexpr std::chrono::milliseconds AcceptRetry = 500ms;
constexpr int MaxPeers = 8;
// The message is the argument list in QDataStream's form, after its size as
// four bytes, most significant first.
constexpr qint64 HeaderSize = 4;
constexpr quint32 MaxMessageBytes = 1024 * 1024;
constexpr char Acknowledgement = '\x06';

// Whether path is of the given type, this user's, and closed to everyone else.
bool isPrivate(const QString &path, mode_t type)
{
    struct stat status{};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && (status.st_mode & S_IFMT) == type
        && status.st_uid == ::geteuid() && (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool isMissing(const QString &path)
{
    struct stat status{};
    return ::lstat(QFile::encodeName(path).constData(), &status) == -1 && errno == ENOENT;
}

QString socketFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime;
    return QDir::tempPath() + QStringLiteral("/folivane-%1").arg(::geteuid());
}

int remainingMs(const QDeadlineTimer &deadline)
{
    return int(std::max<qint64>(deadline.remainingTime(), 0));
}

QByteArray message(const QStringList &arguments)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << arguments;
    QByteArray header(HeaderSize, Qt::Uninitialized);
    qToBigEndian(quint32(payload.size()), header.data());
    return header + payload;
}

std::optional<QStringList> decodeArguments(const QByteArray &payload)
{
    QDataStream in(payload);
    quint32 count = 0;
    in >> count;
    // Each entry takes four bytes at least: a larger count is a lie, and must
    // not size an allocation.
    if (count > quint32(payload.size() / 4))
        return std::nullopt;
    QStringList arguments;
    arguments.reserve(count);
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString argument;
        in >> argument;
        arguments.append(argument);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return arguments;
}

void drop(QLocalSocket *peer)
{
    peer->abort();
    peer->deleteLater();
}

} // namespace

SingleInstance::SingleInstance(const QString &settingsFilePath, QObject *parent)
    : QObject(parent)
    , m_folder(socketFolder())
    , m_answerTimeout(DefaultAnswerTimeout)
{
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(settingsFilePath).toUtf8(), QCryptographicHash::Sha256).toHex();
    const QString base = m_folder + QStringLiteral("/folivane-") + QString::fromLatin1(hash.left(16));
    m_socketName = base + QStringLiteral(".socket");
    m_lockPath = base + QStringLiteral(".lock");
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOver(const QStringList &arguments)
{
    // mkdir leaves a folder that exists as it is: one that another account
    // made first, or that others may enter, is refused below.
    ::mkdir(QFile::encodeName(m_folder).constData(), S_IRWXU);
    if (!isPrivate(m_folder, S_IFDIR))
        return false;

    // Connecting and listening under one lock: two programs starting at once
    // must not both find no server and both listen. A start that waits for a
    // busy program holds it that long; past that, a start goes on without it.
    QLockFile lock(m_lockPath);
    lock.setStaleLockTime(m_answerTimeout + LockTimeout);
    lock.tryLock(LockTimeout);
    if (!isMissing(m_socketName) && !isPrivate(m_socketName, S_IFSOCK))
        return false;
    switch (sendToRunning(arguments)) {
    case Delivery::Delivered:
        return true;
    case Delivery::Unanswered:
        return false; // its socket stays: it may answer later ones
    case Delivery::NoProgram:
        break;
    }
    listen();
    return false;
}

SingleInstance::Delivery SingleInstance::sendToRunning(const QStringList &arguments) const
{
    const QDeadlineTimer deadline(m_answerTimeout);
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(remainingMs(deadline))) {
        // Only a missing socket or a refused connection means no program is
        // behind it; a connection that times out waits in a busy one's queue.
        const QLocalSocket::LocalSocketError error = socket.error();
        return error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError
            ? Delivery::NoProgram
            : Delivery::Unanswered;
    }
    socket.write(message(arguments));
    if (!socket.waitForBytesWritten(remainingMs(deadline)))
        return Delivery::Unanswered;
    // The running program answers once it has the whole list.
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(remainingMs(deadline)))
            return Delivery::Unanswered;
    }
    return socket.read(1) == QByteArray(1, Acknowledgement) ? Delivery::Delivered : Delivery::Unanswered;
}

void SingleInstance::listen()
{
    QLocalServer::removeServer(m_socketName); // left by a program that crashed
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Qt's server closes itself and removes its socket at the first accept
    // that fails (at the open-file limit, say), so it only binds and listens
    // here, never accepting: the accepting is ours.
    server->setMaxPendingConnections(0);
    if (!server->listen(m_socketName))
        return;
    m_server = std::move(server);
    // Qt leaves it blocking; an accept here must never wait.
    const int descriptor = int(m_server->socketDescriptor());
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    m_acceptNotifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    connect(m_acceptNotifier.get(), &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
}

void SingleInstance::acceptConnections()
{
    while (m_peerCount < MaxPeers) {
        const int descriptor =
            ::accept4(int(m_server->socketDescriptor()), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor != -1) {
            serve(descriptor);
            continue;
        }
        if (errno == EAGAIN)
            return;
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        // Out of descriptors or memory: the peer waits in the queue meanwhile.
        m_acceptNotifier->setEnabled(false);
        QTimer::singleShot(AcceptRetry, this, &SingleInstance::resumeAccepting);
        return;
    }
    // Later peers wait in the queue until one of these is done.
    m_acceptNotifier->setEnabled(false);
}

void SingleInstance::resumeAccepting()
{
    if (m_peerCount < MaxPeers)
        m_acceptNotifier->setEnabled(true);
}

void SingleInstance::serve(int descriptor)
{
    auto *peer = new QLocalSocket(this);
    if (!peer->setSocketDescriptor(descriptor)) {
        ::close(descriptor);
        delete peer;
        return;
    }
    ++m_peerCount;
    connect(peer, &QObject::destroyed, this, [this] {
        --m_peerCount;
        resumeAccepting();
    });
    peer->setReadBufferSize(HeaderSize + MaxMessageBytes);
    connect(peer, &QLocalSocket::readyRead, this, [this, peer] { readMessage(peer); });
    connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    QTimer::singleShot(PeerTimeout, peer, [peer] { drop(peer); });
}

void SingleInstance::readMessage(QLocalSocket *peer)
{
    if (peer->state() != QLocalSocket::ConnectedState || peer->bytesAvailable() < HeaderSize)
        return;
    const quint32 size = qFromBigEndian<quint32>(peer->peek(HeaderSize).constData());
    if (size > MaxMessageBytes) {
        drop(peer);
        return;
    }
    if (peer->bytesAvailable() < HeaderSize + size)
        return; // more to come
    peer->skip(HeaderSize);
    const std::optional<QStringList> arguments = decodeArguments(peer->read(size));
    if (!arguments) {
        drop(peer);
        return;
    }
    peer->write(QByteArray(1, Acknowledgement));
    peer->flush();
    peer->disconnectFromServer();
    emit argumentsReceived(*arguments);
}
