// The idle lock: the timer and what restarts it, minimising and restoring by every path, the
// re-logon, and the writes that keep the user's work across a lock.

#include <QAction>
#include <QLabel>
#include <filesystem>

#include "MainWindowHarness.h"
#include "core/session/Messages.h"
#include "gui/ui/QtText.h"
#include "support/DialogWatch.h"

using namespace vorkel;
using namespace vorkel::gui;
using namespace vorkel::test;
using Prompt = ScriptedMessageService::Prompt;

namespace {

bool contains(const std::vector<std::string>& all, const std::string& one) {
    return std::find(all.begin(), all.end(), one) != all.end();
}

/// Every way the window reaches the locked state ends in the same place.
void verifyLocked(MainWindowHarness& h) {
    QVERIFY(h.window->isLocked());
    QVERIFY(!h.window->isVisible());
    LogonDialog& logon = h.logon();
    QVERIFY(logon.isVisible());
    QVERIFY(!logon.isModal());
    QCOMPARE(logon.findChild<QLineEdit*>("editUsername")->text(), QString());
    QCOMPARE(logon.findChild<QLineEdit*>("editPassword")->text(), QString());
    QCOMPARE(logon.focusWidget(), logon.findChild<QLineEdit*>("editUsername"));
}

void verifyUnlocked(MainWindowHarness& h) {
    QVERIFY(!h.window->isLocked());
    QVERIFY(h.window->isVisible());
    QVERIFY(!h.window->isMinimized());
    QVERIFY(!h.logon().isVisible());
}

/// The logged-on window with the first sample renamed and not saved.
void edit(MainWindowHarness& h, const char* suffix = " edited") {
    QVERIFY(h.window->isVisible());
    QTest::keyClicks(h.field("editTitle"), suffix);
}

void minimise(MainWindowHarness& h) {
    h.window->setWindowState(Qt::WindowMinimized);
}
void restore(MainWindowHarness& h) {
    h.window->setWindowState(Qt::WindowNoState);
}

/// Edits, puts a folder where the store lies so the lock's write fails, then locks and
/// restores: the logon dialog waits over the unsaved edit.
void lockWithAFailingWrite(MainWindowHarness& h) {
    edit(h);
    std::filesystem::remove(h.session.dataStorePath());
    std::filesystem::create_directory(h.session.dataStorePath());
    minimise(h);
    restore(h);
}

}  // namespace

class IdleLockTest : public QObject {
    Q_OBJECT
private slots:
    void restartIdleTimerFollowsTheOptions();
    void keyReleasesRestartTheTimerAndTheMouseDoesNot();
    void theTimerMinimisesAndTheRestoreLocks();
    void theUserMinimisesAndTheApplicationRestoreLocks();
    void bothRestorePathsEndInTheSameState();
    void theTimerDoesNothingWhileLocked();
    void withoutPromptMasterPassTheRestoreShowsTheWindowAsItWas();
    void aLockWritesBothFilesSoTheUnlockShowsTheEdits();
    void aReLogonAfterAFirstRunIsALogon();
    void aCancelledReLogonEndsWithoutWritingAgain();
    void aFailedReLogonEndsWithoutWritingAgain();
    void aFailedLockWriteKeepsTheWorkspaceAndIsReportedOnceBackIn();
    void aFailedLockWriteIsRetriedWhenTheReLogonIsCancelled();
    void aFailedLockWriteIsRetriedUnderTheRightPairAfterAFailedReLogon();
    void aSecondStartBringsTheWindowForward();
    void aLockClosesEveryOtherWindowAndStoresNothingFromThem();
};

