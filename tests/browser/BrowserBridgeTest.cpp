// Auto-fill in a real headless browser over its pipe, against pages served on the loopback.
// Without a browser these fail: the fill is the point of them.

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "LoopbackServer.h"
#include "core/session/Messages.h"
#include "gui/tools/BrowserBridge.h"
#include "support/TempDir.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;

namespace {

constexpr int kBoundMs = 1500;
const FillValues kValues{"bob", "bob@example.com", "p\"w'</script>\\"};
const QString kPassword = QString::fromStdString(kValues.password);

// A page whose picture never arrives never reaches the complete state.
const QByteArray kSlowPage = R"HTML(<!doctype html>
<form><input type="text" name="login"><input type="password" name="pass"></form>
<img src="/hang">
)HTML";

bool processAlive(qint64 pid) {
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

// The browser leads a process group of its own, which its helpers share.
bool groupAlive(qint64 pid) {
    return pid > 0 && ::kill(-static_cast<pid_t>(pid), 0) == 0;
}

}  // namespace

class BrowserBridgeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void fillsOnlyTheEntrysSiteAndThePageSeesIt();
    void aPageThatNeverFinishesIsSkippedAfterTheBound();
    void noOpenPageOfTheEntrysSiteFillsNothing();
    void eachStartHasAPrivateThrowAwayProfile();
    void readOnlyAndDisabledInputsAreLeftAlone();
    void aFillCanBeCancelledWhileItWaits();
    void aSecondFillDuringAFillIsRefusedAndTheFirstGoesOn();
    void thePipeReadsEachByteOnce();
    void aBrowserThatClosedIsNoticed();
    void noBrowserToStartIsAClearError();

private:
    TempDir m_dir;
    LoopbackServer m_server;
    std::unique_ptr<BrowserBridge> m_bridge;
    QString m_logon;
    QString m_otherHost;
    QString m_profiles;
    std::string m_entry;  // the entry's address: the loopback server's host and port

    DevToolsPipe& pipe() { return *m_bridge->protocol(); }
    void startBrowser() {
        BrowserSettings settings;
        settings.profileParent = m_profiles;
        settings.headless = true;
        m_bridge = std::make_unique<BrowserBridge>(settings);
        QVERIFY(!m_bridge->browserProgram().isEmpty());
        QVERIFY(!m_bridge->IsBrowserRunning());
        m_bridge->OpenInNewBrowser(m_logon.toStdString());
    }
    QString pageAt(const QString& url) {
        for (const auto& [id, address] : openPages(pipe()))
            if (address == url) return id;
        return {};
    }
};

void BrowserBridgeTest::initTestCase() {
    QVERIFY(m_server.listening());
    m_server.page("/logon", kLogonPage);
    m_server.page("/slow", kSlowPage);
    m_logon = m_server.url("127.0.0.1", "/logon");
    m_otherHost = m_server.url("localhost", "/logon");
    m_entry = m_server.url("127.0.0.1", "/").toStdString();

    // Profiles left by programs that crashed are removed at the next start; those of running
    // programs, and folders that are no profiles, stay.
    m_profiles = QString::fromStdString(m_dir.file("tmp"));
    QVERIFY(QDir().mkpath(m_profiles + "/vorkel-browser-999999999-dead/Default"));
    QVERIFY(QDir().mkpath(m_profiles + "/vorkel-browser-1-alive"));
    QVERIFY(QDir().mkpath(m_profiles + "/vorkel-browser-notes"));

    BrowserSettings settings;
    QVERIFY2(!BrowserBridge(settings).browserProgram().isEmpty(),
             "no chromium or google-chrome on the PATH");
    startBrowser();
    QVERIFY(m_bridge->IsBrowserRunning());
    QVERIFY(!QFileInfo::exists(m_profiles + "/vorkel-browser-999999999-dead"));
    QVERIFY(QFileInfo::exists(m_profiles + "/vorkel-browser-1-alive"));
    QVERIFY(QFileInfo::exists(m_profiles + "/vorkel-browser-notes"));
}

