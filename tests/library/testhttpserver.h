#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

// An HTTP/1.1 server on 127.0.0.1 serving fixed responses by path, one
// request per connection. Paths without a response get a 404 HTML page.
class TestHttpServer : public QObject
{
    Q_OBJECT

public:
    enum class Ending {
        Complete,
        // Sends the body, claims more and sends nothing else.
        Stall,
        // Sends the body, claims more and closes the connection.
        CutShort,
        // Sends no Content-Length; the end of the body is the close.
        NoLength,
        // Sends the body a byte at a time, every TrickleStepMs, and claims more.
        Trickle,
    };
    static constexpr int TrickleStepMs = 20;

    struct Response
    {
        int status = 200;
        QByteArray contentType = "text/plain";
        QByteArray body;
        Ending ending = Ending::Complete;
        // More header lines, each ending in "\r\n".
        QByteArray headers;
    };

    explicit TestHttpServer(QObject *parent = nullptr);
    ~TestHttpServer() override;

    bool listen();
    void close();
    QUrl url(const QString &path) const;
    void serve(const QString &path, const Response &response);
    const QStringList &requestedPaths() const { return m_requested; }
    // The request line and header lines of each request, in order, each line ending in "\r\n".
    const QByteArrayList &requestHeads() const { return m_heads; }

private:
    void onNewConnection();
    void respond(QTcpSocket *socket, const QByteArray &request);
    void trickle(QTcpSocket *socket, const QByteArray &body);

    QTcpServer *m_server;
    QHash<QString, Response> m_responses;
    QStringList m_requested;
    QByteArrayList m_heads;
};
