// The run's transitions without a window: who may unlock, what each transition writes, and what
// a New Data Store may never do.
#include "core/session/RunState.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/session/Messages.h"
#include "support/ScriptedUi.h"
#include "support/SessionFixture.h"
#include "support/TempDir.h"

using namespace vorkel;
using Phase = RunState::Phase;
using Outcome = RunState::LogonOutcome;
using vorkel::test::readFile;
using vorkel::test::writeFile;

namespace {

class RunStateTest : public test::SessionFixture {
protected:
    test::ScriptedUi ui;
    Session session{programFile(), random, clock};
    RunState run{session, ui};

    static RunState::ConfirmPassword confirmWith(std::string text) {
        return
            [text] { return std::optional<SecureString>(SecureString(text.begin(), text.end())); };
    }
    // Logged on to an account with one unsaved edit, the lock on.
    void workingWithAnEdit() {
        makeAccount("bob", "pw");
        run.start();
        ASSERT_EQ(run.submitLogon("bob", "pw", {}), Outcome::Entered);
        session.AddEntry("unsaved");
        session.options().PromptMasterPass = 1;
    }
    static bool has(const std::vector<std::string>& titles, const std::string& title) {
        return std::find(titles.begin(), titles.end(), title) != titles.end();
    }
};

TEST_F(RunStateTest, LockWritesBothFilesAndUnlockNeedsTheWorkspacesOwnPair) {
    workingWithAnEdit();
    EXPECT_TRUE(run.minimiseLocks());
    run.minimised();
    EXPECT_EQ(run.phase(), Phase::LockDue);
    EXPECT_TRUE(has(storedTitles("bob", "pw"), "unsaved"));
    EXPECT_TRUE(run.restored());
    EXPECT_EQ(run.phase(), Phase::Locked);
    EXPECT_FALSE(run.takesCommands());
    // Another split of the same pass string opens the files, and so the workspace.
    EXPECT_EQ(run.submitLogon("bo", "bpw", {}), Outcome::Entered);
    EXPECT_EQ(run.phase(), Phase::Working);
    EXPECT_EQ(session.LogonUserName(), "bo");
}

TEST_F(RunStateTest, WithTheFilesGoneTheLockOpensOnlyForTheOwner) {
    workingWithAnEdit();
    // The stick is pulled: the lock's writes fail and no settings file is left.
    std::filesystem::remove(session.settingsPath());
    std::filesystem::remove(session.dataStorePath());
    std::filesystem::create_directory(session.dataStorePath());
    run.minimised();
    ASSERT_TRUE(run.lockFailure());
    run.restored();
    EXPECT_FALSE(run.refreshLogonMode());  // never a new account at a lock
    EXPECT_EQ(run.submitLogon("eve", "x", confirmWith("x")), Outcome::Ended);
    EXPECT_EQ(ui.asked.back(), msg::kLogonIncorrect);
    EXPECT_EQ(run.phase(), Phase::Ended);
}

TEST_F(RunStateTest, UnlockAfterAFailedLockWriteKeepsTheWorkspaceAndSaysWhy) {
    workingWithAnEdit();
    std::filesystem::remove(session.dataStorePath());
    std::filesystem::create_directory(session.dataStorePath());
    run.minimised();
    run.restored();
    EXPECT_EQ(run.submitLogon("bob", "pw", {}), Outcome::Entered);
    EXPECT_EQ(session.workspace().master().size(), 5u);
    const auto notice = run.takeNoticeAfterEntry();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->rfind(std::string(msg::kLockSaveFailed), 0), 0u);
    EXPECT_FALSE(run.takeNoticeAfterEntry());  // told once
}