// Every test starts from the same state, whatever ran before it or failed half-way: a running
// browser (a new one if an earlier test ended it) showing a fresh page of the entry's site and
// one of another host and nothing else, no picture held back, and the usual bound.
void BrowserBridgeTest::init() {
    m_server.releaseHanging();
    if (!m_bridge || !m_bridge->IsBrowserRunning()) startBrowser();
    QVERIFY(m_bridge->IsBrowserRunning());
    m_bridge->settings().readyBoundMs = BrowserSettings().readyBoundMs;
    const QString logon = openPage(pipe(), m_logon);
    const QString other = openPage(pipe(), m_otherHost);
    for (const auto& [id, address] : openPages(pipe()))
        if (id != logon && id != other) pipe().call("Target.closeTarget", {{"targetId", id}});
    QTRY_VERIFY_WITH_TIMEOUT(
        openPages(pipe()).size() == 2 && pageAt(m_logon) == logon && pageAt(m_otherHost) == other,
        30000);
}

void BrowserBridgeTest::fillsOnlyTheEntrysSiteAndThePageSeesIt() {
    const FillReport report = m_bridge->FillBrowserForms(kValues, m_entry);
    QCOMPARE(report.matchingPages, 1);
    QCOMPARE(report.filledPages, QStringList{m_logon});
    QVERIFY(report.slowPages.isEmpty() && report.failedPages.isEmpty());

    const QString filled = pageAt(m_logon);
    QCOMPARE(evaluateInPage(pipe(), filled, kInputValues).toString(),
             "login=bob email=bob@example.com pass=" + kPassword +
                 " user_name= username=kept elements= =Log on old=" + kPassword +
                 " new=" + kPassword);
    // Last element first, forms in order, and the page's own listeners saw every value.
    QStringList expected;
    for (const QString& v : {"pass=" + kPassword, QString("email=bob@example.com"),
                             QString("login=bob"), "new=" + kPassword, "old=" + kPassword})
        expected << "input:" + v << "change:" + v;
    QCOMPARE(evaluateInPage(pipe(), filled, "seen").toVariant().toStringList(), expected);

    // The page of another host is not touched, not even its events.
    const QString other = pageAt(m_otherHost);
    QVERIFY(!other.isEmpty());
    QCOMPARE(evaluateInPage(pipe(), other, kInputValues).toString(),
             QString("login= email= pass= user_name= username=kept elements= =Log on old= new="));
    QCOMPARE(evaluateInPage(pipe(), other, "seen.length").toInt(), 0);
}

void BrowserBridgeTest::aPageThatNeverFinishesIsSkippedAfterTheBound() {
    const QString slowUrl = m_server.url("127.0.0.1", "/slow");
    const QString slow = openPage(pipe(), slowUrl);
    QTRY_COMPARE_WITH_TIMEOUT(evaluateInPage(pipe(), slow, "document.readyState").toString(),
                              QString("interactive"), 10000);

    m_bridge->settings().readyBoundMs = kBoundMs;
    QElapsedTimer clock;
    clock.start();
    const FillReport report = m_bridge->FillBrowserForms(kValues, m_entry);
    QVERIFY(clock.elapsed() >= kBoundMs);
    m_bridge->settings().readyBoundMs = 10000;
    QCOMPARE(report.slowPages, QStringList{slowUrl});
    QCOMPARE(report.filledPages, QStringList{m_logon});
    QCOMPARE(report.matchingPages, 2);
    QCOMPARE(evaluateInPage(pipe(), slow, kInputValues).toString(), QString("login= pass="));
    pipe().call("Target.closeTarget", {{"targetId", slow}});
}

void BrowserBridgeTest::noOpenPageOfTheEntrysSiteFillsNothing() {
    const FillReport report = m_bridge->FillBrowserForms({"x", "x", "x"}, "https://example.com");
    QCOMPARE(report.matchingPages, 0);
    QVERIFY(report.filledPages.isEmpty());
    // The right host on another port, or a secure entry for these plain pages: nothing.
    const std::string port = std::to_string(QUrl(m_logon).port());
    const std::vector<std::string> others = {"http://127.0.0.1/", "127.0.0.1:" + port,
                                             "https://127.0.0.1:" + port};
    for (const std::string& entry : others)
        QCOMPARE(m_bridge->FillBrowserForms({"x", "x", "x"}, entry).matchingPages, 0);
    QCOMPARE(evaluateInPage(pipe(), pageAt(m_otherHost), "seen.length").toInt(), 0);
}

