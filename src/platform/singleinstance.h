#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class QLocalServer;

// One running program per settings file: a second start hands its arguments
// to the first over a local socket named after the settings file, so that two
// programs never overwrite each other's settings and state at exit.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &settingsFilePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when a running program took the arguments; false when this one is
    // the first and now listens for later ones.
    bool handOver(const QStringList &arguments);

    QString socketName() const { return m_socketName; }

signals:
    void argumentsReceived(const QStringList &arguments);

private:
    bool sendToRunning(const QStringList &arguments);
    void acceptConnection();

    QString m_socketName;
    QString m_lockPath;
    std::unique_ptr<QLocalServer> m_server;
};
