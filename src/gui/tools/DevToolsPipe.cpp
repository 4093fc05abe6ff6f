#include "gui/tools/DevToolsPipe.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <QEventLoop>
#include <QJsonDocument>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <utility>

#include "gui/ui/QtText.h"

namespace vorkel::gui {

namespace {

// No single message of ours comes near this; a browser that sends more is broken.
constexpr qsizetype kMaxMessage = 64 * 1024 * 1024;

// Writing to a pipe whose reader has gone raises SIGPIPE, which would end the whole program.
// Block it for this thread around the write and swallow one it raised, leaving the process's
// signal handling as it was.
ssize_t writeWithoutSigpipe(int fd, const char* data, size_t size) {
    sigset_t pipeOnly;
    sigset_t previous;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
    sigset_t pending;
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE) == 1;
    const ssize_t written = ::write(fd, data, size);
    const int error = errno;
    if (written < 0 && error == EPIPE && !wasPending) {
        const timespec none{0, 0};
        while (sigtimedwait(&pipeOnly, nullptr, &none) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
}

/// A pipe's two ends, close-on-exec: the read end first.
std::pair<vorkel::FileHandle, vorkel::FileHandle> makePipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw vorkel::Error("The browser's pipe could not be made.");
    return {vorkel::FileHandle(ends[0]), vorkel::FileHandle(ends[1])};
}

void setNonBlocking(const vorkel::FileHandle& fd) {
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) | O_NONBLOCK);
}

}  // namespace

DevToolsPipe::DevToolsPipe(QObject* parent) : QObject(parent) {
    connect(&m_process, &QProcess::finished, this, [this] {
        closePipe(QStringLiteral("The browser has closed."));
        emit finished();
    });
}

DevToolsPipe::~DevToolsPipe() {
    shutdown(3000);
}

void DevToolsPipe::start(const QString& program, const QStringList& arguments) {
    auto [childIn, toBrowser] = makePipe();
    auto [fromBrowser, childOut] = makePipe();
    m_process.setChildProcessModifier([in = childIn.get(), out = childOut.get()] {
        // Raise both ends above 4 first: one of them may itself be 3 or 4, and dup2 onto the
        // same number would leave it close-on-exec. The raised copies are close-on-exec
        // themselves, so only 3 and 4 reach the browser.
        const int raisedIn = ::fcntl(in, F_DUPFD_CLOEXEC, 10);
        const int raisedOut = ::fcntl(out, F_DUPFD_CLOEXEC, 10);
        if (raisedIn < 0 || raisedOut < 0 || ::dup2(raisedIn, 3) < 0 || ::dup2(raisedOut, 4) < 0)
            ::_exit(127);
        // A process group of its own: the browser's helpers can be told apart from ours, and a
        // terminal's job signals meant for this program do not reach it.
        ::setpgid(0, 0);
    });
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(program, arguments);
    const bool started = m_process.waitForStarted(10000);
    // The child's ends are the browser's alone now (or nobody's): ours would keep the pipe
    // from reporting its end when the browser goes.
    childIn.close();
    childOut.close();
    if (!started)
        throw vorkel::Error("The browser " + toStdString(program) +
                            " could not be started: " + toStdString(m_process.errorString()));

    m_toBrowser = std::move(toBrowser);
    m_fromBrowser = std::move(fromBrowser);
    setNonBlocking(m_toBrowser);
    setNonBlocking(m_fromBrowser);
    m_in.clear();
    m_scanned = 0;
    m_out.clear();
    m_replies.clear();
    m_abandoned.clear();
    m_detached.clear();
    m_closeReason.clear();
    m_readNotifier = new QSocketNotifier(m_fromBrowser.get(), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &DevToolsPipe::readAvailable);
    m_writeNotifier = new QSocketNotifier(m_toBrowser.get(), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &DevToolsPipe::writePending);
}

bool DevToolsPipe::isOpen() const {
    return m_toBrowser && m_fromBrowser && m_process.state() == QProcess::Running;
}

qint64 DevToolsPipe::processId() const {
    return m_process.state() == QProcess::NotRunning ? 0 : m_process.processId();
}

