#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <unistd.h>

namespace {

constexpr int ConnectTimeoutMs = 1000;
constexpr int ReplyTimeoutMs = 5000;
constexpr int LockTimeoutMs = 5000;
constexpr char Acknowledgement = '\x06';

QString runtimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/folivane-%1").arg(::getuid());
    QDir().mkpath(own);
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return own;
}

} // namespace

SingleInstance::SingleInstance(const QString &settingsFilePath, QObject *parent)
    : QObject(parent)
{
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(settingsFilePath).toUtf8(), QCryptographicHash::Sha256).toHex();
    const QString base = runtimeFolder() + QStringLiteral("/folivane-") + QString::fromLatin1(hash.left(16));
    m_socketName = base + QStringLiteral(".socket");
    m_lockPath = base + QStringLiteral(".lock");
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOver(const QStringList &arguments)
{
    // Connecting and listening under one lock: two programs starting at once
    // must not both find no server and both listen.
    QLockFile lock(m_lockPath);
    lock.setStaleLockTime(LockTimeoutMs * 2);
    const bool locked = lock.tryLock(LockTimeoutMs);
    if (sendToRunning(arguments))
        return true;
    // A server that answers no more was left by a program that crashed.
    QLocalServer::removeServer(m_socketName);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(m_socketName))
        connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    if (locked)
        lock.unlock();
    return false;
}

bool SingleInstance::sendToRunning(const QStringList &arguments)
{
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << arguments;
    socket.write(message);
    if (!socket.waitForBytesWritten(ReplyTimeoutMs))
        return false;
    // The running program answers once it has the whole list.
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(ReplyTimeoutMs))
            return false;
    }
    return socket.read(1) == QByteArray(1, Acknowledgement);
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream stream(socket);
            stream.startTransaction();
            QStringList arguments;
            stream >> arguments;
            if (!stream.commitTransaction())
                return; // more to come
            socket->write(QByteArray(1, Acknowledgement));
            socket->flush();
            emit argumentsReceived(arguments);
        });
    }
}
