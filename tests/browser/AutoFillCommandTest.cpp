// "Auto Fill" on the main window against a real headless browser: the first click starts the
// browser on the entry's address, the second fills that page, and only that site is filled.

#include <signal.h>

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "LoopbackServer.h"
#include "MainWindowHarness.h"
#include "core/session/Messages.h"
#include "gui/app/AutoFillController.h"
#include "gui/entries/EditorPane.h"
#include "gui/tools/BrowserBridge.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;
using Kind = UserInterface::Kind;

class AutoFillCommandTest : public QObject {
    Q_OBJECT
private slots:
    void firstClickStartsTheBrowserSecondFillsTheEntrysPage();
    void cancelInTheProgressDialogStopsTheFill();
    void theIdleLockCancelsTheFill();
    void closingTheWindowCancelsTheFill();
    void aSecondClickDuringAFillLeavesTheFirstAlone();
};

void AutoFillCommandTest::firstClickStartsTheBrowserSecondFillsTheEntrysPage() {
    LoopbackServer server;
    QVERIFY(server.listening());
    server.page("/logon", kLogonPage);
    const QString logon = server.url("127.0.0.1", "/logon");

    LoggedOnWindow bob;
    std::unique_ptr<MainWindowHarness>& h = bob.h;
    QVERIFY(h->window->isVisible());
    BrowserBridge& bridge = h->window->autoFill().browser();
    QCOMPARE(bridge.settings().profileParent, QString());  // the system's temporary folder
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
    // Nothing of the browser's lies beside the store.
    QVERIFY(bridge.profileFolder().startsWith(QDir::tempPath() + "/vorkel-browser-"));
    QVERIFY(!bridge.profileFolder().startsWith(QString::fromStdString(bob.dir.path())));
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

    // The browser the program started ends with it, helpers and all, and so does its profile.
    const QString profile = bridge.profileFolder();
    h.reset();
    QTRY_VERIFY_WITH_TIMEOUT(::kill(-static_cast<pid_t>(pid), 0) != 0, 10000);
    QVERIFY(!QFileInfo::exists(profile));
    // The store's folder holds the program's files only: no folder of the browser's.
    for (const auto& entry : std::filesystem::directory_iterator(bob.dir.path()))
        QVERIFY2(!entry.is_directory(), entry.path().c_str());
}

namespace {

/// A logged-on window whose browser is running headless with a page that never finishes
/// loading, and an entry for that page's site.
struct SlowPageRig : LoggedOnWindow {
    LoopbackServer server;
    QString slow;
    QPushButton* autoFill = nullptr;

    SlowPageRig() {
        server.page("/slow", R"HTML(<!doctype html>
<form><input type="text" name="login"><input type="password" name="pass"></form>
<img src="/hang">)HTML");
        slow = server.url("127.0.0.1", "/slow");
        BrowserBridge& bridge = h->window->autoFill().browser();
        bridge.settings().headless = true;
        // Far beyond any test's patience: only a cancel ends a fill of this page in time.
        bridge.settings().readyBoundMs = 3600 * 1000;
        EditorPane& editor = h->window->editorPane();
        editor.findChild<QLineEdit*>("editURL")->setText(slow);
        editor.findChild<QLineEdit*>("editUsername")->setText("bob");
        editor.findChild<QLineEdit*>("editPassword")->setText("s3cret");
        autoFill = editor.findChild<QPushButton*>("btnAutoEnter");
        autoFill->click();  // starts the browser
        h->ui.clearSaid();
    }
    BrowserBridge& bridge() { return h->window->autoFill().browser(); }
    bool ready() {
        return bridge().IsBrowserRunning() && server.hanging() > 0 &&
               openPages(*bridge().protocol()).size() == 1;
    }
    QProgressDialog* progress() {
        return h->window->findChild<QProgressDialog*>("dlgAutoFillProgress");
    }
    /// Clicks "Auto Fill"; `during` runs once, from the fill's own wait, when the fill is
    /// waiting behind its progress dialog.
    void fillWhile(const std::function<void()>& during) {
        bool done = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QProgressDialog* dialog = progress();
            if (done || !bridge().isFilling() || !dialog || !dialog->isVisible()) return;
            done = true;
            QVERIFY(dialog->isModal());
            during();
        });
        poll.start(10);
        autoFill->click();
        QVERIFY(done);
    }
};

}  // namespace

void AutoFillCommandTest::cancelInTheProgressDialogStopsTheFill() {
    SlowPageRig rig;
    QTRY_VERIFY_WITH_TIMEOUT(rig.ready(), 30000);
    rig.fillWhile([&] {
        QPushButton* cancel = rig.progress()->findChild<QPushButton*>();
        QVERIFY(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    QVERIFY(!rig.bridge().isFilling());
    QCOMPARE(rig.h->ui.texts(), std::vector<std::string>{});  // a cancel is no failure
    QVERIFY(rig.progress() == nullptr || !rig.progress()->isVisible());
    // Once the page has loaded, the next click fills it.
    rig.server.releaseHanging();
    rig.bridge().settings().readyBoundMs = 30000;
    rig.autoFill->click();
    QCOMPARE(rig.h->ui.texts(), std::vector<std::string>{});
    const QString page = openPages(*rig.bridge().protocol())[0].first;
    QCOMPARE(
        evaluateInPage(*rig.bridge().protocol(), page, "document.forms[0].pass.value").toString(),
        QString("s3cret"));
}

void AutoFillCommandTest::theIdleLockCancelsTheFill() {
    SlowPageRig rig;
    QTRY_VERIFY_WITH_TIMEOUT(rig.ready(), 30000);
    rig.fillWhile([&] { rig.h->window->tmrMinimiseTimer(); });
    QVERIFY(!rig.bridge().isFilling());
    QVERIFY(rig.h->window->isMinimized());
    QCOMPARE(rig.h->ui.texts(), std::vector<std::string>{});
    rig.h->window->setWindowState(Qt::WindowNoState);
    QVERIFY(rig.h->window->isLocked());
}

void AutoFillCommandTest::closingTheWindowCancelsTheFill() {
    SlowPageRig rig;
    QTRY_VERIFY_WITH_TIMEOUT(rig.ready(), 30000);
    const qint64 pid = rig.bridge().processId();
    rig.fillWhile([&] { rig.h->window->close(); });
    QVERIFY(!rig.bridge().isFilling());
    QCOMPARE(rig.h->ui.texts(), std::vector<std::string>{});
    QVERIFY(!rig.h->window->isVisible());
    rig.h.reset();
    QTRY_VERIFY_WITH_TIMEOUT(::kill(-static_cast<pid_t>(pid), 0) != 0, 10000);
}

void AutoFillCommandTest::aSecondClickDuringAFillLeavesTheFirstAlone() {
    SlowPageRig rig;
    QTRY_VERIFY_WITH_TIMEOUT(rig.ready(), 30000);
    rig.fillWhile([&] {
        rig.h->window->autoFill().btnAutoEnterClick();  // the click the dialog keeps away
        QVERIFY(rig.bridge().isFilling());
        // The page finishes loading only after the second click.
        rig.server.releaseHanging();
    });
    QCOMPARE(rig.h->ui.texts(), std::vector<std::string>{});  // not reported slow
    const QString page = openPages(*rig.bridge().protocol())[0].first;
    QCOMPARE(
        evaluateInPage(*rig.bridge().protocol(), page, "document.forms[0].pass.value").toString(),
        QString("s3cret"));
}

QTEST_MAIN(AutoFillCommandTest)
#include "AutoFillCommandTest.moc"