void BrowserBridgeTest::eachStartHasAPrivateThrowAwayProfile() {
    const QString profile = m_bridge->profileFolder();
    QCOMPARE(QFileInfo(profile).absolutePath(), m_profiles);
    QVERIFY(QFileInfo(profile).fileName().startsWith(
        "vorkel-browser-" + QString::number(QCoreApplication::applicationPid()) + "-"));
    QCOMPARE(std::filesystem::status(profile.toStdString()).permissions(),
             std::filesystem::perms::owner_all);
    // The browser took it: it keeps its own state there.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(profile + "/Local State"), 30000);
    QFile preferences(profile + "/Default/Preferences");
    QVERIFY(preferences.open(QIODevice::ReadOnly));
    const QJsonObject prefs = QJsonDocument::fromJson(preferences.readAll()).object();
    QCOMPARE(prefs.value("credentials_enable_service").toBool(true), false);
    QCOMPARE(prefs.value("profile").toObject().value("password_manager_enabled").toBool(true),
             false);
    QCOMPARE(prefs.value("autofill").toObject().value("profile_enabled").toBool(true), false);
}

void BrowserBridgeTest::readOnlyAndDisabledInputsAreLeftAlone() {
    m_server.page("/locked", R"HTML(<!doctype html>
<form>
  <input type="text" name="login" readonly value="ro"><input type="password" name="pass" disabled>
  <fieldset disabled><input type="password" name="old"></fieldset>
  <input type="password" name="new">
</form>)HTML");
    const QString url = m_server.url("127.0.0.1", "/locked");
    const QString page = openPage(pipe(), url);
    const FillReport report = m_bridge->FillBrowserForms(kValues, m_entry);
    QVERIFY(report.filledPages.contains(url));
    QCOMPARE(evaluateInPage(pipe(), page, kInputValues).toString(),
             "login=ro pass= old= new=" + kPassword);
    pipe().call("Target.closeTarget", {{"targetId", page}});
}

void BrowserBridgeTest::aFillCanBeCancelledWhileItWaits() {
    m_server.page("/slow1", QByteArray(kSlowPage).replace("/hang", "/hang?1"));
    const QString slowUrl = m_server.url("127.0.0.1", "/slow1");
    const QString slow = openPage(pipe(), slowUrl);
    QTRY_VERIFY_WITH_TIMEOUT(m_server.hanging() > 0, 10000);
    // A bound far beyond the test's own: only the cancel can end this fill in time.
    m_bridge->settings().readyBoundMs = 3600 * 1000;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (m_bridge->isFilling()) m_bridge->cancelFill();
    });
    poll.start(10);
    const FillReport report = m_bridge->FillBrowserForms(kValues, m_entry);
    poll.stop();
    m_bridge->settings().readyBoundMs = 10000;
    QVERIFY(report.cancelled);
    QVERIFY(report.slowPages.isEmpty() && report.failedPages.isEmpty());
    QVERIFY(!m_bridge->isFilling());
    // The pipe goes on working, and the next fill runs whole.
    m_server.releaseHanging();
    QTRY_COMPARE_WITH_TIMEOUT(evaluateInPage(pipe(), slow, "document.readyState").toString(),
                              QString("complete"), 10000);
    const FillReport next = m_bridge->FillBrowserForms(kValues, m_entry);
    QVERIFY(!next.cancelled);
    QVERIFY(next.filledPages.contains(slowUrl));
    pipe().call("Target.closeTarget", {{"targetId", slow}});
}

