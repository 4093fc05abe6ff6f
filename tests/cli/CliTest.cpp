#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <streambuf>

#include "cli/CliFixture.h"
#include "core/storage/AtomicFile.h"

using namespace vorkel;
using namespace vorkel::test;

namespace {

class Cli : public CliFixture {};

const std::vector<std::string> kCommands = {"init",     "verify", "list",   "show",
                                            "export",   "import", "add",    "search",
                                            "generate", "passwd", "backup", "restore"};

}  // namespace

TEST_F(Cli, ToolHelpListsEveryCommandAndNeedsNoLogon) {
    const CliResult r = run({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(
        r.out.rfind(
            "Usage: vorkel-cli [--folder DIR] --user NAME [--password-stdin] COMMAND [ARGS]\n", 0),
        0u);
    for (const auto& name : kCommands)
        EXPECT_NE(r.out.find("\n  " + name + " "), std::string::npos) << name;
    EXPECT_TRUE(terminal.prompts.empty());
}

TEST_F(Cli, EveryCommandHasItsOwnHelpWithoutUserOrPassword) {
    for (const auto& name : kCommands) {
        const CliResult r = run({name, "--help"});
        EXPECT_EQ(r.code, 0) << name;
        EXPECT_NE(r.out.find("Usage: vorkel-cli "), std::string::npos) << name;
        EXPECT_NE(r.out.find(" " + name), std::string::npos) << name;
    }
    EXPECT_NE(run({"list", "--help"}).out.find("--order added|updated|az|za"), std::string::npos);
    EXPECT_NE(run({"add", "--title", "x", "--help"}).out.find("--username U"), std::string::npos);
    EXPECT_TRUE(terminal.prompts.empty());
    EXPECT_FALSE(fileExists(settingsPath()));
}

TEST_F(Cli, HelpAfterDoubleDashIsAnOperand) {
    createAccount();
    const CliResult r = tool({"search", "--", "--help"});
    EXPECT_EQ(r.code, 1);  // searched for the text "--help" and found nothing
    EXPECT_EQ(r.out, "");
}

TEST_F(Cli, UsageErrorsExitTwoWithoutAskingForAPassword) {
    createAccount();
    const std::string folder = dir.path();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--folder", folder, "--user", "alice"},
        {"--folder", folder, "--user", "alice", "frobnicate"},
        {"--bogus", "list"},
        {"--folder"},
        {"--folder", folder, "--folder", folder, "--user", "alice", "list"},
        {"--folder", folder, "--user", "alice", "--password-stdin", "--password-stdin", "list"},
        {"--folder", folder, "--user", "alice", "--help=yes"},
        {"--folder", folder, "--user", "alice", "-", "list"},
        {"--folder", "", "--user", "alice", "list"},
        {"--folder", folder, "list"},
        {"--folder", folder, "--user", "alice", "list", "--order", "bogus"},
        {"--folder", folder, "--user", "alice", "list", "--order"},
        {"--folder", folder, "--user", "alice", "list", "extra"},
        {"--folder", folder, "--user", "alice", "list", "--filter", "a", "--filter", "b"},
        {"--folder", folder, "--user", "alice", "list", "--colour"},
        {"--folder", folder, "--user", "alice", "show"},
        {"--folder", folder, "--user", "alice", "show", "1", "2"},
        {"--folder", folder, "--user", "alice", "show", "one"},
        {"--folder", folder, "--user", "alice", "show", "-1"},
        {"--folder", folder, "--user", "alice", "generate", "--length", "0"},
        {"--folder", folder, "--user", "alice", "generate", "--length", "8x"},
        {"--folder", folder, "--user", "alice", "add"},
        {"--folder", folder, "--user", "alice", "add", "--username", "u"},
        {"--folder", folder, "--user", "alice", "import"},
        {"--folder", folder, "--user", "alice", "search"},
        {"--folder", folder, "--user", "alice", "backup"},
        {"--folder", folder, "--user", "alice", "restore", "a", "b"},
        {"--folder", folder, "--user", "alice", "verify", "now"},
        {"--folder", folder, "--user", "alice", "init", "--forever"},
        {"--folder", folder, "--user", "", "list"},
    };
    const std::string before = readFile(storePath()) + readFile(settingsPath());
    for (const auto& args : cases) {
        const CliResult r = run(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(r.code, 2) << joined << r.err;
        EXPECT_NE(r.err.find("--help"), std::string::npos) << joined;
        EXPECT_EQ(r.out, "") << joined;
    }
    EXPECT_TRUE(terminal.prompts.empty());
    EXPECT_EQ(readFile(storePath()) + readFile(settingsPath()), before);
}

TEST_F(Cli, UsageMessagesNameTheFault) {
    EXPECT_EQ(run({"frobnicate"}).err,
              "Unknown command \"frobnicate\".\nRun 'vorkel-cli --help' for usage.\n");
    EXPECT_EQ(run({"--folder", dir.path(), "list"}).err,
              "The option --user NAME is required.\nRun 'vorkel-cli list --help' for its usage.\n");
    EXPECT_EQ(run({"--user", "a", "list", "--order", "up"}).err,
              "Unknown order \"up\"; use added, updated, az or za.\nRun 'vorkel-cli list --help' "
              "for its usage.\n");
    EXPECT_EQ(run({"--user", "a", "show"}).err.substr(0, 24), "Missing the position N.\n");
    EXPECT_EQ(run({"--user", "", "list"}).err.substr(0, 43),
              "Please enter a Username before continuing.\n");
}

TEST_F(Cli, EmptyPasswordIsAUsageErrorWithTheLogonWarning) {
    createAccount();
    const CliResult r = tool({"list"});  // sanity: the right password works
    ASSERT_EQ(r.code, 0);
    for (const std::string input : {"\n", "", "\r\n"}) {
        const CliResult empty =
            run({"--folder", dir.path(), "--user", "alice", "--password-stdin", "list"}, input);
        EXPECT_EQ(empty.code, 2);
        EXPECT_EQ(empty.err.substr(0, 43), "Please enter a Password before continuing.\n");
    }
}

TEST_F(Cli, PasswordLineMayEndInCarriageReturnLineFeed) {
    createAccount();
    const CliResult r = run(
        {"--folder", dir.path(), "--user", "alice", "--password-stdin", "verify"}, "Secret1\r\n");
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST_F(Cli, TerminalIsAskedWhenPasswordIsNotPiped) {
    createAccount();
    terminal.answers = {kPassword};
    const CliResult r =
        run({"--folder", dir.path(), "--user", "alice", "list"}, "not a password\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, lines(kSampleTitles));
    EXPECT_EQ(terminal.prompts, std::vector<std::string>{"Password: "});
}

TEST_F(Cli, NoTerminalAndNoPipedPasswordIsAnError) {
    createAccount();
    const CliResult r = run({"--folder", dir.path(), "--user", "alice", "list"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "no terminal\n");
}

TEST_F(Cli, DefaultFolderIsTheProgramFilesFolder) {
    const CliResult r = run({"--user", "alice", "--password-stdin", "init"}, "Secret1\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fileExists(settingsPath()));
    EXPECT_TRUE(fileExists(storePath()));
}

TEST_F(Cli, RelativeFolderAndEqualsFormAreAccepted) {
    createAccount();
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const CliResult r =
        run({"--folder=.", "--user=alice", "--password-stdin", "list"}, "Secret1\n");
    std::filesystem::current_path(here);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, lines(kSampleTitles));
}

TEST_F(Cli, UnknownProgramFileNeedsAFolder) {
    std::istringstream in("Secret1\n");
    std::ostringstream out, err;
    const int code = cli::runCli({"--user", "alice", "--password-stdin", "init"}, in, out, err,
                                 terminal, random, clock, "");
    EXPECT_EQ(code, 3);
    EXPECT_EQ(err.str(),
              "Cannot find the folder of the program file; name it with --folder DIR.\n");
}

namespace {
// An output stream that refuses every byte, as a full disk or a closed pipe does.
class RefusingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};
}  // namespace

TEST_F(Cli, OutputThatCannotBeWrittenIsAFailure) {
    createAccount();
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::istringstream in("Secret1\n");
    std::ostringstream err;
    const int code =
        cli::runCli({"--folder", dir.path(), "--user", "alice", "--password-stdin", "export"}, in,
                    out, err, terminal, random, clock, programFile());
    EXPECT_EQ(code, 3);
    EXPECT_EQ(err.str(), "Cannot write to standard output.\n");
}
