#include "tools/BrowserBridge.h"

#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "tools/AutoFillMessages.h"
#include "tools/DevToolsPipe.h"
#include "ui/QtText.h"

using Kind = DevToolsError::Kind;

namespace {

// Everything below runs in a script world of the program's own: the page's scripts cannot
// replace the functions used here. The DOM is shared, though, and a page may name its
// elements after built-in properties ("forms", "elements", "readyState"), which then hide
// them; so every property is read through its prototype's own getter.

// The state and address of the document shown. Before a page's first navigation commits, it
// shows an empty document, already complete, at about:blank: that is no page yet.
constexpr const char* kReadyState =
    "[Object.getOwnPropertyDescriptor(Document.prototype, 'readyState').get.call(document), "
    "location.href]";

// The page's address and, for each form, its elements' type and name (strings or null). No
// word of the lists is 256 characters long, so a name cut there still matches nothing.
constexpr const char* kReadForms = R"JS((() => {
  const getter = (proto, key) => Object.getOwnPropertyDescriptor(proto, key).get;
  const formsOf = getter(Document.prototype, 'forms');
  const elementsOf = getter(HTMLFormElement.prototype, 'elements');
  const text = (el, key) => {
    try {
      const v = el[key];
      return typeof v === 'string' ? v.slice(0, 256) : null;
    } catch (e) {
      return null;
    }
  };
  const forms = formsOf.call(document);
  const out = [];
  for (let f = 0; f < forms.length; ++f) {
    const elements = elementsOf.call(forms[f]);
    const list = [];
    for (let e = 0; e < elements.length; ++e)
      list.push([text(elements[e], 'type'), text(elements[e], 'name')]);
    out.push(list);
  }
  return { href: location.href, forms: out };
})())JS";

// Writes the values by form and element index, each only into an input that still has the
// type it had when read, through the native value setter, then tells the page's scripts with
// input and change events. The values arrive as call arguments, never as script text.
constexpr const char* kWriteValues = R"JS(function (expectedHref, writes) {
  if (location.href !== expectedHref) throw new Error('The page changed while it was filled.');
  const getter = (proto, key) => Object.getOwnPropertyDescriptor(proto, key).get;
  const formsOf = getter(Document.prototype, 'forms');
  const elementsOf = getter(HTMLFormElement.prototype, 'elements');
  const typeOf = getter(HTMLInputElement.prototype, 'type');
  const setValue = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value').set;
  const forms = formsOf.call(document);
  let written = 0;
  for (const [f, e, type, value] of writes) {
    try {
      const form = forms[f];
      const el = form ? elementsOf.call(form)[e] : null;
      if (!(el instanceof HTMLInputElement) || typeOf.call(el) !== type) continue;
      setValue.call(el, value);
      el.dispatchEvent(new Event('input', { bubbles: true }));
      el.dispatchEvent(new Event('change', { bubbles: true }));
      ++written;
    } catch (err) {
      // One element's failure leaves the others to be filled.
    }
  }
  return written;
})JS";

constexpr int kPollMs = 100;

std::optional<std::string> textOrNull(const QJsonValue& v) {
    if (!v.isString()) return std::nullopt;
    return toStdString(v.toString());
}

QJsonObject evaluateResult(const QJsonObject& reply) {
    // An exception in the script is a failure of this page.
    if (reply.contains("exceptionDetails"))
        throw DevToolsError(Kind::Reply, "The page refused to be read.");
    return reply.value("result").toObject();
}

}  // namespace

BrowserBridge::BrowserBridge(BrowserSettings settings, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)) {}

// The pipe is a child: deleting it closes the browser.
BrowserBridge::~BrowserBridge() = default;

QString BrowserBridge::browserProgram() const {
    if (!m_settings.executable.isEmpty()) return m_settings.executable;
    for (const char* name : {"chromium", "google-chrome", "chromium-browser"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty()) return found;
    }
    return {};
}