void IdleLockTest::aLockClosesEveryOtherWindowAndStoresNothingFromThem() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    const auto typesBefore = h.session.settings().passTypes;

    // The idle timer fires while Properties shows an entry: the dialog goes with the lock.
    auto details =
        DialogWatch::named("TfmPasswordDetail", [&](QWidget*) { h.window->tmrMinimiseTimer(); });
    h.child<QAction>("PasswordDetails1")->trigger();
    QVERIFY(details.ran());
    // A window manager may hand the window back at once when the dialog goes: that restore
    // then locks, which is as good.
    QTRY_VERIFY(h.window->isMinimized() || h.window->isLocked());
    if (!h.window->isLocked()) restore(h);
    QTRY_VERIFY(h.window->isLocked());
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || w == &h.logon(), qPrintable(w->objectName()));

    // The same with a changed but unconfirmed type list: nothing of it is kept.
    h.logOn("bob", "pw");
    auto types = DialogWatch::named("TfmTypeEdit", [&](QWidget* d) {
        h.ui.inputs = {"Added at the lock"};
        QTest::mouseClick(d->findChild<QPushButton*>("btnAdd"), Qt::LeftButton);
        minimise(h);
    });
    h.child<QAction>("PasswordTypes1")->trigger();
    QVERIFY(types.ran());
    QCOMPARE(h.session.settings().passTypes, typesBefore);
    QTRY_VERIFY(h.window->isMinimized() || h.window->isLocked());
    if (!h.window->isLocked()) restore(h);
    QTRY_VERIFY(h.window->isLocked());
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible() || w == &h.logon(), qPrintable(w->objectName()));
}

void IdleLockTest::restartIdleTimerFollowsTheOptions() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    const QTimer* timer = h.child<QTimer>("tmrMinimise");
    QVERIFY(timer);
    QVERIFY(!timer->isActive());  // MinProg is off by default

    Options& o = h.session.options();
    o.MinProg = 1;
    o.MinProgMins = 5;
    h.window->ApplyDisplayOptions();
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 300000);
    QVERIFY(!timer->isSingleShot());

    o.MinProgMins = 0;
    h.window->ApplyDisplayOptions();
    QVERIFY(!timer->isActive());

    o.MinProgMins = 5;
    o.MinProg = 2;
    h.window->ApplyDisplayOptions();
    QVERIFY(!timer->isActive());
}

void IdleLockTest::keyReleasesRestartTheTimerAndTheMouseDoesNot() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    h.session.options().MinProg = 1;
    h.session.options().MinProgMins = 5;
    h.window->ApplyDisplayOptions();
    QTimer* timer = h.child<QTimer>("tmrMinimise");
    QVERIFY(timer->isActive());

    // The countdown is stopped by hand before each stimulus, so a restart shows as a running
    // timer at the full interval, whatever the wall clock did meanwhile.
    timer->stop();
    QTest::mouseClick(h.field("editTitle"), Qt::LeftButton);
    QTest::mouseMove(h.list()->viewport(), QPoint(5, 5));
    QVERIFY(!timer->isActive());

    for (QWidget* w :
         std::initializer_list<QWidget*>{h.field("editTitle"), h.search(), h.list(), h.notes()}) {
        timer->stop();
        timer->setInterval(1000);
        QTest::keyClick(w, Qt::Key_Shift);
        QVERIFY2(timer->isActive(), qPrintable(w->objectName()));
        QCOMPARE(timer->interval(), 300000);
    }
    // A key released in another window (the logon dialog) is not the main window's.
    timer->stop();
    QTest::keyClick(h.logon().findChild<QLineEdit*>("editUsername"), Qt::Key_A);
    QVERIFY(!timer->isActive());

    // When the countdown runs out the window minimises: a short interval stands in for the
    // five minutes, and the test waits for the minimise itself (or for the lock that follows
    // when a window manager hands the window back at once).
    timer->start(1);
    QTRY_VERIFY(h.window->isMinimized() || h.window->isLocked());
}

void IdleLockTest::theTimerMinimisesAndTheRestoreLocks() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    edit(h);
    h.window->tmrMinimiseTimer();
    QVERIFY(h.window->isMinimized());
    QVERIFY(!h.window->isLocked());  // nothing shows until the window comes back
    QVERIFY(!h.logon().isVisible());

    restore(h);
    verifyLocked(h);
    QCOMPARE(h.logon().findChild<QLabel*>("lblInstructions")->text(),
             toQString(msg::kLogonInstructions));

    h.logOn("bob", "pw");
    verifyUnlocked(h);
    QCOMPARE(h.titles()[0], QString("A Sample Entry edited"));
    QVERIFY(h.ui.said.empty());
}

void IdleLockTest::theUserMinimisesAndTheApplicationRestoreLocks() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    edit(h);
    minimise(h);
    h.window->bringForward();
    verifyLocked(h);
    h.logOn("bob", "pw");
    verifyUnlocked(h);
    QCOMPARE(h.titles()[0], QString("A Sample Entry edited"));
}