void BrowserBridgeTest::aSecondFillDuringAFillIsRefusedAndTheFirstGoesOn() {
    // A picture of its own, which no cache can answer.
    m_server.page("/slow2", QByteArray(kSlowPage).replace("/hang", "/hang?2"));
    const QString slowUrl = m_server.url("127.0.0.1", "/slow2");
    m_server.releaseHanging();
    const QString slow = openPage(pipe(), slowUrl);
    QTRY_VERIFY_WITH_TIMEOUT(m_server.hanging() > 0, 10000);
    bool refused = false;
    bool tried = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (tried || !m_bridge->isFilling()) return;
        tried = true;
        try {
            m_bridge->FillBrowserForms(kValues, m_entry);
        } catch (const vorkel::Error&) {
            refused = true;
        }
        // The page finishes loading only now, after the second attempt.
        m_server.releaseHanging();
    });
    poll.start(10);
    const FillReport report = m_bridge->FillBrowserForms(kValues, m_entry);
    poll.stop();
    QVERIFY(refused);
    QVERIFY(!report.cancelled);
    QVERIFY(report.slowPages.isEmpty());
    QVERIFY(report.filledPages.contains(slowUrl));
    QCOMPARE(evaluateInPage(pipe(), slow, kInputValues).toString(), "login=bob pass=" + kPassword);
    pipe().call("Target.closeTarget", {{"targetId", slow}});
}

// Message ends are searched in the bytes just read only: a large reply that arrives in many
// reads costs its size, not its size times the number of reads.
void BrowserBridgeTest::thePipeReadsEachByteOnce() {
    const qint64 before = pipe().bytesScanned();
    const QString page = pageAt(m_logon);
    const int size = 8 << 20;
    const QJsonValue big = evaluateInPage(pipe(), page, QString("'x'.repeat(%1)").arg(size));
    QCOMPARE(big.toString().size(), size);
    const qint64 scanned = pipe().bytesScanned() - before;
    QVERIFY2(scanned >= size && scanned < size + 64 * 1024, qPrintable(QString::number(scanned)));
}

void BrowserBridgeTest::aBrowserThatClosedIsNoticed() {
    const QString firstProfile = m_bridge->profileFolder();
    const qint64 pid = m_bridge->processId();
    QVERIFY(processAlive(pid));
    pipe().call("Browser.close");
    QTRY_VERIFY_WITH_TIMEOUT(!m_bridge->IsBrowserRunning(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!groupAlive(pid), 10000);
    // Its profile went with it.
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(firstProfile), 10000);
    QVERIFY_THROWS_EXCEPTION(vorkel::Error, m_bridge->FillBrowserForms(kValues, m_entry));

    // A new start after the end works, and ending the bridge ends its browser.
    m_bridge->OpenInNewBrowser("");
    const qint64 second = m_bridge->processId();
    QVERIFY(processAlive(second));
    QTRY_VERIFY_WITH_TIMEOUT(openPages(pipe()).size() == 1, 30000);
    QCOMPARE(openPages(pipe()).front().second, QString("about:blank"));
    QVERIFY(groupAlive(second));
    const QString secondProfile = m_bridge->profileFolder();
    QVERIFY(secondProfile != firstProfile);
    QVERIFY(QFileInfo::exists(secondProfile));
    m_bridge.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!groupAlive(second), 10000);
    QVERIFY(!QFileInfo::exists(secondProfile));
}

void BrowserBridgeTest::noBrowserToStartIsAClearError() {
    BrowserSettings settings;
    settings.profileParent = QString::fromStdString(m_dir.path());
    BrowserBridge missing(settings);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(m_dir.path()));
    try {
        missing.OpenInNewBrowser("example.com");
        QFAIL("a browser started without one on the PATH");
    } catch (const vorkel::Error& e) {
        QCOMPARE(std::string(e.what()), std::string(msg::kNoBrowserFound));
    }
    qputenv("PATH", path);
    missing.settings().executable = QString::fromStdString(m_dir.file("no-such-browser"));
    QVERIFY_THROWS_EXCEPTION(vorkel::Error, missing.OpenInNewBrowser("example.com"));
    QVERIFY(!missing.IsBrowserRunning());
}

QTEST_MAIN(BrowserBridgeTest)
#include "BrowserBridgeTest.moc"