TEST_F(RunStateTest, AnUnreadableReloadAtUnlockKeepsTheWorkspace) {
    workingWithAnEdit();
    run.minimised();
    ASSERT_FALSE(run.lockFailure());
    run.restored();
    // Between the lock and the unlock the store is damaged.
    std::string store = readFile(session.dataStorePath());
    store[30] = char(store[30] ^ 0x10);
    writeFile(session.dataStorePath(), store);
    EXPECT_EQ(run.submitLogon("bob", "pw", {}), Outcome::Entered);
    EXPECT_EQ(session.workspace().master().size(), 5u);
    const auto notice = run.takeNoticeAfterEntry();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->rfind(std::string(msg::kUnlockKeptWorkspace), 0), 0u);
    // The damaged file is not written over by the next save.
    EXPECT_THROW(session.SaveAll(), StoreChanged);
    EXPECT_EQ(readFile(session.dataStorePath()), store);
}

TEST_F(RunStateTest, AFailedReLogonAfterAFailedLockWriteSavesUnderTheWorkspacesPair) {
    workingWithAnEdit();
    const auto settingsBefore = readFile(session.settingsPath());
    std::filesystem::remove(session.dataStorePath());
    std::filesystem::create_directory(session.dataStorePath());
    run.minimised();
    run.restored();
    std::filesystem::remove(session.dataStorePath());  // the storage is back
    EXPECT_EQ(run.submitLogon("bob", "wrong", {}), Outcome::Ended);
    EXPECT_TRUE(has(storedTitles("bob", "pw"), "unsaved"));
}

TEST_F(RunStateTest, NewDataStoreTakesNoCommandsAndWritesNothingUntilConfirmed) {
    workingWithAnEdit();
    session.options().PromptMasterPass = 0;
    ui.answers = {true};
    ASSERT_TRUE(run.newDataStore());
    EXPECT_EQ(run.phase(), Phase::NewAccount);
    EXPECT_TRUE(run.firstRunMode());
    EXPECT_FALSE(run.takesCommands());
    const std::string store = readFile(session.dataStorePath());
    run.saveAll();  // reaches nothing while the new account is pending
    run.minimised();
    EXPECT_EQ(readFile(session.dataStorePath()), store);
    EXPECT_FALSE(std::filesystem::exists(session.settingsPath()));

    ASSERT_EQ(run.submitLogon("dora", "new", confirmWith("new")), Outcome::Entered);
    run.saveAll();
    EXPECT_EQ(storedTitles("dora", "new").size(), 4u);
    EXPECT_EQ(storedTitles("bob", "pw"), std::vector<std::string>{"<logon refused>"});
}

TEST_F(RunStateTest, ClosingWhileANewAccountIsPendingWritesNothing) {
    workingWithAnEdit();
    ui.answers = {true};
    ASSERT_TRUE(run.newDataStore());
    const std::string store = readFile(session.dataStorePath());
    EXPECT_FALSE(run.closeRequested());
    EXPECT_EQ(run.phase(), Phase::Ended);
    EXPECT_EQ(readFile(session.dataStorePath()), store);
    EXPECT_FALSE(std::filesystem::exists(session.settingsPath()));
}

TEST_F(RunStateTest, SaveAllOverAStoreAnotherProgramReplacedOffersTheBackup) {
    workingWithAnEdit();
    const std::string rival = readFile(session.dataStorePath()) + "x";
    std::filesystem::remove(session.dataStorePath());
    writeFile(session.dataStorePath(), rival);
    ui.answers = {true};
    ui.files = {dir.file("rescue.xdb")};
    run.saveAll();
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_NE(ui.asked[0].find("was changed by another program"), std::string::npos);
    EXPECT_NE(ui.asked[0].find(std::string(msg::kOfferBackup)), std::string::npos);
    EXPECT_EQ(readFile(session.dataStorePath()), rival);
    EXPECT_TRUE(std::filesystem::exists(dir.file("rescue.xdb")));
}