void IdleLockTest::bothRestorePathsEndInTheSameState() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    for (int round = 0; round < 2; ++round) {
        h.window->tmrMinimiseTimer();
        if (round == 0)
            restore(h);
        else
            h.window->bringForward();
        verifyLocked(h);
        // A second start while locked brings the logon dialog forward and changes nothing.
        h.window->bringForward();
        verifyLocked(h);
        h.logOn("bob", "pw");
        verifyUnlocked(h);
    }
}

void IdleLockTest::theTimerDoesNothingWhileLocked() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    h.window->tmrMinimiseTimer();
    restore(h);
    const std::string store = h.dataStore();
    h.window->tmrMinimiseTimer();
    verifyLocked(h);
    QCOMPARE(h.dataStore(), store);
    // Minimised again before the restore: still one lock, one write.
    LoggedOnWindow bob2;
    MainWindowHarness& h2 = *bob2;
    h2.window->tmrMinimiseTimer();
    const std::string first = h2.dataStore();
    h2.window->tmrMinimiseTimer();
    QCOMPARE(h2.dataStore(), first);
}

void IdleLockTest::withoutPromptMasterPassTheRestoreShowsTheWindowAsItWas() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    edit(h);
    h.session.options().PromptMasterPass = 0;
    const std::string store = h.dataStore();
    h.window->tmrMinimiseTimer();
    QVERIFY(h.window->isMinimized());
    QCOMPARE(h.dataStore(), store);  // no lock, no write
    restore(h);
    verifyUnlocked(h);
    QCOMPARE(h.field("editTitle")->text(), QString("A Sample Entry edited"));

    minimise(h);
    h.window->bringForward();
    verifyUnlocked(h);
    QCOMPARE(h.dataStore(), store);
}

void IdleLockTest::aLockWritesBothFilesSoTheUnlockShowsTheEdits() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    edit(h);
    const std::string settings = h.settingsFile();
    h.window->move(40, 30);
    minimise(h);
    // Written at the minimise, before anyone asks for the window back.
    QVERIFY(contains(storedTitles(bob.dir.path(), "bob", "pw"), "A Sample Entry edited"));
    QVERIFY(h.settingsFile() != settings);
    QVERIFY(h.ui.said.empty());

    restore(h);
    verifyLocked(h);
    // Another user of the same store may log on with any split of the pair.
    h.logOn("bo", "bpw");
    verifyUnlocked(h);
    QCOMPARE(h.titles()[0], QString("A Sample Entry edited"));
    QCOMPARE(h.session.LogonUserName(), std::string("bo"));
    QCOMPARE(h.window->pos(), QPoint(40, 30));
}

void IdleLockTest::aReLogonAfterAFirstRunIsALogon() {
    TempDir dir;
    MainWindowHarness h(dir.path());
    h.firstRun("carol", "pw");
    QTest::keyClicks(h.field("editTitle"), " kept");
    h.window->tmrMinimiseTimer();
    restore(h);
    verifyLocked(h);
    // The lock wrote the settings file, so the confirmation (which would delete the store)
    // does not come.
    QVERIFY(!h.logon().newAccountMode());
    QCOMPARE(h.logon().findChild<QLabel*>("lblInstructions")->text(),
             toQString(msg::kLogonInstructions));
    h.logOn("carol", "pw");
    verifyUnlocked(h);
    QVERIFY(exists(h.session.dataStorePath()));
    QCOMPARE(h.titles()[0], QString("A Sample Entry kept"));
}

void IdleLockTest::aCancelledReLogonEndsWithoutWritingAgain() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    edit(h);
    minimise(h);
    restore(h);
    const std::string store = h.dataStore(), settings = h.settingsFile();
    clickButton(h.logon(), "btnCancel");
    QCOMPARE(h.ended.count(), 1);
    QCOMPARE(h.dataStore(), store);
    QCOMPARE(h.settingsFile(), settings);
}

