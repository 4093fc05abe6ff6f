#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>
#include <map>

#include "core/Error.h"
#include "core/storage/FileHandle.h"

class QSocketNotifier;

namespace vorkel::gui {

/// A failed protocol command. `kind` tells whether the page concerned failed (an error reply, a
/// page that closed or stopped answering) or the whole browser (the pipe closed or broke).
class DevToolsError : public vorkel::Error {
public:
    enum class Kind { Reply, Timeout, Detached, Closed, Cancelled };
    /// `text` is what the user may be shown.
    DevToolsError(Kind kind, const std::string& text) : vorkel::Error(text), m_kind(kind) {}
    /// What went wrong.
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

/// A browser process driven through its debugging protocol over two private pipes: the child
/// reads commands on file descriptor 3 and writes replies and events on 4, each message JSON
/// ended by a NUL byte. No network port is opened, so no other process can take the browser
/// over. Waiting for a reply runs a local event loop, so the windows stay live meanwhile.
class DevToolsPipe : public QObject {
    Q_OBJECT
public:
    /// An idle pipe; `start` launches the browser.
    explicit DevToolsPipe(QObject* parent = nullptr);
    /// Closes the pipe, on which the browser closes itself; one that has not ended after a few
    /// seconds is terminated.
    ~DevToolsPipe() override;
    DevToolsPipe(const DevToolsPipe&) = delete;
    DevToolsPipe& operator=(const DevToolsPipe&) = delete;

    /// Starts `program` with `arguments` and the protocol on descriptors 3 and 4; output goes
    /// nowhere. Throws vorkel::Error when the program cannot be started.
    void start(const QString& program, const QStringList& arguments);
    /// True while the process runs and the pipe is open both ways.
    bool isOpen() const;
    /// The browser's process id (0 when none runs).
    qint64 processId() const;
    /// Sends a command (to the page of `sessionId` when given) and waits at most `timeoutMs` for
    /// its reply; returns the reply's result. Throws DevToolsError.
    QJsonObject call(const QString& method, const QJsonObject& params = {},
                     const QString& sessionId = {}, int timeoutMs = 10000);
    /// Sends a command without waiting for its reply, which is dropped when it comes.
    void send(const QString& method, const QJsonObject& params = {}, const QString& sessionId = {});
    /// Closes the pipe; the browser ends by itself. Waits up to `graceMs` for it, then ends it.
    void shutdown(int graceMs);
    /// Makes every call now waiting give up at once with a Cancelled error (their late replies
    /// are dropped); later calls are not affected.
    void cancelWaits();
    /// Bytes examined so far in search of message ends; each byte received is examined once.
    qint64 bytesScanned() const { return m_bytesScanned; }

signals:
    /// A message arrived, or the pipe closed.
    void traffic();
    /// The pipe closed or the browser ended.
    void closed();
    /// cancelWaits was called.
    void waitsCancelled();
    /// The browser process has ended.
    void finished();

private:
    void readAvailable();
    void writePending();
    void handleMessage(const QByteArray& text);
    /// Queues a command; returns its id.
    int queue(const QString& method, const QJsonObject& params, const QString& sessionId);
    /// Gives up on the pipe: both ends closed, `closed` emitted once.
    void closePipe(const QString& reason);

    QProcess m_process;
    vorkel::FileHandle m_toBrowser;
    vorkel::FileHandle m_fromBrowser;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_in;
    qsizetype m_scanned = 0;  // bytes of m_in already known to hold no message end
    qint64 m_bytesScanned = 0;
    QByteArray m_out;
    int m_nextId = 1;
    std::map<int, QJsonObject> m_replies;
    QSet<int> m_abandoned;  // commands whose caller stopped waiting
    QSet<QString> m_detached;
    QString m_closeReason;
};

}  // namespace vorkel::gui
