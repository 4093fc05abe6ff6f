#include "app/SingleInstance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include "Error.h"
#include "ui/QtText.h"

namespace {

const QByteArray kActivateRequest = QByteArrayLiteral("activate\n");
constexpr int kConnectTimeoutMs = 1000;

QString serverNameFor(const QString& programFile) {
    QFileInfo info(programFile);
    QString path = info.canonicalFilePath();
    if (path.isEmpty()) path = info.absoluteFilePath();

    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(path.toUtf8());
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(QByteArray::number(static_cast<qulonglong>(::getuid())));
    const QString name =
        QStringLiteral("vorkel-") + QString::fromLatin1(hash.result().toHex().left(32));

    // The user's own runtime folder keeps other users from taking or squatting the name; the
    // temporary folder is the fallback.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) return name;
    return QDir(runtime).filePath(name);
}

}  // namespace

SingleInstance::SingleInstance(const QString& programFile, QObject* parent)
    : QObject(parent), m_serverName(serverNameFor(programFile)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::alreadyRunning() {
    if (!m_alreadyRunning) {
        const bool answered = askRunningInstance();
        if (!answered) listen();
        m_alreadyRunning = answered;
    }
    return *m_alreadyRunning;
}

bool SingleInstance::askRunningInstance() {
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        // No socket, or a socket nobody listens on (its owner crashed): no instance. A listener
        // that is too busy to take the connection is still an instance.
        const auto error = socket.error();
        return error != QLocalSocket::ServerNotFoundError &&
               error != QLocalSocket::ConnectionRefusedError;
    }
    socket.write(kActivateRequest);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectTimeoutMs);
    return true;
}

void SingleInstance::listen() {
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // Nobody answered on the name, so a socket file there is stale.
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName)) {
            const QString reason = m_server->errorString();
            m_server.reset();
            throw vorkel::Error(toStdString(reason));
        }
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptRequests);
}

void SingleInstance::acceptRequests() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // The server owns the socket; it goes once the later start has hung up.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0) readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        if (socket->readLine() == kActivateRequest) emit activationRequested();
    }
    // Anything else is not one of ours; an overlong line is dropped with its sender.
    if (socket->bytesAvailable() > kActivateRequest.size()) socket->abort();
}
