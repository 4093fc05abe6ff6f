// The logon dialog as the main window uses it: each message, the first-run confirmation and the
// master password change, seen from the files they leave behind.

#include <QAction>
#include <QLabel>
#include <filesystem>

#include "MainWindowHarness.h"
#include "core/session/Messages.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;
using Prompt = ScriptedMessageService::Prompt;
using Kind = UserInterface::Kind;

namespace {

bool opensWith(const std::string& folder, const std::string& user, const std::string& password) {
    SystemRandom random;
    FixedClock clock(christmas());
    Session s(folder + "vorkel", random, clock);
    s.SetLogon(user, password);
    return s.VerifyLogon();
}

QLineEdit* logonField(MainWindowHarness& h, const char* name) {
    return h.logon().findChild<QLineEdit*>(name);
}

/// Opens "Change Master Password..." and hands the dialog to `steps` while it is up.
void changePassword(MainWindowHarness& h, std::function<void(QDialog&)> steps) {
    bool seen = false;
    auto watch = DialogWatch::dialog("TfmPasswordChange", [&](QDialog& d) {
        seen = true;
        steps(d);
        if (d.isVisible()) clickButton(d, "btnCancel");
    });
    h.child<QAction>("ChangeMasterPassword1")->trigger();
    QVERIFY(seen);
}

/// Answers the current-password prompt with `typed` (nullopt: Cancel) and presses OK in the
/// change dialog.
void pressOk(QDialog& change, std::optional<QString> typed) {
    auto watch = DialogWatch::dialog("TfmPasswordConfirm", [typed](QDialog& confirm) {
        QCOMPARE(confirm.findChild<QLabel*>("lblConfirm")->text(),
                 QString::fromUtf8(msg::kCurrentPasswordPrompt.data()));
        if (typed) {
            typeInto(confirm, "editPassword", *typed);
            clickButton(confirm, "btnOK");
        } else {
            clickButton(confirm, "btnCancel");
        }
    });
    clickButton(change, "btnOK");
}

}  // namespace

class LogonFlowTest : public QObject {
    Q_OBJECT
private slots:
    void emptyFieldsAreWarnedAboutAndTheDialogStays();
    void aWrongPairEndsTheProgramWritingNothing();
    void enterReleasedInThePasswordLogsOn();
    void confirmationMismatchKeepsTheOldStore();
    void cancelledConfirmationKeepsTheOldStore();
    void passwordChangeChecksEachField();
    void aWrongCurrentPasswordNeverChangesAnything();
    void aChangedPasswordKeysTheFilesAtTheNextClose();
    void theLastWriteAfterAFailedLockUsesTheChangedPassword();
};

void LogonFlowTest::emptyFieldsAreWarnedAboutAndTheDialogStays() {
    TempDir dir;
    makeAccount(dir.path(), "bob", "pw");
    MainWindowHarness h(dir.path());
    h.logOn("", "pw");
    QCOMPARE(h.ui.said.size(), std::size_t(1));
    QCOMPARE(h.ui.said[0].kind, Kind::Warning);
    QCOMPARE(h.ui.said[0].text, std::string(msg::kEnterUsername));
    QCOMPARE(h.logon().focusWidget(), logonField(h, "editUsername"));

    h.logOn("bob", "");
    QCOMPARE(h.ui.said.size(), std::size_t(2));
    QCOMPARE(h.ui.said[1].kind, Kind::Warning);
    QCOMPARE(h.ui.said[1].text, std::string(msg::kEnterPassword));
    QCOMPARE(h.logon().focusWidget(), logonField(h, "editPassword"));
    QVERIFY(h.logon().isVisible());
    QVERIFY(!h.window->isVisible());
    QCOMPARE(h.ended.count(), 0);

    // Blanks are content.
    h.logOn(" ", " ");
    QCOMPARE(h.ui.said.back().text, std::string(msg::kLogonIncorrect));
}