QJsonObject DevToolsPipe::call(const QString& method, const QJsonObject& params,
                               const QString& sessionId, int timeoutMs) {
    if (!isOpen())
        throw DevToolsError(
            DevToolsError::Kind::Closed,
            toStdString(m_closeReason.isEmpty() ? QStringLiteral("The browser is not running.")
                                                : m_closeReason));
    const int id = queue(method, params, sessionId);

    auto settled = [this, id, &sessionId] {
        return m_replies.count(id) != 0 || !isOpen() ||
               (!sessionId.isEmpty() && m_detached.contains(sessionId));
    };
    bool timedOut = false;
    bool cancelled = false;
    if (!settled()) {
        QPointer<DevToolsPipe> self(this);
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        connect(this, &DevToolsPipe::traffic, &loop, [&] {
            if (settled()) loop.quit();
        });
        connect(this, &DevToolsPipe::waitsCancelled, &loop, [&] {
            cancelled = true;
            loop.quit();
        });
        timer.start(timeoutMs);
        loop.exec();
        if (!self)
            throw DevToolsError(DevToolsError::Kind::Closed, "The browser connection has ended.");
    }

    const auto reply = m_replies.find(id);
    if (reply == m_replies.end()) {
        if (!isOpen()) throw DevToolsError(DevToolsError::Kind::Closed, toStdString(m_closeReason));
        if (!sessionId.isEmpty() && m_detached.contains(sessionId))
            throw DevToolsError(DevToolsError::Kind::Detached, "The page has closed.");
        if (cancelled) {
            m_abandoned.insert(id);
            throw DevToolsError(DevToolsError::Kind::Cancelled, "Auto Fill was cancelled.");
        }
        // Also an event loop ended from outside (the program quitting) lands here. A late reply
        // is dropped when it comes.
        m_abandoned.insert(id);
        throw DevToolsError(DevToolsError::Kind::Timeout,
                            (timedOut ? "The browser did not answer " : "No answer came to ") +
                                toStdString(method) + ".");
    }
    const QJsonObject answer = reply->second;
    m_replies.erase(reply);
    if (answer.contains("error")) {
        const QString text = answer.value("error").toObject().value("message").toString();
        throw DevToolsError(DevToolsError::Kind::Reply,
                            toStdString(method) + ": " +
                                toStdString(text.isEmpty() ? QStringLiteral("refused") : text));
    }
    return answer.value("result").toObject();
}

int DevToolsPipe::queue(const QString& method, const QJsonObject& params,
                        const QString& sessionId) {
    const int id = m_nextId++;
    QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
    if (!sessionId.isEmpty()) message.insert("sessionId", sessionId);
    m_out += QJsonDocument(message).toJson(QJsonDocument::Compact);
    m_out += '\0';
    writePending();
    return id;
}

void DevToolsPipe::send(const QString& method, const QJsonObject& params,
                        const QString& sessionId) {
    if (!isOpen()) return;
    m_abandoned.insert(queue(method, params, sessionId));
}

void DevToolsPipe::writePending() {
    while (!m_out.isEmpty() && m_toBrowser) {
        const ssize_t n = writeWithoutSigpipe(m_toBrowser.get(), m_out.constData(),
                                              static_cast<size_t>(m_out.size()));
        if (n > 0) {
            m_out.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        closePipe(QStringLiteral("The browser stopped reading its commands."));
        return;
    }
    if (m_writeNotifier) m_writeNotifier->setEnabled(!m_out.isEmpty());
}

void DevToolsPipe::readAvailable() {
    char buffer[65536];
    for (;;) {
        if (!m_fromBrowser) return;
        const ssize_t n = ::read(m_fromBrowser.get(), buffer, sizeof buffer);
        if (n > 0) {
            m_in.append(buffer, n);
            // Only the bytes just read are searched, and the messages found are cut off in one
            // go: a large message arriving in many reads, or many small ones in one read, cost
            // time in proportion to their size, not its square.
            qsizetype start = 0;
            qsizetype end;
            while ((end = m_in.indexOf('\0', m_scanned)) >= 0) {
                m_bytesScanned += end + 1 - m_scanned;
                handleMessage(QByteArray(m_in.constData() + start, end - start));
                if (!m_fromBrowser) return;
                start = end + 1;
                m_scanned = start;
            }
            m_bytesScanned += m_in.size() - m_scanned;
            m_in.remove(0, start);
            m_scanned = m_in.size();
            if (m_in.size() > kMaxMessage) {
                closePipe(QStringLiteral("The browser sent a message too large to read."));
                return;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        closePipe(QStringLiteral("The browser has closed."));
        return;
    }
    emit traffic();
}

void DevToolsPipe::handleMessage(const QByteArray& text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        closePipe(QStringLiteral("The browser sent a message that could not be read."));
        return;
    }
    const QJsonObject message = document.object();
    if (message.contains("id")) {
        const int id = message.value("id").toInt(-1);
        if (!m_abandoned.remove(id)) m_replies[id] = message;
    } else if (message.value("method").toString() == QLatin1String("Target.detachedFromTarget")) {
        m_detached.insert(message.value("params").toObject().value("sessionId").toString());
    }
}

void DevToolsPipe::closePipe(const QString& reason) {
    const bool wasOpen = m_toBrowser || m_fromBrowser;
    if (m_closeReason.isEmpty()) m_closeReason = reason;
    // This may run inside a notifier's own signal: retire them rather than delete them here.
    for (QSocketNotifier* notifier : {m_readNotifier, m_writeNotifier}) {
        if (!notifier) continue;
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
    m_toBrowser.close();
    m_fromBrowser.close();
    m_out.clear();
    if (wasOpen) {
        emit traffic();
        emit closed();
    }
}

void DevToolsPipe::cancelWaits() {
    emit waitsCancelled();
}

void DevToolsPipe::shutdown(int graceMs) {
    closePipe(QStringLiteral("The connection to the browser was closed."));
    if (m_process.state() == QProcess::NotRunning) return;
    // The browser closes itself once its command pipe reaches its end.
    if (m_process.waitForFinished(graceMs)) return;
    m_process.terminate();
    if (m_process.waitForFinished(2000)) return;
    m_process.kill();
    m_process.waitForFinished(2000);
}

}  // namespace vorkel::gui
