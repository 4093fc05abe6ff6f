#include "gui/app/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/Error.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

namespace {

const QByteArray kActivateRequest = QByteArrayLiteral("activate\n");
constexpr int kConnectTimeoutMs = 1000;

QString serverNameFor(const QString& programFile, const QString& folder) {
    QFileInfo info(programFile);
    QString path = info.canonicalFilePath();
    if (path.isEmpty()) path = info.absoluteFilePath();

    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(path.toUtf8());
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(QByteArray::number(static_cast<qulonglong>(::getuid())));
    const QString name =
        QStringLiteral("vorkel-") + QString::fromLatin1(hash.result().toHex().left(32));

    return QDir(folder).filePath(name);
}

[[noreturn]] void notPrivate(const QString& folder, const std::string& why) {
    throw vorkel::Error("The folder " + toStdString(folder) +
                        " for the program's single-instance socket cannot be used: " + why);
}

}  // namespace

QString SingleInstance::privateFolder(const QString& runtimeFolder, const QString& tempFolder) {
    if (!runtimeFolder.isEmpty()) return runtimeFolder;
    // No runtime folder: one of our own in the temporary folder, whose name anyone can guess,
    // so whatever is found there must be proved ours and private before it is used.
    const QString folder = QDir(tempFolder).filePath(QStringLiteral("vorkel-%1").arg(::geteuid()));
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        notPrivate(folder, std::strerror(errno) + std::string("."));
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        notPrivate(folder, std::strerror(errno) + std::string("."));
    if (!S_ISDIR(st.st_mode)) notPrivate(folder, "it is not a folder.");
    if (st.st_uid != ::geteuid()) notPrivate(folder, "it belongs to another user.");
    if ((st.st_mode & 0077) != 0 && ::chmod(path.constData(), 0700) != 0)
        notPrivate(folder, "it is open to other users and cannot be closed to them.");
    return folder;
}

// A folder only this user can enter keeps other users from taking or squatting the name.
SingleInstance::SingleInstance(const QString& programFile, QObject* parent) : QObject(parent) {
    try {
        m_serverName = serverNameFor(
            programFile,
            privateFolder(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
                          QDir::tempPath()));
    } catch (const vorkel::Error& e) {
        m_setupError = e.what();  // told by alreadyRunning, where the caller expects failures
    }
}

SingleInstance::SingleInstance(const QString& programFile, const QString& socketFolder,
                               QObject* parent)
    : QObject(parent), m_serverName(serverNameFor(programFile, socketFolder)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::alreadyRunning() {
    if (!m_setupError.empty()) throw vorkel::Error(m_setupError);
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
        // No socket, or a socket nobody listens on (its owner crashed): no instance. Anything
        // else (no access, a timeout, a broken socket) is reported, not taken for an answer:
        // ending silently would leave the user with no program and no reason.
        const auto error = socket.error();
        if (error == QLocalSocket::ServerNotFoundError ||
            error == QLocalSocket::ConnectionRefusedError)
            return false;
        throw vorkel::Error("Cannot tell whether Vorkel is already running: the socket " +
                            toStdString(m_serverName) + " could not be reached (" +
                            toStdString(socket.errorString()) + ").");
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

}  // namespace vorkel::gui
