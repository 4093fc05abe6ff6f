#include "gui/tools/BrowserBridge.h"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include "core/session/Messages.h"
#include "gui/tools/DevToolsPipe.h"
#include "gui/ui/QtText.h"

namespace vorkel::gui {

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

// The page's address and, for each form, its elements' type and name (strings or null) and
// whether a person could type into it (not read-only, not disabled, also through a disabled
// fieldset). No word of the lists is 256 characters long, so a name cut there still matches
// nothing.
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
  const readOnlyOf = getter(HTMLInputElement.prototype, 'readOnly');
  const matches = Element.prototype.matches;
  const writable = el => {
    try {
      return !(el instanceof HTMLInputElement) ||
             (!readOnlyOf.call(el) && !matches.call(el, ':disabled'));
    } catch (e) {
      return false;
    }
  };
  const forms = formsOf.call(document);
  const out = [];
  for (let f = 0; f < forms.length; ++f) {
    const elements = elementsOf.call(forms[f]);
    const list = [];
    for (let e = 0; e < elements.length; ++e)
      list.push([text(elements[e], 'type'), text(elements[e], 'name'), writable(elements[e])]);
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
  const readOnlyOf = getter(HTMLInputElement.prototype, 'readOnly');
  const matches = Element.prototype.matches;
  const setValue = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value').set;
  const forms = formsOf.call(document);
  let written = 0;
  for (const [f, e, type, value] of writes) {
    try {
      const form = forms[f];
      const el = form ? elementsOf.call(form)[e] : null;
      if (!(el instanceof HTMLInputElement) || typeOf.call(el) !== type) continue;
      // It may have become read-only or disabled since it was read.
      if (readOnlyOf.call(el) || matches.call(el, ':disabled')) continue;
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

// The profile's own settings, read by the browser at start: it offers to save no password and
// keeps no form entries, so nothing it learns from the fill outlives the profile anyway.
constexpr const char* kPreferences = R"JSON({
  "credentials_enable_service": false,
  "credentials_enable_autosignin": false,
  "profile": { "password_manager_enabled": false },
  "autofill": { "enabled": false, "profile_enabled": false, "credit_card_enabled": false },
  "signin": { "allowed": false }
})JSON";

// A profile folder's name carries the id of the program that made it, so a later start can tell
// the folders of a program that crashed from those of one still running.
std::optional<qint64> profileOwner(const QString& name) {
    const QString prefix = BrowserBridge::profilePrefix();
    if (!name.startsWith(prefix)) return std::nullopt;
    bool ok = false;
    const qint64 pid = name.mid(prefix.size()).section('-', 0, 0).toLongLong(&ok);
    if (!ok || pid <= 0) return std::nullopt;
    return pid;
}

void removeProfile(const QString& folder) {
    if (!folder.isEmpty()) QDir(folder).removeRecursively();
}

// The folders of programs that have ended: ours only (the same user), the program gone.
void removeAbandonedProfiles(const QString& parent) {
    const QDir dir(parent);
    for (const QFileInfo& info : dir.entryInfoList({BrowserBridge::profilePrefix() + "*"},
                                                   QDir::Dirs | QDir::NoDotAndDotDot)) {
        const std::optional<qint64> pid = profileOwner(info.fileName());
        if (!pid || info.ownerId() != ::geteuid() || info.isSymLink()) continue;
        if (::kill(static_cast<pid_t>(*pid), 0) == 0 || errno != ESRCH) continue;
        removeProfile(info.absoluteFilePath());
    }
}

}  // namespace

BrowserBridge::BrowserBridge(BrowserSettings settings, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)) {}

BrowserBridge::~BrowserBridge() {
    cancelFill();
    // Each pipe closes its browser as it goes, and then its profile goes (see makeProfile);
    // old pipes still waiting for deleteLater go now too.
    for (DevToolsPipe* pipe : findChildren<DevToolsPipe*>(Qt::FindDirectChildrenOnly)) delete pipe;
    m_pipe = nullptr;
}

QString BrowserBridge::profilePrefix() {
    return QStringLiteral("vorkel-browser-");
}

