// list, show, add, search and generate: the commands that read or add entries.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <map>

#include "cli/CliFixture.h"
#include "core/entries/Clock.h"
#include "core/tools/PasswordGenerator.h"

using namespace vorkel;
using namespace vorkel::test;

namespace {

std::string jsonText(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

// One import object; fields not given are empty.
std::string entryObject(const std::map<std::string, std::string>& given) {
    std::string out = "{";
    for (const auto& name : kAttributeNames) {
        if (out.size() > 1) out += ",";
        auto it = given.find(name);
        out += jsonText(name) + ":" + jsonText(it == given.end() ? "" : it->second);
    }
    return out + "}";
}

class EntryCommands : public CliFixture {
protected:
    void importEntries(const std::vector<std::string>& objects) {
        std::string json = "[";
        for (const auto& o : objects) json += (json.size() > 1 ? "," : "") + o;
        json += "]";
        writeFile(dir.file("entries.json"), json);
        const CliResult r = tool({"import", "--force", dir.file("entries.json")});
        ASSERT_EQ(r.code, 0) << r.err;
    }
    // Four entries whose document order, titles and dates differ under every order.
    void importFruit() {
        importEntries(
            {entryObject({{"Title", "banana"},
                          {"CreateDate", "05/01/2011 10:00:00"},
                          {"EditDate", "01/02/2011"}}),
             entryObject({{"Title", "Apple"},
                          {"CreateDate", "01/03/2009 09:00:00"},
                          {"EditDate", "01/06/2012 08:00:00"}}),
             entryObject(
                 {{"Title", "cherry"}, {"CreateDate", "15/06/2010"}, {"EditDate", "15/06/2010"}}),
             entryObject({{"Title", "10 Downing"},
                          {"CreateDate", "01/03/2009 08:00:00"},
                          {"EditDate", "02/01/2011 23:59:59"}})});
    }
};

}  // namespace

TEST_F(EntryCommands, ListKeepsDocumentOrderWithoutAnOrder) {
    createAccount();
    importFruit();
    const CliResult r = tool({"list"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, lines({"banana", "Apple", "cherry", "10 Downing"}));
}

TEST_F(EntryCommands, ListInEachOrder) {
    createAccount();
    importFruit();
    EXPECT_EQ(tool({"list", "--order", "az"}).out,
              lines({"10 Downing", "Apple", "banana", "cherry"}));
    EXPECT_EQ(tool({"list", "--order", "za"}).out,
              lines({"cherry", "banana", "Apple", "10 Downing"}));
    // Same day, so equal keys whatever the time: they keep their document order.
    EXPECT_EQ(tool({"list", "--order", "added"}).out,
              lines({"Apple", "10 Downing", "cherry", "banana"}));
    EXPECT_EQ(tool({"list", "--order", "updated"}).out,
              lines({"cherry", "10 Downing", "banana", "Apple"}));
}

TEST_F(EntryCommands, ListOrderIsNotSaved) {
    createAccount();
    importFruit();
    const std::string before = readFile(storePath()) + readFile(settingsPath());
    ASSERT_EQ(tool({"list", "--order", "az"}).code, 0);
    EXPECT_EQ(tool({"list"}).out, lines({"banana", "Apple", "cherry", "10 Downing"}));
    EXPECT_EQ(readFile(storePath()) + readFile(settingsPath()), before);
}

TEST_F(EntryCommands, ListFilterIsTheQuickSearch) {
    createAccount();
    EXPECT_EQ(tool({"list", "--filter", "mail"}).out,
              lines({"Google Email (Gmail)", "Windows Live (Hotmail)"}));
    EXPECT_EQ(tool({"list", "--filter", "MAIL"}).out,
              lines({"Google Email (Gmail)", "Windows Live (Hotmail)"}));
    EXPECT_EQ(tool({"list", "--filter", ""}).out, lines(kSampleTitles));
    // Titles only: "example.com" is in an e-mail address, "Thumb" in notes.
    CliResult r = tool({"list", "--filter", "example"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(tool({"list", "--filter", "thumb"}).out, "");

    importFruit();
    EXPECT_EQ(tool({"list", "--filter", "N"}).out, lines({"banana", "10 Downing"}));
    EXPECT_EQ(tool({"list", "--order", "az", "--filter", "n"}).out,
              lines({"10 Downing", "banana"}));
    EXPECT_EQ(tool({"list", "--filter=a", "--order=za"}).out, lines({"banana", "Apple"}));
}

TEST_F(EntryCommands, ListFilterFoldsOnlyAsciiLetters) {
    createAccount();
    importEntries({entryObject({{"Title",
                                 "\xC3\x9C"
                                 "ber"}}),
                   entryObject({{"Title", "uber"}})});
    EXPECT_EQ(tool({"list", "--filter", "\xC3\xBC"}).out, "");
    EXPECT_EQ(tool({"list", "--filter", "\xC3\x9C"}).out, lines({"\xC3\x9C"
                                                                 "ber"}));
    EXPECT_EQ(tool({"list", "--filter", "BER"}).out, lines({"\xC3\x9C"
                                                            "ber",
                                                            "uber"}));
}

TEST_F(EntryCommands, AnEmptyStoreStaysEmptyForTheTool) {
    createAccount();
    importEntries({});
    CliResult r = tool({"list"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(tool({"export"}).out, "[]\n");
    r = tool({"show", "0"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "There is no entry at position 0; the list holds 0.\n");
}

TEST_F(EntryCommands, ShowPrintsEveryFieldInDocumentOrder) {
    createAccount();
    std::map<std::string, std::string> fields;
    for (const auto& name : kAttributeNames) fields[name] = name + " value";
    fields["Detail"] = "first line\r\nsecond\tline\r\n";
    fields["Passphrase"] = "";
    importEntries({entryObject({{"Title", "other"}}), entryObject(fields)});

    const CliResult r = tool({"show", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::string expected;
    for (const auto& name : kAttributeNames) expected += name + ": " + fields[name] + "\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(
        r.out.rfind("Title: Title value\nDetail: first line\r\nsecond\tline\r\n\nPassword: ", 0),
        0u);
}

TEST_F(EntryCommands, ShowCountsPositionsInDocumentOrder) {
    createAccount();
    importFruit();
    EXPECT_EQ(tool({"show", "1"}).out.substr(0, 13), "Title: Apple\n");
    EXPECT_EQ(tool({"show", "3"}).out.substr(0, 18), "Title: 10 Downing\n");
    const CliResult r = tool({"show", "4"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "There is no entry at position 4; the list holds 4.\n");
}

TEST_F(EntryCommands, AddAppendsAnAuditedEntryAndSaves) {
    createAccount();
    clock.set({2011, 2, 3, 4, 5, 6});
    CliResult r =
        tool({"add", "--title", "0 Bank", "--username", "jo", "--email", "jo@example.org",
              "--with-password", "--url", "https://bank.example/", "--notes", "line 1\nline 2"},
             "p&<\"'w\r\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");

    auto titles = kSampleTitles;
    titles.push_back("0 Bank");  // last, not in its A to Z place
    EXPECT_EQ(tool({"list"}).out, lines(titles));
    r = tool({"show", "4"});
    EXPECT_EQ(r.out, lines({"Title: 0 Bank", "Detail: line 1\nline 2", "Password: p&<\"'w",
                            "Passphrase: ", "CreateDate: 03/02/2011 04:05:06",
                            "EditDate: 03/02/2011 04:05:06", "Type: ", "Expires: ", "Username: jo",
                            "Email: jo@example.org", "WebURL: https://bank.example/",
                            "CreatedBy: alice", "ModifiedBy: alice", "ModifyCount: 1",
                            "AccessedBy: alice", "AccessedLast: 03/02/2011 04:05:06",
                            "AccessCount: 1", "AllowedAccess: Private"}));
}

// Arguments are readable by every local user in /proc: no secret is taken from them.
TEST_F(EntryCommands, AddRefusesAPasswordGivenAsAnArgumentAndSaysHow) {
    createAccount();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"add", "--title", "Bank", "--password", "s3cret"},
          {"add", "--title", "Bank", "--password=s3cret"},
          {"add", "--passphrase", "a b c", "--title", "Bank"}}) {
        const CliResult r = tool(args);
        EXPECT_EQ(r.code, 2) << args[3];
        EXPECT_NE(r.err.find("every local user can read"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--with-password"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--password-stdin"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("s3cret"), std::string::npos) << r.err;
    }
    // Nor before the command; and after "--" it is no option at all.
    CliResult r = run({"--folder", dir.path(), "--user", kUser, "--password=Secret1", "list"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("every local user can read"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Secret1"), std::string::npos) << r.err;
    EXPECT_EQ(tool({"add", "--title", "Bank", "--", "--password"}).err,
              "Unexpected argument \"--password\".\nRun 'vorkel-cli add --help' for its usage.\n");
    EXPECT_EQ(tool({"list"}).out, lines(kSampleTitles));
}

// Without --password-stdin, both passwords are typed at the terminal, the entry's second.
TEST_F(EntryCommands, AddReadsTheEntryPasswordFromTheTerminal) {
    createAccount();
    terminal.answers = {kPassword, "typed secret"};
    CliResult r =
        run({"--folder", dir.path(), "--user", kUser, "add", "--title", "Bank", "--with-password"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(terminal.prompts.back(), "Entry password: ");
    EXPECT_NE(tool({"show", "4"}).out.find("\nPassword: typed secret\n"), std::string::npos);
    // Without the flag nothing more is asked, and the entry has no password.
    terminal.prompts.clear();
    terminal.answers = {kPassword};
    r = run({"--folder", dir.path(), "--user", kUser, "add", "--title", "Other"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(terminal.prompts.size(), 1u);
    EXPECT_NE(tool({"show", "5"}).out.find("\nPassword: \n"), std::string::npos);
}

// A FIFO in the store's place once made `list` wait for ever for a writer.
TEST_F(EntryCommands, AStoreThatIsNoRegularFileIsAClearError) {
    createAccount();
    ASSERT_EQ(std::remove(storePath().c_str()), 0);
    ASSERT_EQ(::mkfifo(storePath().c_str(), 0600), 0);
    const CliResult r = tool({"list"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "Cannot read file \"" + storePath() + "\". It is not a regular file.\n");
}

TEST_F(EntryCommands, AddWithTitleOnlyLeavesTheRestEmpty) {
    createAccount();
    ASSERT_EQ(tool({"add", "--title", ""}).code, 0);
    ASSERT_EQ(tool({"add", "--title=Second"}).code, 0);
    const CliResult r = tool({"show", "4"});
    EXPECT_EQ(r.out.substr(0, 24), "Title: \nDetail: \nPasswor");
    EXPECT_NE(r.out.find("\nUsername: \nEmail: \nWebURL: \n"), std::string::npos);
    EXPECT_EQ(tool({"show", "5"}).out.substr(0, 14), "Title: Second\n");
}

TEST_F(EntryCommands, SearchPrintsPositionAndTitleOfEachHit) {
    createAccount();
    CliResult r = tool({"search", "Yahoo"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "3\tYahoo!\n");
    // Found in the notes only.
    r = tool({"search", "thumb DRIVE"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "0\tA Sample Entry\n");
    r = tool({"search", "sample"});
    EXPECT_EQ(r.out,
              "0\tA Sample Entry\n1\tGoogle Email (Gmail)\n2\tWindows Live (Hotmail)\n3\tYahoo!\n");
}

TEST_F(EntryCommands, SearchMissExitsOne) {
    createAccount();
    for (const std::string text : {"zzz", "", "example.com", "type password here"}) {
        const CliResult r = tool({"search", text});
        EXPECT_EQ(r.code, 1) << text;  // user name, e-mail and password are never searched
        EXPECT_EQ(r.out, "") << text;
        EXPECT_EQ(r.err, "") << text;
    }
}

TEST_F(EntryCommands, SearchUsesDocumentPositions) {
    createAccount();
    importFruit();
    EXPECT_EQ(tool({"search", "an"}).out, "0\tbanana\n");
    EXPECT_EQ(tool({"search", "e"}).out, "1\tApple\n2\tcherry\n");
}

TEST_F(EntryCommands, GenerateCutsTheGeneratedText) {
    createAccount();
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8};
    FixedRandom expectedSource(bytes);
    const std::string whole = GeneratePassword(expectedSource, clock, kPassword);
    ASSERT_EQ(whole.size(), 28u);  // 19 bytes of "25/12/2010 14:03:59"

    FixedRandom source(bytes);
    CliResult r =
        runWith(source, {"--folder", dir.path(), "--user", "alice", "--password-stdin", "generate"},
                "Secret1\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, cutPassword(whole, 8) + "\n");

    FixedRandom again(bytes);
    r = runWith(again,
                {"--folder", dir.path(), "--user", "alice", "--password-stdin", "generate",
                 "--length", "13"},
                "Secret1\n");
    EXPECT_EQ(r.out, whole.substr(0, 13) + "\n");

    FixedRandom longer(bytes);
    r = runWith(longer,
                {"--folder", dir.path(), "--user", "alice", "--password-stdin", "generate",
                 "--length", "40"},
                "Secret1\n");
    EXPECT_EQ(r.out, whole + "\n");
}

TEST_F(EntryCommands, GenerateKeysWithTheMasterPasswordNotTheLogonText) {
    createAccount();
    const std::vector<std::uint8_t> bytes = {9, 9, 9, 9, 9, 9, 9, 9};
    FixedRandom a(bytes), b(bytes);
    // Both splits open the account; only the master password half seeds the generator.
    const CliResult whole =
        runWith(a, {"--folder", dir.path(), "--user", "alice", "--password-stdin", "generate"},
                "Secret1\n");
    const CliResult split =
        runWith(b, {"--folder", dir.path(), "--user", "alic", "--password-stdin", "generate"},
                "eSecret1\n");
    ASSERT_EQ(whole.code, 0);
    ASSERT_EQ(split.code, 0);
    EXPECT_NE(whole.out, split.out);
    EXPECT_EQ(whole.out.size(), 9u);
}