TEST_F(RunStateTest, TheWindowsLockRefusesASecondProgramOnTheFolder) {
    workingWithAnEdit();
    try {
        (void)FolderLock::acquire(session.ProgramFolder(), LockHolder::Tool,
                                  std::chrono::seconds(30));
        FAIL() << "the folder was not locked";
    } catch (const FolderBusy& busy) {
        EXPECT_EQ(busy.holder(), LockHolder::Window);
    }
    run.closeRequested();
    EXPECT_NO_THROW((void)FolderLock::acquire(session.ProgramFolder(), LockHolder::Tool,
                                              std::chrono::milliseconds(0)));
}

TEST_F(RunStateTest, AFirstRunWithAnUnstorablePasswordIsRefusedBeforeAnythingHappens) {
    run.start();
    ASSERT_TRUE(run.firstRunMode());
    writeFile(session.dataStorePath(), "an old store");
    bool asked = false;
    const auto outcome = run.submitLogon("amy", std::string("pass\x01word"), [&] {
        asked = true;
        return std::optional<SecureString>();
    });
    EXPECT_EQ(outcome, Outcome::FocusPassword);
    EXPECT_FALSE(asked);
    EXPECT_EQ(ui.asked, std::vector<std::string>{std::string(msg::kPasswordNotStorable)});
    EXPECT_EQ(readFile(session.dataStorePath()), "an old store");
}

TEST_F(RunStateTest, ADamagedStoreOffersABackupAndKeepsTheDamagedFileAside) {
    makeAccount("bob", "pw");
    {
        const auto maker = sessionFor("bob", "pw");
        maker->LoadForTool();
        maker->AddEntry("in the backup");
        maker->BackupTo(dir.file("backup.xdb"));
    }
    std::string damaged = readFile(session.dataStorePath());
    damaged[40] = char(damaged[40] ^ 0x20);
    writeFile(session.dataStorePath(), damaged);
    run.start();

    // Declined, then a backup under another pair: the dialog stays, nothing changes.
    ui.answers = {false, true};
    EXPECT_EQ(run.submitLogon("bob", "pw", {}), Outcome::Stay);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].rfind(std::string(msg::kStoreUnreadableStart) + session.dataStorePath() +
                                    std::string(msg::kStoreUnreadableMiddle),
                                0),
              0u)
        << ui.asked[0];
    EXPECT_NE(ui.asked[0].find(std::string(msg::kOfferRestore)), std::string::npos);
    { sessionFor("eve", "x")->BackupTo(dir.file("foreign.xdb")); }
    ui.files = {dir.file("foreign.xdb")};
    EXPECT_EQ(run.submitLogon("bob", "pw", {}), Outcome::Stay);
    EXPECT_EQ(readFile(session.dataStorePath()), damaged);

    ui.answers = {true};
    ui.files = {dir.file("backup.xdb")};
    ui.asked.clear();
    ASSERT_EQ(run.submitLogon("bob", "pw", {}), Outcome::Entered);
    const std::string aside = dir.file("Vorkel4-damaged-20101225-140359.xdb");
    EXPECT_EQ(readFile(aside), damaged);
    ASSERT_EQ(ui.asked.size(), 2u);
    EXPECT_EQ(ui.asked[1], std::string(msg::kRestoredFromBackupStart) + dir.file("backup.xdb") +
                               std::string(msg::kRestoredFromBackupMiddle) + aside + "\".");
    EXPECT_TRUE(has(storedTitles("bob", "pw"), "in the backup"));
    EXPECT_EQ(storedTitles("bob", "pw").size(), 5u);
}

TEST_F(RunStateTest, AFirstRunConfirmationCancelledOrMismatchedDeletesNothing) {
    run.start();
    writeFile(session.dataStorePath(), "an old store");
    EXPECT_EQ(run.submitLogon("amy", "pw", [] { return std::optional<SecureString>(); }),
              Outcome::Stay);
    EXPECT_EQ(run.submitLogon("amy", "pw", confirmWith("Pw")), Outcome::FocusPassword);
    EXPECT_EQ(ui.asked, std::vector<std::string>{std::string(msg::kConfirmationMismatch)});
    EXPECT_EQ(readFile(session.dataStorePath()), "an old store");
    EXPECT_EQ(run.phase(), Phase::AwaitingLogon);
    run.logonClosed();
    EXPECT_EQ(run.phase(), Phase::Ended);
    EXPECT_EQ(readFile(session.dataStorePath()), "an old store");
}

