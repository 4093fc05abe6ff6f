// Auto-fill in a real headless browser over its pipe, against pages served on the loopback.
// Without a browser these fail: the fill is the point of them.

#include <signal.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "LoopbackServer.h"
#include "support/TempDir.h"
#include "tools/AutoFillMessages.h"
#include "tools/BrowserBridge.h"

using namespace vorkel;
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
    void fillsOnlyTheEntrysSiteAndThePageSeesIt();
    void aPageThatNeverFinishesIsSkippedAfterTheBound();
    void noOpenPageOfTheEntrysSiteFillsNothing();
    void aBrowserThatClosedIsNoticed();
    void noBrowserToStartIsAClearError();

private:
    TempDir m_dir;
    LoopbackServer m_server;
    std::unique_ptr<BrowserBridge> m_bridge;
    QString m_logon;
    QString m_otherHost;

    DevToolsPipe& pipe() { return *m_bridge->protocol(); }
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

    BrowserSettings settings;
    settings.profileFolder = QString::fromStdString(m_dir.file("profile"));
    settings.headless = true;
    m_bridge = std::make_unique<BrowserBridge>(settings);
    QVERIFY2(!m_bridge->browserProgram().isEmpty(), "no chromium or google-chrome on the PATH");
    QVERIFY(!m_bridge->IsBrowserRunning());
    m_bridge->OpenInNewBrowser(m_logon.toStdString());
    QVERIFY(m_bridge->IsBrowserRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!pageAt(m_logon).isEmpty(), 30000);
    openPage(pipe(), m_otherHost);
}

void BrowserBridgeTest::fillsOnlyTheEntrysSiteAndThePageSeesIt() {
    const FillReport report = m_bridge->FillBrowserForms(kValues, "http://127.0.0.1/");
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
    const FillReport report = m_bridge->FillBrowserForms(kValues, "127.0.0.1");
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
    QCOMPARE(evaluateInPage(pipe(), pageAt(m_otherHost), "seen.length").toInt(), 0);
}

void BrowserBridgeTest::aBrowserThatClosedIsNoticed() {
    const qint64 pid = m_bridge->processId();
    QVERIFY(processAlive(pid));
    pipe().call("Browser.close");
    QTRY_VERIFY_WITH_TIMEOUT(!m_bridge->IsBrowserRunning(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!groupAlive(pid), 10000);
    QVERIFY_THROWS_EXCEPTION(vorkel::Error, m_bridge->FillBrowserForms(kValues, "127.0.0.1"));

    // A new start after the end works, and ending the bridge ends its browser.
    m_bridge->OpenInNewBrowser("");
    const qint64 second = m_bridge->processId();
    QVERIFY(processAlive(second));
    QTRY_VERIFY_WITH_TIMEOUT(openPages(pipe()).size() == 1, 30000);
    QCOMPARE(openPages(pipe()).front().second, QString("about:blank"));
    QVERIFY(groupAlive(second));
    m_bridge.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!groupAlive(second), 10000);
}

void BrowserBridgeTest::noBrowserToStartIsAClearError() {
    BrowserSettings settings;
    settings.profileFolder = QString::fromStdString(m_dir.file("none"));
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
