// init, verify and passwd: the commands that make and change the logon pair.
#include <gtest/gtest.h>

#include "cli/CliFixture.h"
#include "core/entries/SampleContent.h"
#include "core/session/Messages.h"
#include "core/session/Session.h"
#include "core/storage/AtomicFile.h"

using namespace vorkel;
using namespace vorkel::test;

namespace {

class AccountCommands : public CliFixture {
protected:
    // True when the data store deciphers and parses under the pair.
    bool storeOpensAs(const std::string& user, const std::string& password) {
        auto s = sessionFor(user, password);
        try {
            s->RestoreFrom(storePath());
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
    std::string files() { return readFile(storePath()) + "|" + readFile(settingsPath()); }
};

const std::string kLogonIncorrect = std::string(msg::kLogonIncorrect) + "\n";

}  // namespace

TEST_F(AccountCommands, InitWritesDefaultSettingsAndTheSamplesUnderThePair) {
    const CliResult r = tool({"init"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    auto s = sessionFor(kUser, kPassword);
    ASSERT_TRUE(s->VerifyLogon());
    s->LoadForTool();
    EXPECT_EQ(s->settings().passTypes, defaultPasswordTypes());
    EXPECT_DOUBLE_EQ(s->options().DataVersion, 1.2);
    EXPECT_EQ(s->options().ShowClearPasswords, 0);
    EXPECT_EQ(s->options().EmptyClipboard, 1);
    ASSERT_EQ(s->workspace().master().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const Entry& e = *s->workspace().master().at(i);
        EXPECT_EQ(e.title(), kSampleTitles[i]);
        EXPECT_EQ(e.get(Field::CreatedBy), "alice");
        EXPECT_EQ(e.get(Field::CreateDate), "25/12/2010 14:03:59");
    }
    EXPECT_TRUE(storeOpensAs(kUser, kPassword));
}

TEST_F(AccountCommands, InitRefusesWhenASettingsFileExists) {
    createAccount();
    const std::string before = files();
    for (const std::string password : {kPassword, "Other"}) {
        const CliResult r = as(kUser, password, {"init"});
        EXPECT_EQ(r.code, 3);
        EXPECT_EQ(r.err, "An account exists already: \"" + settingsPath() + "\" is present.\n");
    }
    EXPECT_EQ(files(), before);
}

TEST_F(AccountCommands, InitKeepsAStoreLeftWithoutSettingsOnlyWithForce) {
    writeFile(storePath(), "left over from an earlier account");
    const CliResult refused = tool({"init"});
    EXPECT_EQ(refused.code, 3);
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_EQ(readFile(storePath()), "left over from an earlier account");
    EXPECT_EQ(readFile(settingsPath()), "");

    const CliResult forced = tool({"init", "--force"});
    ASSERT_EQ(forced.code, 0) << forced.err;
    // The clock of these tests reads 25/12/2010 14:03:59.
    const std::string kept = dir.file("Vorkel4-20101225-140359.xdb");
    EXPECT_EQ(forced.out, "The previous data store was kept as \"" + kept + "\".\n");
    EXPECT_EQ(readFile(kept), "left over from an earlier account");
    EXPECT_EQ(tool({"list"}).out, lines(kSampleTitles));
}

TEST_F(AccountCommands, InitAtTheTerminalAsksTwiceAndNeedsAMatch) {
    terminal.answers = {"Secret1", "Secret2"};
    CliResult r = run({"--folder", dir.path(), "--user", "alice", "init"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.substr(0, msg::kConfirmationMismatch.size() + 1),
              std::string(msg::kConfirmationMismatch) + "\n");
    EXPECT_EQ(terminal.prompts, (std::vector<std::string>{"Password: ", "Confirm password: "}));
    EXPECT_FALSE(fileExists(settingsPath()));
    EXPECT_FALSE(fileExists(storePath()));

    terminal.answers = {"Secret1", "secret1"};  // the confirmation is case-sensitive
    EXPECT_EQ(run({"--folder", dir.path(), "--user", "alice", "init"}).code, 2);

    terminal.answers = {"Secret1", "Secret1"};
    r = run({"--folder", dir.path(), "--user", "alice", "init"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(tool({"verify"}).code, 0);
}

TEST_F(AccountCommands, InitWithEmptyPasswordWritesNothing) {
    const CliResult r = as(kUser, "", {"init"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.substr(0, 43), "Please enter a Password before continuing.\n");
    EXPECT_FALSE(fileExists(settingsPath()));
}

TEST_F(AccountCommands, VerifyAcceptsTheRightPairOnly) {
    createAccount();
    CliResult r = tool({"verify"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    for (const auto& [user, password] : std::vector<std::pair<std::string, std::string>>{
             {"alice", "secret1"}, {"alice", "Secret"}, {"Alice", "Secret1"}, {"bob", "Secret1"}}) {
        r = as(user, password, {"verify"});
        EXPECT_EQ(r.code, 1) << user << "/" << password;
        EXPECT_EQ(r.err, kLogonIncorrect);
        EXPECT_EQ(r.out, "");
    }
    // The key is the joined text, so another split of it opens the file.
    EXPECT_EQ(as("alic", "eSecret1", {"verify"}).code, 0);
}

TEST_F(AccountCommands, VerifyWithoutAccountOrWithDamagedSettingsIsRefused) {
    CliResult r = tool({"verify"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, kLogonIncorrect);

    createAccount();
    std::string settings = readFile(settingsPath());
    settings[20] = static_cast<char>(settings[20] ^ 0x55);
    writeFile(settingsPath(), settings);
    for (const std::string command : {"verify", "list", "export"}) {
        r = tool({command});
        EXPECT_EQ(r.code, 1) << command;
        EXPECT_EQ(r.err, kLogonIncorrect);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(readFile(settingsPath()), settings);
}

TEST_F(AccountCommands, WrongPairWritesNothingForAnyCommand) {
    createAccount();
    writeFile(dir.file("import.json"), "[]");
    const std::string before = files();
    const std::vector<std::vector<std::string>> commands = {{"list"},
                                                            {"show", "0"},
                                                            {"export"},
                                                            {"import", dir.file("import.json")},
                                                            {"add", "--title", "x"},
                                                            {"search", "Yahoo"},
                                                            {"generate"},
                                                            {"passwd"},
                                                            {"backup", dir.file("b.xdb")},
                                                            {"restore", storePath()}};
    for (const auto& command : commands) {
        const CliResult r = as(kUser, "wrong", command, "NewPass\n");
        EXPECT_EQ(r.code, 1) << command[0];
        EXPECT_EQ(r.err, kLogonIncorrect) << command[0];
        EXPECT_EQ(r.out, "") << command[0];
    }
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(fileExists(dir.file("b.xdb")));
}

TEST_F(AccountCommands, PasswdRewritesBothFilesUnderTheNewPair) {
    createAccount();
    ASSERT_EQ(tool({"add", "--title", "Bank"}).code, 0);
    const CliResult r = tool({"passwd"}, "NewPass\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::string(msg::kMasterPasswordUpdated) + "\n");

    EXPECT_EQ(as(kUser, kPassword, {"verify"}).code, 1);
    EXPECT_EQ(as(kUser, kPassword, {"verify"}).err, kLogonIncorrect);
    EXPECT_FALSE(sessionFor(kUser, kPassword)->VerifyLogon());
    EXPECT_FALSE(storeOpensAs(kUser, kPassword));

    EXPECT_EQ(as(kUser, "NewPass", {"verify"}).code, 0);
    EXPECT_TRUE(sessionFor(kUser, "NewPass")->VerifyLogon());
    EXPECT_TRUE(storeOpensAs(kUser, "NewPass"));
    auto titles = kSampleTitles;
    titles.push_back("Bank");
    EXPECT_EQ(as(kUser, "NewPass", {"list"}).out, lines(titles));
}

TEST_F(AccountCommands, PasswdAtTheTerminalAsksTwice) {
    createAccount();
    terminal.answers = {kPassword, "NewPass", "NewPass"};
    const CliResult r = run({"--folder", dir.path(), "--user", "alice", "passwd"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(terminal.prompts,
              (std::vector<std::string>{"Password: ", "New password: ", "Confirm new password: "}));
    EXPECT_EQ(as(kUser, "NewPass", {"verify"}).code, 0);
    EXPECT_TRUE(storeOpensAs(kUser, "NewPass"));
}

TEST_F(AccountCommands, PasswdRefusesAnEmptyOrUnconfirmedPasswordAndChangesNothing) {
    createAccount();
    const std::string before = files();

    CliResult r = tool({"passwd"});  // no second line
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.substr(0, msg::kNewPasswordEmpty.size() + 1),
              std::string(msg::kNewPasswordEmpty) + "\n");
    r = tool({"passwd"}, "\n");
    EXPECT_EQ(r.code, 2);

    terminal.answers = {kPassword, "NewPass", "NewPas"};
    r = run({"--folder", dir.path(), "--user", "alice", "passwd"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.substr(0, msg::kNewPasswordsDiffer.size() + 1),
              std::string(msg::kNewPasswordsDiffer) + "\n");

    EXPECT_EQ(files(), before);
    EXPECT_EQ(tool({"verify"}).code, 0);
}