QString BrowserBridge::makeProfile() {
    const QString parent =
        m_settings.profileParent.isEmpty() ? QDir::tempPath() : m_settings.profileParent;
    removeAbandonedProfiles(parent);
    // mkdtemp makes the folder for the user alone (0700), under a name no one can guess.
    QByteArray path = QFile::encodeName(QDir(parent).filePath(
        profilePrefix() + QString::number(QCoreApplication::applicationPid()) + "-XXXXXX"));
    if (!::mkdtemp(path.data()))
        throw vorkel::Error("The browser's private folder could not be made in " +
                            toStdString(parent) + ": " + std::strerror(errno));
    const QString folder = QFile::decodeName(path);
    QFile preferences(folder + "/Default/Preferences");
    if (!QDir().mkpath(folder + "/Default") || !preferences.open(QIODevice::WriteOnly) ||
        preferences.write(kPreferences) < 0 || !preferences.flush()) {
        removeProfile(folder);
        throw vorkel::Error("The browser's private folder " + toStdString(folder) +
                            " could not be prepared.");
    }
    return folder;
}

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
    // A throw-away profile: signed-in sessions and cookies, which the browser protects with a
    // public key where there is no desktop keyring, never outlive the browser or reach the
    // stick. Newer browsers also refuse a debugging pipe on the user's default profile.
    const QString profile = makeProfile();
    QStringList arguments{
        "--remote-debugging-pipe", "--user-data-dir=" + profile,
        "--no-first-run",          "--no-default-browser-check",
        "--password-store=basic",  "--disable-features=AutofillServerCommunication"};
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
    // The profile goes with the browser: once it has ended by itself, or when its pipe is
    // deleted, which ends it first.
    connect(m_pipe, &DevToolsPipe::finished, this, [profile] { removeProfile(profile); });
    connect(m_pipe, &QObject::destroyed, this, [profile] { removeProfile(profile); });
    m_profile = profile;
    try {
        m_pipe->start(program, arguments);
    } catch (...) {
        delete m_pipe;
        m_pipe = nullptr;
        m_profile.clear();
        throw;
    }
}

void BrowserBridge::cancelFill() {
    if (!m_filling) return;
    m_cancelRequested = true;
    if (m_pipe) m_pipe->cancelWaits();
    emit fillCancelled();
}

void BrowserBridge::checkCancelled() const {
    if (m_cancelRequested) throw DevToolsError(Kind::Cancelled, "Auto Fill was cancelled.");
}

FillReport BrowserBridge::FillBrowserForms(const vorkel::FillValues& values,
                                           const std::string& entryAddress) {
    // One fill at a time: a second one would wait inside the first one's wait and cut it short.
    if (m_filling) throw vorkel::Error("Auto Fill is already running.");
    m_filling = true;
    m_cancelRequested = false;
    struct Done {
        bool& filling;
        ~Done() { filling = false; }
    } done{m_filling};
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
            checkCancelled();
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
        if (e.kind() != Kind::Cancelled)
            throw vorkel::Error(std::string(vorkel::msg::kBrowserFailed) + e.what());
        report.cancelled = true;
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
        if (e.kind() == Kind::Closed || e.kind() == Kind::Cancelled) throw;
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
                        elements.push_back({textOrNull(pair.at(0)), textOrNull(pair.at(1)),
                                            pair.at(2).toBool(false)});
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
        if (e.kind() == Kind::Cancelled) {
            // Let go of the page without waiting for the answer.
            m_pipe->send("Target.detachFromTarget", {{"sessionId", session}});
            throw;
        }
        result = PageResult::Failed;
    }

    try {
        m_pipe->call("Target.detachFromTarget", {{"sessionId", session}}, {}, timeout);
    } catch (const DevToolsError& e) {
        if (e.kind() == Kind::Closed || e.kind() == Kind::Cancelled) throw;
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
            if (e.kind() == Kind::Closed || e.kind() == Kind::Detached ||
                e.kind() == Kind::Cancelled)
                throw;
            // The document was replaced while loading (a redirect, say): its successor gets a
            // world of its own on the next round. A page too busy to answer is tried again.
            if (e.kind() == Kind::Reply) context = -1;
        }
        pause(static_cast<int>(std::min<qint64>(kPollMs, std::max<qint64>(left, 1))));
        checkCancelled();
    }
}

void BrowserBridge::pause(int ms) {
    if (m_cancelRequested) return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    connect(this, &BrowserBridge::fillCancelled, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace vorkel::gui
