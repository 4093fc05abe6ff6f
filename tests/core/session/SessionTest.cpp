#include "core/session/Session.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/Error.h"
#include "core/entries/SampleContent.h"
#include "core/session/Messages.h"
#include "support/ScriptedUi.h"
#include "support/SessionFixture.h"
#include "support/TempDir.h"

using namespace vorkel;
using vorkel::test::readFile;
using vorkel::test::writeFile;

namespace {

class SessionTest : public test::SessionFixture {
protected:
    // A first run that created the account and closed normally.
    void createAccount(std::string_view user = "alice", std::string_view password = "Secret1") {
        auto s = sessionFor(user, password);
        ASSERT_FALSE(s->settingsFileExists());
        ASSERT_TRUE(s->ConfirmNewAccount(password));
        s->LoadWorkspace();
        vorkel::test::ScriptedUi ui;
        s->CloseSequence(ui);
        ASSERT_TRUE(ui.asked.empty());
    }
};

const std::vector<std::string> kSamplesAtoZ = {"A Sample Entry", "Google Email (Gmail)",
                                               "Windows Live (Hotmail)", "Yahoo!"};

}  // namespace

TEST_F(SessionTest, FirstRunSeedsSamplesInAtoZOrderAndDefaults) {
    auto s = sessionFor("alice", "pw");
    s->LoadWorkspace();
    EXPECT_EQ(titles(*s), kSamplesAtoZ);
    EXPECT_TRUE(s->FreshStore());
    EXPECT_EQ(s->settings().passTypes, defaultPasswordTypes());
    EXPECT_DOUBLE_EQ(s->options().DataVersion, 1.2);
    EXPECT_EQ(s->options().ShowClearPasswords, 0);
    EXPECT_FALSE(s->settings().window.known);
    EXPECT_FALSE(std::filesystem::exists(s->dataStorePath()));  // nothing written yet
}