bool BrowserBridge::IsBrowserRunning() const {
    return m_pipe && m_pipe->isOpen();
}

qint64 BrowserBridge::processId() const {
    return m_pipe ? m_pipe->processId() : 0;
}

void BrowserBridge::OpenInNewBrowser(const std::string& address) {
    const QString program = browserProgram();
    if (program.isEmpty()) throw vorkel::Error(std::string(vorkel::msg::kNoBrowserFound));
    if (!QDir().mkpath(m_settings.profileFolder))
        throw vorkel::Error("The browser's folder " + toStdString(m_settings.profileFolder) +
                            " could not be made.");
    // It will hold the sites' cookies: for the user alone, where the file system allows.
    QFile::setPermissions(m_settings.profileFolder,
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // A profile of the program's own: the browser keeps its data beside the program, and
    // newer browsers refuse a debugging pipe on the user's default profile.
    QStringList arguments{"--remote-debugging-pipe", "--user-data-dir=" + m_settings.profileFolder,
                          "--no-first-run", "--no-default-browser-check"};
    if (m_settings.headless)
        arguments << "--headless"
                  << "--disable-background-networking"
                  << "--disable-component-update"
                  << "--disable-sync";
    // The browser's sandbox will not start for the superuser.
    if (::geteuid() == 0) arguments << "--no-sandbox";
    // Only an http or https address ever reaches the command line, so no entry text can pass
    // for an option of the browser.
    arguments << toQString(vorkel::browserAddress(address).value_or("about:blank"));

    // The old pipe (a browser that ended, or whose pipe broke) may still be waited on by a fill
    // further down the stack: it goes once that has returned.
    if (m_pipe) m_pipe->deleteLater();
    m_pipe = new DevToolsPipe(this);
    try {
        m_pipe->start(program, arguments);
    } catch (...) {
        delete m_pipe;
        m_pipe = nullptr;
        throw;
    }
}

FillReport BrowserBridge::FillBrowserForms(const vorkel::FillValues& values,
                                           const std::string& entryAddress) {
    FillReport report;
    try {
        if (!m_pipe) throw DevToolsError(Kind::Closed, "The browser is not running.");
        const QJsonArray targets =
            m_pipe->call("Target.getTargets", {}, {}, m_settings.commandTimeoutMs)
                .value("targetInfos")
                .toArray();
        for (const QJsonValue& t : targets) {
            const QJsonObject target = t.toObject();
            if (target.value("type").toString() != QLatin1String("page")) continue;
            const QString url = target.value("url").toString();
            // Pages of other sites are never even looked into.
            if (!vorkel::pageMatchesEntry(toStdString(url), entryAddress)) continue;
            ++report.matchingPages;
            switch (FillDocumentForms(target.value("targetId").toString(), values, entryAddress)) {
                case PageResult::Filled:
                    report.filledPages << url;
                    break;
                case PageResult::Slow:
                    report.slowPages << url;
                    break;
                case PageResult::Failed:
                    report.failedPages << url;
                    break;
                case PageResult::OtherSite:
                    --report.matchingPages;
                    break;
            }
        }
    } catch (const DevToolsError& e) {
        throw vorkel::Error(std::string(vorkel::msg::kBrowserFailed) + e.what());
    }
    return report;
}

BrowserBridge::PageResult BrowserBridge::FillDocumentForms(const QString& targetId,
                                                           const vorkel::FillValues& values,
                                                           const std::string& entryAddress) {
    const int timeout = m_settings.commandTimeoutMs;
    QString session;
    try {
        session = m_pipe
                      ->call("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}},
                             {}, timeout)
                      .value("sessionId")
                      .toString();
    } catch (const DevToolsError& e) {
        if (e.kind() == Kind::Closed) throw;
        return PageResult::Failed;  // closed before it could be reached
    }

    PageResult result = PageResult::Failed;
    try {
        int context = -1;
        if (!waitUntilComplete(session, context)) {
            result = PageResult::Slow;
        } else {
            const QJsonObject page = evaluateResult(m_pipe->call("Runtime.evaluate",
                                                                 {{"expression", kReadForms},
                                                                  {"contextId", context},
                                                                  {"returnByValue", true}},
                                                                 session, timeout))
                                         .value("value")
                                         .toObject();
            const QString href = page.value("href").toString();
            if (!vorkel::pageMatchesEntry(toStdString(href), entryAddress)) {
                result = PageResult::OtherSite;  // it went elsewhere while loading
            } else {
                std::vector<std::vector<vorkel::FormElement>> forms;
                for (const QJsonValue& f : page.value("forms").toArray()) {
                    std::vector<vorkel::FormElement>& elements = forms.emplace_back();
                    for (const QJsonValue& e : f.toArray()) {
                        const QJsonArray pair = e.toArray();
                        elements.push_back({textOrNull(pair.at(0)), textOrNull(pair.at(1))});
                    }
                }
                QJsonArray writes;
                for (const vorkel::FillWrite& w : vorkel::FillDocumentForms(forms, values))
                    writes.append(QJsonArray{static_cast<qint64>(w.form),
                                             static_cast<qint64>(w.element), toQString(w.type),
                                             toQString(w.value)});
                if (!writes.isEmpty()) {
                    const QJsonArray arguments{QJsonObject{{"value", href}},
                                               QJsonObject{{"value", writes}}};
                    evaluateResult(m_pipe->call("Runtime.callFunctionOn",
                                                {{"functionDeclaration", kWriteValues},
                                                 {"executionContextId", context},
                                                 {"arguments", arguments},
                                                 {"returnByValue", true}},
                                                session, timeout));
                }
                result = PageResult::Filled;
            }
        }
    } catch (const DevToolsError& e) {
        // A page that closes, navigates or hangs mid-fill fails alone; a broken pipe ends all.
        if (e.kind() == Kind::Closed) throw;
        result = PageResult::Failed;
    }

    try {
        m_pipe->call("Target.detachFromTarget", {{"sessionId", session}}, {}, timeout);
    } catch (const DevToolsError& e) {
        if (e.kind() == Kind::Closed) throw;
    }
    return result;
}

bool BrowserBridge::waitUntilComplete(const QString& session, int& context) {
    QElapsedTimer clock;
    clock.start();
    context = -1;
    for (;;) {
        const qint64 left = m_settings.readyBoundMs - clock.elapsed();
        if (left <= 0) return false;
        const int timeout = static_cast<int>(std::min<qint64>(left, m_settings.commandTimeoutMs));
        try {
            if (context < 0) {
                const QString frame = m_pipe->call("Page.getFrameTree", {}, session, timeout)
                                          .value("frameTree")
                                          .toObject()
                                          .value("frame")
                                          .toObject()
                                          .value("id")
                                          .toString();
                context =
                    m_pipe
                        ->call("Page.createIsolatedWorld",
                               {{"frameId", frame}, {"worldName", "vorkel-fill"}}, session, timeout)
                        .value("executionContextId")
                        .toInt(-1);
            }
            const QJsonObject state = evaluateResult(m_pipe->call(
                "Runtime.evaluate",
                {{"expression", kReadyState}, {"contextId", context}, {"returnByValue", true}},
                session, timeout));
            const QJsonArray value = state.value("value").toArray();
            if (value.at(0).toString() == QLatin1String("complete") &&
                value.at(1).toString() != QLatin1String("about:blank"))
                return true;
        } catch (const DevToolsError& e) {
            if (e.kind() == Kind::Closed || e.kind() == Kind::Detached) throw;
            // The document was replaced while loading (a redirect, say): its successor gets a
            // world of its own on the next round. A page too busy to answer is tried again.
            if (e.kind() == Kind::Reply) context = -1;
        }
        pause(static_cast<int>(std::min<qint64>(kPollMs, std::max<qint64>(left, 1))));
    }
}

void BrowserBridge::pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
