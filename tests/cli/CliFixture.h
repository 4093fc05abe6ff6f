#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/PasswordSource.h"
#include "core/Error.h"
#include "core/storage/RandomSource.h"
#include "support/SessionFixture.h"

namespace vorkel::test {

/// Terminal answers scripted by a test; every prompt is recorded. With no answer left it fails
/// as a process without a terminal would.
class ScriptedPasswords final : public cli::PasswordSource {
public:
    mutable std::deque<std::string> answers;
    mutable std::vector<std::string> prompts;

    SecureString read(std::string_view prompt) const override {
        prompts.emplace_back(prompt);
        if (answers.empty()) throw Error("no terminal");
        std::string answer = answers.front();
        answers.pop_front();
        return SecureString(answer.begin(), answer.end());
    }
};

/// What one run of the tool gave.
struct CliResult {
    int code = -1;
    std::string out;
    std::string err;
};

/// A temporary folder holding the two files, and runs of the tool in-process against it;
/// sessions of the fixture's own run as the tool does.
class CliFixture : public SessionFixture {
protected:
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassword = "Secret1";

    CliFixture() : SessionFixture("vorkel-cli") {}

    ScriptedPasswords terminal;

    /// The tool with exactly these arguments; the program file lies in the temporary folder.
    CliResult run(const std::vector<std::string>& args, const std::string& input = "") {
        return runWith(random, args, input);
    }

    CliResult runWith(RandomSource& source, const std::vector<std::string>& args,
                      const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out, err;
        CliResult r;
        r.code = cli::runCli(args, in, out, err, terminal, source, clock, programFile());
        r.out = out.str();
        r.err = err.str();
        return r;
    }

    /// `command` for `user` with the password as the first line of standard input.
    CliResult as(const std::string& user, const std::string& password,
                 std::vector<std::string> command, const std::string& moreInput = "") {
        std::vector<std::string> args = {"--folder", dir.path(), "--user", user,
                                         "--password-stdin"};
        args.insert(args.end(), command.begin(), command.end());
        return run(args, password + "\n" + moreInput);
    }

    /// `command` for the account made by createAccount.
    CliResult tool(std::vector<std::string> command, const std::string& moreInput = "") {
        return as(kUser, kPassword, std::move(command), moreInput);
    }

    /// `init` for alice with her password; the test stops when it fails.
    void createAccount() {
        const CliResult r = tool({"init"});
        ASSERT_EQ(r.code, 0) << r.err;
    }

    std::string storePath() const { return dir.file("Vorkel4.xdb"); }
    std::string settingsPath() const { return dir.file("Vorkel4.vfg"); }

    /// Lines of text, each ended by LF.
    static std::string lines(const std::vector<std::string>& items) {
        std::string text;
        for (const auto& item : items) text += item + "\n";
        return text;
    }
};

/// The attribute names in the data store document's order, written out here on purpose.
inline const std::vector<std::string> kAttributeNames = {
    "Title",      "Detail",      "Password",   "Passphrase",   "CreateDate",  "EditDate",
    "Type",       "Expires",     "Username",   "Email",        "WebURL",      "CreatedBy",
    "ModifiedBy", "ModifyCount", "AccessedBy", "AccessedLast", "AccessCount", "AllowedAccess"};

inline const std::vector<std::string> kSampleTitles = {"A Sample Entry", "Google Email (Gmail)",
                                                       "Windows Live (Hotmail)", "Yahoo!"};

}  // namespace vorkel::test