TEST_F(SessionTest, CloseWritesBothFilesOwnerOnlyAndTheNextLogonReadsThem) {
    createAccount();
    for (auto name : {"Vorkel4.xdb", "Vorkel4.vfg"}) {
        auto perms = std::filesystem::status(dir.file(name)).permissions();
        EXPECT_EQ(perms, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << name;
    }
    auto s = sessionFor("alice", "Secret1");
    ASSERT_TRUE(s->VerifyLogon());
    s->LoadWorkspace();
    EXPECT_EQ(titles(*s), kSamplesAtoZ);
    EXPECT_FALSE(s->FreshStore());
    EXPECT_EQ(s->workspace().rows()[0]->get(Field::CreatedBy), "alice");
}

TEST_F(SessionTest, LogonIsTheKeyTextWhateverTheSplit) {
    createAccount("alice", "Secret1");
    EXPECT_TRUE(sessionFor("alic", "eSecret1")->VerifyLogon());
    EXPECT_TRUE(sessionFor("aliceSec", "ret1")->VerifyLogon());
    EXPECT_FALSE(sessionFor("alice", "secret1")->VerifyLogon());
    EXPECT_FALSE(sessionFor("Alice", "Secret1")->VerifyLogon());
    EXPECT_FALSE(sessionFor("alice", "Secret2")->VerifyLogon());
}

TEST_F(SessionTest, DamagedOrEmptySettingsFileRefusesEveryLogon) {
    createAccount();
    writeFile(dir.file("Vorkel4.vfg"), "");
    EXPECT_FALSE(sessionFor("alice", "Secret1")->VerifyLogon());
    writeFile(dir.file("Vorkel4.vfg"), "1234567");
    EXPECT_FALSE(sessionFor("alice", "Secret1")->VerifyLogon());
}

TEST_F(SessionTest, LogonFieldChecks) {
    EXPECT_EQ(Session::logonFieldsProblem("", "x"), msg::kEnterUsername);
    EXPECT_EQ(Session::logonFieldsProblem("u", ""), msg::kEnterPassword);
    EXPECT_EQ(Session::logonFieldsProblem("", ""), msg::kEnterUsername);
    EXPECT_FALSE(Session::logonFieldsProblem(" ", " ").has_value());  // blanks count
}

TEST_F(SessionTest, FirstRunDeletesOldStoreOnlyAfterMatchingConfirmation) {
    writeFile(dir.file("Vorkel4.xdb"), "old store");
    auto s = sessionFor("bob", "pw");
    EXPECT_FALSE(s->ConfirmNewAccount("pW"));
    EXPECT_FALSE(s->ConfirmNewAccount("pw "));
    EXPECT_FALSE(s->ConfirmNewAccount(""));
    EXPECT_EQ(readFile(dir.file("Vorkel4.xdb")), "old store");
    EXPECT_TRUE(s->ConfirmNewAccount("pw"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Vorkel4.xdb")));
}

TEST_F(SessionTest, FailedLoadKeepsTheListAndNeverWritesOverTheChangedStore) {
    createAccount();
    auto s = sessionFor("alice", "Secret1");
    s->LoadWorkspace();
    s->AddEntry("mine");
    const std::string goodStore = readFile(dir.file("Vorkel4.xdb"));
    std::string damaged = goodStore;
    damaged[20] = char(damaged[20] ^ 0x40);
    writeFile(dir.file("Vorkel4.xdb"), damaged);
    EXPECT_THROW(s->LoadWorkspace(), Error);
    EXPECT_EQ(s->workspace().master().size(), 5u);  // the four samples and "mine"
    // The file on disk is not the one the session read: it stays as it is, and the user's
    // work goes to a backup instead.
    EXPECT_THROW(s->SaveAll(), StoreChanged);
    EXPECT_EQ(readFile(dir.file("Vorkel4.xdb")), damaged);
    s->BackupTo(dir.file("rescue.xdb"));
    auto again = sessionFor("alice", "Secret1");
    again->RestoreFrom(dir.file("rescue.xdb"));
    EXPECT_EQ(again->workspace().master().size(), 5u);
}

TEST_F(SessionTest, VanishedStoreAsksForBackupAfterWritingBoth) {
    createAccount();
    auto s = sessionFor("alice", "Secret1");
    s->LoadWorkspace();
    std::filesystem::remove(dir.file("Vorkel4.xdb"));
    vorkel::test::ScriptedUi ui;
    ui.answers = {true};
    ui.files = {dir.file("rescue.xdb")};
    s->CloseSequence(ui);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0], msg::kStorageProblem);
    EXPECT_EQ(ui.offeredNames, std::vector<std::string>{"Vorkel10-12-25.xdb"});
    EXPECT_TRUE(std::filesystem::exists(dir.file("Vorkel4.xdb")));  // written anyway
    auto check = sessionFor("alice", "Secret1");
    check->RestoreFrom(dir.file("rescue.xdb"));
    EXPECT_EQ(check->workspace().master().size(), 4u);
}

// The two files change together: a settings file that cannot be written keeps the store as it
// was too, and the entries go to the backup the close offers.
TEST_F(SessionTest, FailedSettingsWriteKeepsBothFilesAndTheBackupHoldsTheEntries) {
    createAccount("alice", "pw");
    const std::string store = readFile(dir.file("Vorkel4.xdb"));
    auto s = sessionFor("alice", "pw");
    s->LoadWorkspace();
    s->AddEntry("keep me");
    std::filesystem::remove(dir.file("Vorkel4.vfg"));
    std::filesystem::create_directory(dir.file("Vorkel4.vfg"));  // the settings write must fail
    vorkel::test::ScriptedUi ui;
    ui.answers = {true};
    ui.files = {dir.file("rescue.xdb")};
    s->CloseSequence(ui);
    EXPECT_EQ(ui.asked, std::vector<std::string>{std::string(msg::kStorageProblem)});
    EXPECT_EQ(readFile(dir.file("Vorkel4.xdb")), store);
    auto check = sessionFor("alice", "pw");
    check->RestoreFrom(dir.file("rescue.xdb"));
    EXPECT_EQ(check->workspace().master().size(), 5u);
}

TEST_F(SessionTest, SaveAllKeepsBothFilesUnderOnePairAfterPasswordChange) {
    createAccount("alice", "old");
    auto s = sessionFor("alice", "old");
    s->LoadWorkspace();
    EXPECT_FALSE(s->isCurrentMasterPassword("wrong"));
    EXPECT_TRUE(s->isCurrentMasterPassword("old"));
    s->SetMasterPassword("new");
    s->SaveAll();
    EXPECT_FALSE(sessionFor("alice", "old")->VerifyLogon());
    auto again = sessionFor("alice", "new");
    ASSERT_TRUE(again->VerifyLogon());
    again->LoadWorkspace();
    EXPECT_EQ(titles(*again), kSamplesAtoZ);
}

TEST_F(SessionTest, NewPasswordChecks) {
    EXPECT_EQ(Session::newPasswordProblem("", ""), msg::kNewPasswordEmpty);
    EXPECT_EQ(Session::newPasswordProblem("a", ""), msg::kNewPasswordsDiffer);
    EXPECT_EQ(Session::newPasswordProblem("a", "A"), msg::kNewPasswordsDiffer);
    EXPECT_FALSE(Session::newPasswordProblem("same", "same").has_value());
}

TEST_F(SessionTest, BackupAndRestoreKeepOrderAndRenumber) {
    auto s = sessionFor("alice", "pw");
    s->LoadWorkspace();
    s->workspace().ApplyOrder(ListOrder::ZtoA);
    s->BackupTo(dir.file("b.xdb"));
    EXPECT_FALSE(std::filesystem::exists(s->dataStorePath()));
    s->NewDataStore();
    s->workspace().ApplyOrder(ListOrder::AtoZ);
    s->RestoreFrom(dir.file("b.xdb"));
    std::vector<std::string> expected(kSamplesAtoZ.rbegin(), kSamplesAtoZ.rend());
    EXPECT_EQ(titles(*s), expected);
    for (EntryId i = 0; i < 4; ++i) EXPECT_EQ(s->workspace().master().at(i)->id(), i);
}

TEST_F(SessionTest, RestoreUnderAnotherPairFailsAndKeepsTheList) {
    auto other = sessionFor("bob", "pw");
    other->LoadWorkspace();
    other->BackupTo(dir.file("bob.xdb"));
    auto s = sessionFor("alice", "pw");
    s->LoadWorkspace();
    s->AddEntry("mine");
    EXPECT_THROW(s->RestoreFrom(dir.file("bob.xdb")), Error);
    EXPECT_EQ(s->workspace().master().size(), 5u);
    EXPECT_THROW(s->RestoreFrom(dir.file("missing.xdb")), Error);
}

TEST_F(SessionTest, RestoringAnEmptyBackupSeedsSamplesKeepingFreshStore) {
    createAccount();
    auto s = sessionFor("alice", "Secret1");
    s->LoadWorkspace();
    while (!s->workspace().master().empty()) s->workspace().DeleteEntry(0);
    s->BackupTo(dir.file("empty.xdb"));
    s->RestoreFrom(dir.file("empty.xdb"));
    EXPECT_EQ(s->workspace().master().size(), 4u);
    EXPECT_FALSE(s->FreshStore());
}

TEST_F(SessionTest, EmptyStoreIsSeededAgainAtTheNextStart) {
    createAccount();
    auto s = sessionFor("alice", "Secret1");
    s->LoadWorkspace();
    while (!s->workspace().master().empty()) s->workspace().DeleteEntry(0);
    s->SaveAll();
    auto again = sessionFor("alice", "Secret1");
    again->LoadWorkspace();
    EXPECT_EQ(titles(*again), kSamplesAtoZ);
    EXPECT_TRUE(again->FreshStore());
}

TEST_F(SessionTest, NewDataStoreDeletesSettingsAndSeeds) {
    createAccount();
    auto s = sessionFor("alice", "Secret1");
    s->LoadWorkspace();
    s->AddEntry("gone");
    s->NewDataStore();
    EXPECT_FALSE(s->settingsFileExists());
    EXPECT_TRUE(std::filesystem::exists(s->dataStorePath()));  // the first-run logon deletes it
    EXPECT_EQ(s->workspace().master().size(), 4u);
    EXPECT_TRUE(s->FreshStore());
}

TEST_F(SessionTest, DefaultBackupNameUsesTwoDigitYear) {
    clock.set({2009, 1, 5, 0, 0, 0});
    EXPECT_EQ(sessionFor("a", "b")->defaultBackupName(), "Vorkel09-01-05.xdb");
}

TEST_F(SessionTest, OldSettingsWithoutVersionReadStoreWithoutEmailAndWebUrl) {
    createAccount();
    auto s = sessionFor("alice", "Secret1");
    s->LoadWorkspace();
    s->options().DataVersion = 1.0;  // as if read from an older settings file
    s->RestoreFrom(s->dataStorePath());
    for (const auto& e : s->workspace().master().entries()) {
        EXPECT_EQ(e->get(Field::Email), "");
        EXPECT_EQ(e->get(Field::WebURL), "");
    }
}

TEST_F(SessionTest, LockWritesBothFilesSoTheUnlockReloadShowsEverything) {
    auto s = sessionFor("alice", "pw");
    s->LoadWorkspace();  // first run: no settings file yet
    s->AddEntry("typed before the lock");
    EXPECT_FALSE(s->LockWrites().has_value());
    auto again = sessionFor("alice", "pw");
    EXPECT_TRUE(again->settingsFileExists());  // a re-logon is a logon, not a first run
    ASSERT_TRUE(again->VerifyLogon());
    again->LoadWorkspace();
    EXPECT_EQ(again->workspace().master().size(), 5u);
}

TEST_F(SessionTest, LockWritesReportsAFailureAndWritesNeitherFile) {
    auto s = sessionFor("alice", "pw");
    s->LoadWorkspace();
    std::filesystem::create_directory(dir.file("Vorkel4.vfg"));
    auto failure = s->LockWrites();
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("Cannot create file \"" + dir.file("Vorkel4.vfg") + "\"."),
              std::string::npos);
    // The two files change together or not at all.
    EXPECT_FALSE(std::filesystem::exists(dir.file("Vorkel4.xdb")));
}

TEST_F(SessionTest, FinalWritesUseTheWorkspacePairNotAMistypedOne) {
    createAccount("alice", "Secret1");
    auto s = sessionFor("alice", "Secret1");
    s->LoadWorkspace();
    s->AddEntry("unsaved");
    s->SetMasterPassword("Changed2");  // a change keeps the workspace pair in step
    s->SetLogon("alice", "typo");      // the failed re-logon attempt
    EXPECT_FALSE(s->FinalWrites().has_value());
    EXPECT_FALSE(sessionFor("alice", "typo")->VerifyLogon());
    auto again = sessionFor("alice", "Changed2");
    ASSERT_TRUE(again->VerifyLogon());
    again->LoadWorkspace();
    EXPECT_EQ(again->workspace().master().size(), 5u);
    EXPECT_TRUE(
        sessionFor("x", "y")->FinalWrites().has_value());  // nothing loaded: nothing written
}
