// "Auto Fill" on the main window against a real headless browser: the first click starts the
// browser on the entry's address, the second fills that page, and only that site is filled.

#include <signal.h>

#include <filesystem>

#include "LoopbackServer.h"
#include "MainWindowHarness.h"
#include "app/MainCommands.h"
#include "entries/EditorPane.h"
#include "tools/AutoFillMessages.h"
#include "tools/BrowserBridge.h"

using namespace vorkel;
using namespace vorkel::test;
using Kind = UserInterface::Kind;

class AutoFillCommandTest : public QObject {
    Q_OBJECT
private slots:
    void firstClickStartsTheBrowserSecondFillsTheEntrysPage();
};

void AutoFillCommandTest::firstClickStartsTheBrowserSecondFillsTheEntrysPage() {
    LoopbackServer server;
    QVERIFY(server.listening());
    server.page("/logon", kLogonPage);
    const QString logon = server.url("127.0.0.1", "/logon");

    TempDir dir;
    makeAccount(dir.path(), "bob", "pw");
    auto h = std::make_unique<MainWindowHarness>(dir.path());
    h->logOn("bob", "pw");
    QVERIFY(h->window->isVisible());
    BrowserBridge& bridge = h->window->commands().browser();
    QCOMPARE(bridge.settings().profileFolder, QString::fromStdString(dir.file("VorkelBrowser")));
    QVERIFY(!bridge.settings().headless);
    bridge.settings().headless = true;

    EditorPane& editor = h->window->editorPane();
    auto set = [&](const char* name, const QString& text) {
        editor.findChild<QLineEdit*>(name)->setText(text);
    };
    set("editURL", logon);
    set("editUsername", "");
    set("editEmail", "alice@example.com");
    set("editPassword", "s3cret");
    auto* autoFill = editor.findChild<QPushButton*>("btnAutoEnter");
    QVERIFY(autoFill);

    h->ui.clearSaid();
    autoFill->click();
    QCOMPARE(h->ui.said.size(), std::size_t(1));
    QCOMPARE(h->ui.said[0].kind, Kind::Information);
    QCOMPARE(h->ui.said[0].text, std::string(msg::kStartingBrowser));
    QVERIFY(bridge.IsBrowserRunning());
    QCOMPARE(std::filesystem::status(dir.file("VorkelBrowser")).permissions(),
             std::filesystem::perms::owner_all);
    const qint64 pid = bridge.processId();
    DevToolsPipe& pipe = *bridge.protocol();
    QTRY_VERIFY_WITH_TIMEOUT(openPages(pipe).size() == 1 && openPages(pipe)[0].second == logon,
                             30000);
    const QString page = openPages(pipe)[0].first;
    // The page may still be loading: the fill waits for it.

    // Without a user name, the e-mail address stands in for it.
    h->ui.clearSaid();
    autoFill->click();
    QCOMPARE(h->ui.texts(), std::vector<std::string>{});
    QVERIFY(evaluateInPage(pipe, page, kInputValues)
                .toString()
                .startsWith("login=alice@example.com email=alice@example.com pass=s3cret "));
    QCOMPARE(evaluateInPage(pipe, page, "seen.length").toInt(), 10);

    // Another site's entry fills nothing here, and says so.
    set("editURL", "https://Example.com/logon");
    set("editPassword", "other");
    autoFill->click();
    QCOMPARE(h->ui.lastText(), std::string(msg::kNoMatchingPageStart) + "example.com" +
                                   std::string(msg::kNoMatchingPageEnd));
    set("editURL", "");
    autoFill->click();
    QCOMPARE(h->ui.lastText(), std::string(msg::kNoEntryAddress));
    QCOMPARE(h->ui.said.size(), std::size_t(2));
    QCOMPARE(evaluateInPage(pipe, page, "seen.length").toInt(), 10);

    // The browser the program started ends with it, helpers and all.
    h.reset();
    QTRY_VERIFY_WITH_TIMEOUT(::kill(-static_cast<pid_t>(pid), 0) != 0, 10000);
}

QTEST_MAIN(AutoFillCommandTest)
#include "AutoFillCommandTest.moc"
