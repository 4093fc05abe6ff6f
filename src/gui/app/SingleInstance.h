#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

/// One running instance per program file and user. The first start listens on a local socket
/// named from a hash of the program file's canonical path and the user id; a later start of the
/// same file asks it to come forward and ends. A socket left by a crashed instance does not count.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// `programFile` is the path of the running program file.
    explicit SingleInstance(const QString& programFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// True when another process of the same program file and user answered: it has been asked
    /// to come forward, and this process must end. Otherwise this process is now the instance
    /// that answers later starts. Decided at the first call; throws vorkel::Error when the
    /// socket cannot be set up.
    bool alreadyRunning();

    /// The full name of the local socket, for this program file and the current user.
    const QString& serverName() const { return m_serverName; }

signals:
    /// A later start of the same program asked this instance to come forward.
    void activationRequested();

private:
    bool askRunningInstance();
    void listen();
    void acceptRequests();
    void readRequest(QLocalSocket* socket);

    QString m_serverName;
    std::unique_ptr<QLocalServer> m_server;
    std::optional<bool> m_alreadyRunning;
};