void LogonFlowTest::aWrongPairEndsTheProgramWritingNothing() {
    for (const char* password : {"PW", "pw ", "p"}) {
        TempDir dir;
        makeAccount(dir.path(), "bob", "pw");
        const std::string store = readFile(dir.file("Vorkel4.xdb"));
        const std::string settings = readFile(dir.file("Vorkel4.vfg"));
        MainWindowHarness h(dir.path());
        h.logOn("bob", password);
        QCOMPARE(h.ui.said.size(), std::size_t(1));
        QCOMPARE(h.ui.said[0].kind, Kind::Error);
        QCOMPARE(h.ui.said[0].text, std::string(msg::kLogonIncorrect));
        QCOMPARE(h.ended.count(), 1);
        QVERIFY(!h.window->isVisible());
        QVERIFY(!h.logon().isVisible());
        QCOMPARE(readFile(dir.file("Vorkel4.xdb")), store);
        QCOMPARE(readFile(dir.file("Vorkel4.vfg")), settings);
    }
}

void LogonFlowTest::enterReleasedInThePasswordLogsOn() {
    TempDir dir;
    makeAccount(dir.path(), "bob", "pw");
    MainWindowHarness h(dir.path());
    QTest::keyClicks(logonField(h, "editUsername"), "bob");
    QTest::keyClick(logonField(h, "editUsername"), Qt::Key_Return);
    QVERIFY(!h.window->isVisible());
    QVERIFY(h.ui.said.empty());
    QTest::keyClicks(logonField(h, "editPassword"), "pw");
    QTest::keyClick(logonField(h, "editPassword"), Qt::Key_Return);
    QVERIFY(h.window->isVisible());
    QVERIFY(!h.logon().isVisible());
}

void LogonFlowTest::confirmationMismatchKeepsTheOldStore() {
    TempDir dir;
    const std::string old = "an old store";
    writeFile(dir.file("Vorkel4.xdb"), old);
    MainWindowHarness h(dir.path());
    h.firstRun("carol", "pw", QString("pW"));
    QCOMPARE(h.ui.said.size(), std::size_t(1));
    QCOMPARE(h.ui.said[0].kind, Kind::Warning);
    QCOMPARE(h.ui.said[0].text, std::string(msg::kConfirmationMismatch));
    QCOMPARE(h.logon().focusWidget(), logonField(h, "editPassword"));
    QCOMPARE(readFile(dir.file("Vorkel4.xdb")), old);
    QVERIFY(h.logon().isVisible());
    QVERIFY(!h.window->isVisible());

    // Another try on the same dialog, now matching.
    h.firstRun("carol", "pw");
    QVERIFY(h.window->isVisible());
    QVERIFY(!exists(dir.file("Vorkel4.xdb")));
    QCOMPARE(h.rowCount(), 4);
}

void LogonFlowTest::cancelledConfirmationKeepsTheOldStore() {
    TempDir dir;
    writeFile(dir.file("Vorkel4.xdb"), "an old store");
    MainWindowHarness h(dir.path());
    auto watch = DialogWatch::dialog("TfmPasswordConfirm", [](QDialog& d) {
        typeInto(d, "editPassword", "pw");
        clickButton(d, "btnCancel");
    });
    h.logOn("carol", "pw");
    QVERIFY(h.ui.said.empty());
    QVERIFY(h.logon().isVisible());
    QVERIFY(!h.window->isVisible());
    QCOMPARE(h.ended.count(), 0);
    QCOMPARE(readFile(dir.file("Vorkel4.xdb")), std::string("an old store"));
}