void IdleLockTest::aFailedReLogonEndsWithoutWritingAgain() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    edit(h);
    minimise(h);
    restore(h);
    const std::string store = h.dataStore(), settings = h.settingsFile();
    h.logOn("bob", "wrong");
    QCOMPARE(h.ui.lastText(), std::string(msg::kLogonIncorrect));
    QCOMPARE(h.ended.count(), 1);
    QCOMPARE(h.dataStore(), store);
    QCOMPARE(h.settingsFile(), settings);
}

void IdleLockTest::aFailedLockWriteKeepsTheWorkspaceAndIsReportedOnceBackIn() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    edit(h);
    // The store's place is taken by a folder: the write cannot replace it.
    std::filesystem::remove(h.session.dataStorePath());
    std::filesystem::create_directory(h.session.dataStorePath());
    minimise(h);
    QVERIFY(h.ui.said.empty());  // nothing is said while the window goes away
    restore(h);
    verifyLocked(h);

    bool backInWhenTold = false;
    h.ui.onSaid = [&](const ScriptedMessageService::Said&) {
        backInWhenTold = h.window->isVisible() && !h.logon().isVisible();
    };
    h.logOn("bob", "pw");
    verifyUnlocked(h);
    // Kept in memory, not reloaded from the files that missed the edit.
    QCOMPARE(h.field("editTitle")->text(), QString("A Sample Entry edited"));
    QVERIFY(h.entryTitled("A Sample Entry edited"));
    QCOMPARE(h.ui.said.size(), std::size_t(1));
    QCOMPARE(h.ui.said[0].kind, UserInterface::Kind::Error);
    QVERIFY(h.ui.said[0].text.rfind(std::string(msg::kLockSaveFailed), 0) == 0);
    QVERIFY(h.ui.said[0].text.size() > msg::kLockSaveFailed.size());
    QVERIFY(backInWhenTold);

    // The next lock that can write does, and the unlock then reloads as usual.
    std::filesystem::remove(h.session.dataStorePath());
    h.ui.clearSaid();
    h.window->tmrMinimiseTimer();
    restore(h);
    h.logOn("bob", "pw");
    verifyUnlocked(h);
    QVERIFY(h.ui.said.empty());
    QVERIFY(contains(storedTitles(bob.dir.path(), "bob", "pw"), "A Sample Entry edited"));
}

void IdleLockTest::aFailedLockWriteIsRetriedWhenTheReLogonIsCancelled() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    lockWithAFailingWrite(h);
    // The storage comes back while the logon dialog waits.
    std::filesystem::remove(h.session.dataStorePath());
    clickButton(h.logon(), "btnCancel");
    QCOMPARE(h.ended.count(), 1);
    QVERIFY(h.ui.said.empty());  // silently
    QVERIFY(contains(storedTitles(bob.dir.path(), "bob", "pw"), "A Sample Entry edited"));
}

void IdleLockTest::aFailedLockWriteIsRetriedUnderTheRightPairAfterAFailedReLogon() {
    LoggedOnWindow bob;
    MainWindowHarness& h = *bob;
    lockWithAFailingWrite(h);
    std::filesystem::remove(h.session.dataStorePath());
    h.logOn("bob", "mistyped");
    QCOMPARE(h.ui.lastText(), std::string(msg::kLogonIncorrect));
    QCOMPARE(h.ended.count(), 1);
    // Written under bob's real pair, not the one just mistyped.
    QVERIFY(contains(storedTitles(bob.dir.path(), "bob", "pw"), "A Sample Entry edited"));
    SystemRandom random;
    FixedClock clock(christmas());
    Session check(bob.dir.file("vorkel"), random, clock);
    check.SetLogon("bob", "pw");
    QVERIFY(check.VerifyLogon());
}

void IdleLockTest::aSecondStartBringsTheWindowForward() {
    TempDir dir;
    makeAccount(dir.path(), "bob", "pw");
    MainWindowHarness h(dir.path());
    // Before the logon, the logon dialog is what shows.
    h.window->bringForward();
    QVERIFY(!h.window->isVisible());
    QVERIFY(h.logon().isVisible());
    h.logOn("bob", "pw");
    h.session.options().PromptMasterPass = 0;
    minimise(h);
    h.window->bringForward();
    verifyUnlocked(h);
    h.window->bringForward();
    verifyUnlocked(h);
}

QTEST_MAIN(IdleLockTest)
#include "IdleLockTest.moc"
