#include "testhttpserver.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {

constexpr qint64 ClaimedExtraBytes = 1000;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 304:
        return "Not Modified";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

TestHttpServer::TestHttpServer(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &TestHttpServer::onNewConnection);
}

TestHttpServer::~TestHttpServer() = default;

bool TestHttpServer::listen()
{
    return m_server->listen(QHostAddress::LocalHost);
}

void TestHttpServer::close()
{
    m_server->close();
}

QUrl TestHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server->serverPort()).arg(path));
}

void TestHttpServer::serve(const QString &path, const Response &response)
{
    m_responses.insert(path, response);
}

void TestHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // The whole request head is read before answering.
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
            *request += socket->readAll();
            if (!request->contains("\r\n\r\n"))
                return;
            disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
            respond(socket, *request);
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestHttpServer::respond(QTcpSocket *socket, const QByteArray &request)
{
    const QString path = QString::fromLatin1(request.split(' ').value(1));
    m_requested.append(path);
    m_heads.append(request.left(request.indexOf("\r\n\r\n") + 2));

    const Response response = m_responses.value(path, {404, "text/html", "<html><body>Not Found</body></html>"});
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status)
        + "\r\nContent-Type: " + response.contentType + "\r\nConnection: close\r\n" + response.headers;
    if (response.ending != Ending::NoLength) {
        const qint64 extra = response.ending == Ending::Complete ? 0 : ClaimedExtraBytes;
        head += "Content-Length: " + QByteArray::number(response.body.size() + extra) + "\r\n";
    }
    if (response.ending == Ending::Trickle) {
        socket->write(head + "\r\n");
        trickle(socket, response.body);
        return;
    }
    socket->write(head + "\r\n" + response.body);
    if (response.ending != Ending::Stall)
        socket->disconnectFromHost();
}

void TestHttpServer::trickle(QTcpSocket *socket, const QByteArray &body)
{
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent] {
        if (*sent == body.size()) {
            timer->stop();
            return;
        }
        socket->write(body.sliced((*sent)++, 1));
    });
    timer->start(TrickleStepMs);
}