TEST_F(RunStateTest, AnotherWindowOnTheFolderKeepsTheLogonOpen) {
    makeAccount("bob", "pw");
    const FolderLock other =
        FolderLock::acquire(session.ProgramFolder(), LockHolder::Window, std::chrono::seconds(0));
    run.start();
    EXPECT_EQ(run.submitLogon("bob", "pw", {}), Outcome::Stay);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_NE(ui.asked[0].find("open on this data store in a window"), std::string::npos);
    EXPECT_EQ(run.phase(), Phase::AwaitingLogon);
}

TEST_F(RunStateTest, WithoutTheLockOptionAMinimiseWritesNothing) {
    workingWithAnEdit();
    session.options().PromptMasterPass = 0;
    const std::string store = readFile(session.dataStorePath());
    EXPECT_FALSE(run.minimiseLocks());
    run.minimised();
    EXPECT_FALSE(run.restored());
    EXPECT_EQ(run.phase(), Phase::Working);
    EXPECT_EQ(readFile(session.dataStorePath()), store);
    EXPECT_TRUE(run.idleTimerFired());
}

// A master password change killed between its two renames: the pair typed at the next logon
// decides, and the user is told which password opens the data now.
class InterruptedChange : public RunStateTest {
protected:
    void SetUp() override {
        makeAccount("bob", "old");
        test::TempDir newPair;
        Session maker(newPair.file("vorkel"), random, clock);
        maker.SetLogon("bob", "new");
        maker.InitAccount();
        maker.AddEntry("only in the new pair");
        maker.SaveAll();
        // Staged beside the old pair, as a commit leaves them before its renames.
        std::filesystem::rename(newPair.file("Vorkel4.xdb"), dir.file(".Vorkel4.xdb.new"));
        std::filesystem::rename(newPair.file("Vorkel4.vfg"), dir.file(".Vorkel4.vfg.new"));
        run.start();
    }
    bool staged() const {
        return std::filesystem::exists(dir.file(".Vorkel4.xdb.new")) ||
               std::filesystem::exists(dir.file(".Vorkel4.vfg.new"));
    }
};

TEST_F(InterruptedChange, TheNewPasswordCompletesIt) {
    ASSERT_FALSE(run.firstRunMode());
    EXPECT_EQ(run.submitLogon("bob", "new", {}), Outcome::Entered);
    EXPECT_EQ(ui.asked, std::vector<std::string>{std::string(msg::kPasswordChangeCompleted)});
    EXPECT_FALSE(staged());
    EXPECT_TRUE(has(storedTitles("bob", "new"), "only in the new pair"));
    EXPECT_EQ(storedTitles("bob", "old"), std::vector<std::string>{"<logon refused>"});
}

TEST_F(InterruptedChange, TheOldPasswordUndoesIt) {
    EXPECT_EQ(run.submitLogon("bob", "old", {}), Outcome::Entered);
    EXPECT_EQ(ui.asked, std::vector<std::string>{std::string(msg::kPasswordChangeUndone)});
    EXPECT_FALSE(staged());
    EXPECT_EQ(storedTitles("bob", "old").size(), 4u);
}

TEST_F(InterruptedChange, AnyOtherPairChangesNothing) {
    EXPECT_EQ(run.submitLogon("bob", "guess", {}), Outcome::Ended);
    EXPECT_EQ(ui.asked, std::vector<std::string>{std::string(msg::kLogonIncorrect)});
    EXPECT_TRUE(staged());
}

}  // namespace
