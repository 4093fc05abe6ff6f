#pragma once

// A small web server on 127.0.0.1 for the browser tests, served from the test's own event loop.
// "localhost" and "127.0.0.1" reach it as two different hosts.

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <map>
#include <memory>
#include <vector>

#include "gui/tools/DevToolsPipe.h"

namespace vorkel::test {

// The harness drives the desktop program's own classes.
using namespace vorkel::gui;

class LoopbackServer {
public:
    /// Listening at once on a free port; `/hang...` is answered only by releaseHanging, unknown
    /// paths with 404.
    LoopbackServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                auto request = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket, request] { serve(*socket, *request); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    bool listening() const { return m_server.isListening(); }
    /// The address of `path` under `host`.
    QString url(const QString& host, const QString& path) const {
        return QString("http://%1:%2%3").arg(host).arg(m_server.serverPort()).arg(path);
    }
    /// Serves `html` at `path`.
    void page(const QByteArray& path, const QByteArray& html) { m_pages[path] = html; }
    /// Answers every `/hang` request held so far with "not found", so the pages waiting for
    /// them finish loading.
    void releaseHanging() {
        for (const QPointer<QTcpSocket>& socket : m_held) {
            if (!socket) continue;
            socket->write(
                "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
        }
        m_held.clear();
    }
    /// How many `/hang` requests are held.
    int hanging() const {
        int n = 0;
        for (const QPointer<QTcpSocket>& socket : m_held) n += socket ? 1 : 0;
        return n;
    }

private:
    void serve(QTcpSocket& socket, QByteArray& request) {
        request += socket.readAll();
        if (!request.contains("\r\n\r\n")) return;
        const QByteArray path = request.split(' ').value(1);
        request.clear();
        if (path.startsWith("/hang")) {  // keeps the page that asked for it loading
            m_held.emplace_back(&socket);
            return;
        }
        const auto found = m_pages.find(path);
        const QByteArray body = found == m_pages.end() ? QByteArray("no such page") : found->second;
        socket.write(
            (found == m_pages.end() ? "HTTP/1.1 404 Not Found\r\n" : "HTTP/1.1 200 OK\r\n") +
            QByteArray("Content-Type: text/html; charset=utf-8\r\nContent-Length: ") +
            QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket.disconnectFromHost();
    }

    QTcpServer m_server;
    std::map<QByteArray, QByteArray> m_pages;
    std::vector<QPointer<QTcpSocket>> m_held;
};

/// Evaluates `expression` in the page of `targetId`, as the page's own scripts see it.
inline QJsonValue evaluateInPage(DevToolsPipe& pipe, const QString& targetId,
                                 const QString& expression) {
    const QString session =
        pipe.call("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}})
            .value("sessionId")
            .toString();
    const QJsonObject reply = pipe.call(
        "Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}}, session);
    pipe.call("Target.detachFromTarget", {{"sessionId", session}});
    return reply.value("result").toObject().value("value");
}

/// The page targets open, as (id, address).
inline std::vector<std::pair<QString, QString>> openPages(DevToolsPipe& pipe) {
    std::vector<std::pair<QString, QString>> pages;
    for (const QJsonValue& t : pipe.call("Target.getTargets").value("targetInfos").toArray()) {
        const QJsonObject target = t.toObject();
        if (target.value("type").toString() == "page")
            pages.emplace_back(target.value("targetId").toString(), target.value("url").toString());
    }
    return pages;
}

/// Opens a new page on `url`; returns its target id.
inline QString openPage(DevToolsPipe& pipe, const QString& url) {
    return pipe.call("Target.createTarget", {{"url", url}}).value("targetId").toString();
}

/// The log-on page: a log-on form, a change-password form, and a record of every input and
/// change event the page's scripts saw. Elements named after built-in properties try to hide
/// the properties a filler might use.
inline const QByteArray kLogonPage = R"HTML(<!doctype html>
<title>Log on</title>
<script>
  window.seen = [];
  for (const kind of ['input', 'change'])
    document.addEventListener(kind, e => seen.push(kind + ':' + e.target.name + '=' + e.target.value), true);
</script>
<img name="forms"><img name="readyState">
<form>
  <input type="text" name="login"><input type="text" name="email"><input type="password" name="pass">
  <input type="text" name="user_name"><input type="hidden" name="username" value="kept">
  <input type="text" name="elements"><input type="submit" value="Log on">
</form>
<form><input type="password" name="old"><input type="password" name="new"></form>
)HTML";

/// Every input's name and value, in document order.
inline const QString kInputValues =
    "Array.from(document.querySelectorAll('input'), "
    "i => i.name + '=' + i.value).join(' ')";

}  // namespace vorkel::test
