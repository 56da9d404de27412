#pragma once

#include <QObject>
#include <QStringList>

#include <chrono>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QSocketNotifier;

// One running program per settings file: a second start hands its arguments
// to the first over a local socket named after the settings file, so that two
// programs never overwrite each other's settings and state at exit.
//
// The socket lives in a folder only this user can enter; where that cannot be
// had, or the running program does not answer, each start runs on its own.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &settingsFilePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when a running program took the arguments; false when this one
    // runs on its own: as the first, listening for later ones, or beside a
    // program it cannot hand over to.
    bool handOver(const QStringList &arguments);

    // How long a start waits for a busy running program to answer.
    void setAnswerTimeout(std::chrono::milliseconds timeout) { m_answerTimeout = timeout; }

    QString socketName() const { return m_socketName; }

signals:
    void argumentsReceived(const QStringList &arguments);

private:
    enum class Delivery { Delivered, NoProgram, Unanswered };

    Delivery sendToRunning(const QStringList &arguments) const;
    void listen();
    void acceptConnections();
    void serve(int descriptor);
    void readMessage(QLocalSocket *peer);
    void resumeAccepting();

    QString m_folder;
    QString m_socketName;
    QString m_lockPath;
    std::chrono::milliseconds m_answerTimeout;
    std::unique_ptr<QLocalServer> m_server;
    std::unique_ptr<QSocketNotifier> m_acceptNotifier;
    int m_peerCount = 0;
};
