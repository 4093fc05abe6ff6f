#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace vorkel::gui {

/// One running instance per program file and user. The first start listens on a local socket
/// named from a hash of the program file's canonical path and the user id; a later start of the
/// same file asks it to come forward and ends. A socket left by a crashed instance does not count.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// `programFile` is the path of the running program file. When no private folder for the
    /// socket can be had (see privateFolder), alreadyRunning says why.
    explicit SingleInstance(const QString& programFile, QObject* parent = nullptr);
    /// The same with the socket in `socketFolder`, which the caller vouches is private.
    SingleInstance(const QString& programFile, const QString& socketFolder,
                   QObject* parent = nullptr);
    ~SingleInstance() override;

    /// True when another process of the same program file and user answered: it has been asked
    /// to come forward, and this process must end. Otherwise this process is now the instance
    /// that answers later starts. Decided at the first call; throws vorkel::Error when the
    /// socket cannot be set up or the running instance cannot be reached for a reason other
    /// than there being none.
    bool alreadyRunning();

    /// The full name of the local socket, for this program file and the current user.
    const QString& serverName() const { return m_serverName; }

    /// The folder for the socket: the user's runtime folder, or without one a folder of the
    /// user's own (0700) in `tempFolder`, made when missing. Throws vorkel::Error when what is
    /// found there is not a folder of this user's or cannot be made private.
    static QString privateFolder(const QString& runtimeFolder, const QString& tempFolder);

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
    std::string m_setupError;
};

}  // namespace vorkel::gui