void LogonFlowTest::passwordChangeChecksEachField() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    changePassword(h, [&](QDialog& d) {
        clickButton(d, "btnOK");
        QCOMPARE(h.ui.lastText(), std::string(msg::kNewPasswordEmpty));
        typeInto(d, "editPassword", "new");
        clickButton(d, "btnOK");
        QCOMPARE(h.ui.lastText(), std::string(msg::kNewPasswordsDiffer));
        typeInto(d, "editConfirmPassword", "New");
        clickButton(d, "btnOK");
        QCOMPARE(h.ui.lastText(), std::string(msg::kNewPasswordsDiffer));
        typeInto(d, "editConfirmPassword", "new");
        // The current password asked for and cancelled: the dialog stays, nothing said.
        const std::size_t said = h.ui.said.size();
        pressOk(d, std::nullopt);
        QVERIFY(d.isVisible());
        QCOMPARE(h.ui.said.size(), said);
        pressOk(d, QString("pw"));
        QCOMPARE(h.ui.said.back().kind, Kind::Information);
        QCOMPARE(h.ui.lastText(), std::string(msg::kMasterPasswordUpdated));
        QVERIFY(!d.isVisible());
    });
    for (const auto& s : h.ui.said)
        if (s.text != std::string(msg::kMasterPasswordUpdated)) QCOMPARE(s.kind, Kind::Warning);
    QVERIFY(h.session.isCurrentMasterPassword("new"));
    QVERIFY(h.window->isVisible());
}

void LogonFlowTest::aWrongCurrentPasswordNeverChangesAnything() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    changePassword(h, [&](QDialog& d) {
        typeInto(d, "editPassword", "new");
        typeInto(d, "editConfirmPassword", "new");
        for (const char* wrong : {"PW", "new", "", "pw "}) {
            pressOk(d, QString(wrong));
            QCOMPARE(h.ui.lastText(), std::string(msg::kCurrentPasswordWrong));
            QVERIFY(d.isVisible());
        }
    });
    QVERIFY(h.session.isCurrentMasterPassword("pw"));
    QCOMPARE(h.ended.count(), 0);
    h.window->close();
    QVERIFY(opensWith(bob.dir.path(), "bob", "pw"));
}

void LogonFlowTest::aChangedPasswordKeysTheFilesAtTheNextClose() {
    TempDir dir;
    makeAccount(dir.path(), "bob", "pw");
    {
        MainWindowHarness h(dir.path());
        h.logOn("bob", "pw");
        changePassword(h, [&](QDialog& d) {
            typeInto(d, "editPassword", "fresh");
            typeInto(d, "editConfirmPassword", "fresh");
            pressOk(d, QString("pw"));
        });
        // Memory only until the files are written.
        QVERIFY(opensWith(dir.path(), "bob", "pw"));
        h.window->close();
    }
    QVERIFY(opensWith(dir.path(), "bob", "fresh"));
    QVERIFY(!opensWith(dir.path(), "bob", "pw"));
    QCOMPARE(storedTitles(dir.path(), "bob", "fresh").size(), std::size_t(4));

    MainWindowHarness old(dir.path());
    old.logOn("bob", "pw");
    QCOMPARE(old.ui.lastText(), std::string(msg::kLogonIncorrect));
    MainWindowHarness fresh(dir.path());
    fresh.logOn("bob", "fresh");
    QVERIFY(fresh.window->isVisible());
}

void LogonFlowTest::theLastWriteAfterAFailedLockUsesTheChangedPassword() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    changePassword(h, [&](QDialog& d) {
        typeInto(d, "editPassword", "fresh");
        typeInto(d, "editConfirmPassword", "fresh");
        pressOk(d, QString("pw"));
    });
    QTest::keyClicks(h.field("editTitle"), " changed");
    std::filesystem::remove(h.session.dataStorePath());
    std::filesystem::create_directory(h.session.dataStorePath());
    h.window->setWindowState(Qt::WindowMinimized);
    h.window->setWindowState(Qt::WindowNoState);
    QVERIFY(h.window->isLocked());
    std::filesystem::remove(h.session.dataStorePath());
    // The settings file did take the new password at the lock, so that is what opens it.
    h.logOn("bob", "pw");
    QCOMPARE(h.ui.lastText(), std::string(msg::kLogonIncorrect));
    QCOMPARE(h.ended.count(), 1);
    QVERIFY(opensWith(bob.dir.path(), "bob", "fresh"));
    const auto titles = storedTitles(bob.dir.path(), "bob", "fresh");
    QVERIFY(std::find(titles.begin(), titles.end(), "A Sample Entry changed") != titles.end());
}

QTEST_MAIN(LogonFlowTest)
#include "LogonFlowTest.moc"
