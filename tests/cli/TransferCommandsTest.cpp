// export, import, backup and restore, and what every command does with a damaged store or a
// folder it cannot write.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <nlohmann/json.hpp>

#include "cli/CliFixture.h"
#include "core/storage/AtomicFile.h"

using namespace vorkel;
using namespace vorkel::test;

namespace {

class TransferCommands : public CliFixture {
protected:
    std::string files() { return readFile(storePath()) + "|" + readFile(settingsPath()); }

    // The samples plus entries whose texts need escaping in XML and in JSON.
    void createAccountWithAwkwardEntries() {
        createAccount();
        ASSERT_EQ(tool({"add", "--title", "Quotes \"&\" <tags>", "--notes",
                        "CR LF\r\nlone CR\rLF CR\n\r\ttab", "--with-password"},
                       "\\back\\slash/\n")
                      .code,
                  0);
        ASSERT_EQ(tool({"add", "--title", "Ünïcödé \xE2\x82\xAC \xF0\x9F\x94\x91", "--username",
                        "  blanks  "})
                      .code,
                  0);
    }
};

}  // namespace

TEST_F(TransferCommands, ExportWritesEveryEntryWithTheEighteenKeysInDocumentOrder) {
    createAccountWithAwkwardEntries();
    const CliResult r = tool({"export"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.back(), '\n');

    const auto document = nlohmann::ordered_json::parse(r.out);
    ASSERT_TRUE(document.is_array());
    ASSERT_EQ(document.size(), 6u);
    for (const auto& item : document) {
        std::vector<std::string> keys;
        for (const auto& [key, value] : item.items()) {
            keys.push_back(key);
            EXPECT_TRUE(value.is_string()) << key;
        }
        EXPECT_EQ(keys, kAttributeNames);
    }
    EXPECT_EQ(document[0]["Title"], "A Sample Entry");
    EXPECT_EQ(document[0]["Email"], "your.name@example.com");
    EXPECT_EQ(document[3]["CreatedBy"], "alice");
    EXPECT_EQ(document[4]["Title"], "Quotes \"&\" <tags>");
    EXPECT_EQ(document[4]["Detail"], "CR LF\r\nlone CR\rLF CR\n\r\ttab");
    EXPECT_EQ(document[4]["Password"], "\\back\\slash/");
    EXPECT_EQ(document[5]["Title"], "Ünïcödé \xE2\x82\xAC \xF0\x9F\x94\x91");
    EXPECT_EQ(document[5]["Username"], "  blanks  ");
    // Text is written as UTF-8, not as escapes, and indented two blanks.
    EXPECT_NE(r.out.find("\"Title\": \"Ünïcödé"), std::string::npos);
    EXPECT_EQ(r.out.substr(0, 17), "[\n  {\n    \"Title\"");
}

TEST_F(TransferCommands, ExportImportRoundTripIsByteIdentical) {
    createAccountWithAwkwardEntries();
    const std::string first = tool({"export"}).out;
    writeFile(dir.file("entries.json"), first);

    const std::string before = files();
    CliResult r = tool({"import", dir.file("entries.json")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string afterFile = files();
    EXPECT_NE(afterFile, before);  // both files were written again
    EXPECT_EQ(tool({"export"}).out, first);

    r = tool({"import", "-"}, first);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(tool({"export"}).out, first);
}

TEST_F(TransferCommands, ImportReplacesTheListAndBothFiles) {
    createAccount();
    const std::string settingsBefore = readFile(settingsPath());
    const std::string storeBefore = readFile(storePath());
    const std::string json =
        "["
        "{\"Title\":\"Zeta\",\"Detail\":\"\",\"Password\":\"z\",\"Passphrase\":\"\","
        "\"CreateDate\":\"01/01/2001\",\"EditDate\":\"\",\"Type\":\"\",\"Expires\":\"\","
        "\"Username\":\"\",\"Email\":\"z@z\",\"WebURL\":\"https://z/\",\"CreatedBy\":\"x\","
        "\"ModifiedBy\":\"\",\"ModifyCount\":\"not a number\",\"AccessedBy\":\"\","
        "\"AccessedLast\":\"\",\"AccessCount\":\"7\",\"AllowedAccess\":\"\"},"
        "{\"AllowedAccess\":\"\",\"AccessCount\":\"\",\"AccessedLast\":\"\",\"AccessedBy\":\"\","
        "\"ModifyCount\":\"\",\"ModifiedBy\":\"\",\"CreatedBy\":\"\",\"WebURL\":\"\",\"Email\":"
        "\"\","
        "\"Username\":\"\",\"Expires\":\"\",\"Type\":\"\",\"EditDate\":\"\",\"CreateDate\":\"\","
        "\"Passphrase\":\"\",\"Password\":\"\",\"Detail\":\"\",\"Title\":\"Alpha\"}"
        "]";
    const CliResult r = tool({"import", "-"}, json);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(readFile(settingsPath()), settingsBefore);
    EXPECT_NE(readFile(storePath()), storeBefore);
    EXPECT_EQ(tool({"list"}).out, lines({"Zeta", "Alpha"}));
    const std::string shown = tool({"show", "0"}).out;
    EXPECT_NE(shown.find("\nEmail: z@z\nWebURL: https://z/\n"), std::string::npos);
    EXPECT_NE(shown.find("\nModifyCount: not a number\n"), std::string::npos);
    // Key order in the input does not matter; the export has document order again.
    const auto exported = nlohmann::ordered_json::parse(tool({"export"}).out);
    EXPECT_EQ(exported[1].begin().key(), "Title");
}

TEST_F(TransferCommands, ImportFaultsNameTheirPlaceAndWriteNothing) {
    createAccount();
    const std::string good = tool({"export"}).out;
    auto withEntry = [&](std::size_t position,
                         const std::function<void(nlohmann::ordered_json&)>& change) {
        auto document = nlohmann::ordered_json::parse(good);
        change(document[position]);
        return document.dump();
    };
    struct Case {
        std::string json;
        std::string message;
    };
    const std::vector<Case> cases = {
        {withEntry(2, [](auto& e) { e.erase("WebURL"); }),
         "Entry at position 2 lacks the key \"WebURL\"."},
        {withEntry(0, [](auto& e) { e.erase("Title"); }),
         "Entry at position 0 lacks the key \"Title\"."},
        {withEntry(3, [](auto& e) { e.erase("AllowedAccess"); }),
         "Entry at position 3 lacks the key \"AllowedAccess\"."},
        {withEntry(1, [](auto& e) { e["Title"] = 5; }),
         "Entry at position 1: the value of \"Title\" is not a string."},
        {withEntry(1, [](auto& e) { e["Detail"] = nullptr; }),
         "Entry at position 1: the value of \"Detail\" is not a string."},
        {withEntry(3, [](auto& e) { e["Colour"] = "red"; }),
         "Entry at position 3 has a key that is not a field name."},
        {withEntry(2, [](auto& e) { e["Detail"] = "bell\x07"; }),
         "Entry at position 2: the value of \"Detail\" holds characters a data store cannot "
         "carry."},
        {"[{}, 1]", "Entry at position 0 lacks the key \"Title\"."},
        {"[1]", "Entry at position 0 is not a JSON object."},
        {"{\"Title\": \"x\"}", "The import must be a JSON array of entries."},
        {"\"text\"", "The import must be a JSON array of entries."},
    };
    const std::string before = files();
    for (const auto& c : cases) {
        const CliResult r = tool({"import", "-"}, c.json);
        EXPECT_EQ(r.code, 3) << c.message;
        EXPECT_EQ(r.err, c.message + "\n");
        EXPECT_EQ(r.out, "");
    }
    for (const std::string broken : {"", "[", "[{\"Title\":\"x\"", "[] trailing", "[\"\xFF\"]"}) {
        const CliResult r = tool({"import", "-"}, broken);
        EXPECT_EQ(r.code, 3) << broken;
        EXPECT_EQ(r.err.rfind("The import is not valid JSON: ", 0), 0u) << r.err;
    }
    EXPECT_EQ(files(), before);
    EXPECT_EQ(tool({"list"}).out, lines(kSampleTitles));
}

TEST_F(TransferCommands, ImportFileThatCannotBeReadIsAnError) {
    createAccount();
    const std::string before = files();
    CliResult r = tool({"import", dir.file("absent.json")});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Cannot open file \"" + dir.file("absent.json") + "\". No such file or directory\n");
    r = tool({"import", dir.path()});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "Cannot read file \"" + dir.path() + "\". Is a directory\n");
    EXPECT_EQ(files(), before);
}

TEST_F(TransferCommands, BackupWritesAStoreAndLeavesTheFolderAlone) {
    createAccount();
    const std::string before = files();
    const CliResult r = tool({"backup", dir.file("Vorkel10-12-25.xdb")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(files(), before);
    ASSERT_TRUE(fileExists(dir.file("Vorkel10-12-25.xdb")));
    EXPECT_EQ(readFile(dir.file("Vorkel10-12-25.xdb")).size(), readFile(storePath()).size());
}

TEST_F(TransferCommands, RestoreBringsBackTheBackupsEntriesInItsOrderAndSaves) {
    createAccount();
    ASSERT_EQ(tool({"add", "--title", "Bank"}).code, 0);
    ASSERT_EQ(tool({"add", "--title", "0 Early"}).code, 0);
    ASSERT_EQ(tool({"backup", dir.file("b.xdb")}).code, 0);
    ASSERT_EQ(tool({"import", "--force", "-"}, "[]").code, 0);
    ASSERT_EQ(tool({"list"}).out, "");

    const CliResult r = tool({"restore", dir.file("b.xdb")});
    ASSERT_EQ(r.code, 0) << r.err;
    auto titles = kSampleTitles;
    titles.push_back("Bank");
    titles.push_back("0 Early");
    EXPECT_EQ(tool({"list"}).out, lines(titles));
}

TEST_F(TransferCommands, RestoringAnEmptyBackupLeavesTheSamples) {
    createAccount();
    ASSERT_EQ(tool({"import", "--force", "-"}, "[]").code, 0);
    ASSERT_EQ(tool({"backup", dir.file("empty.xdb")}).code, 0);
    ASSERT_EQ(tool({"restore", dir.file("empty.xdb")}).code, 0);
    EXPECT_EQ(tool({"list"}).out, lines(kSampleTitles));
}

TEST_F(TransferCommands, RestoreThatFailsChangesNothing) {
    createAccount();
    ASSERT_EQ(tool({"add", "--title", "Bank"}).code, 0);
    ASSERT_EQ(tool({"backup", dir.file("old.xdb")}).code, 0);
    ASSERT_EQ(tool({"passwd"}, "NewPass\n").code, 0);
    const std::string before = files();

    // A backup made under the previous password does not open under the new one.
    CliResult r = as(kUser, "NewPass", {"restore", dir.file("old.xdb")});
    EXPECT_EQ(r.code, 3);
    EXPECT_FALSE(r.err.empty());
    r = as(kUser, "NewPass", {"restore", dir.file("absent.xdb")});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Cannot open file \"" + dir.file("absent.xdb") + "\". No such file or directory\n");
    writeFile(dir.file("junk.xdb"), "short");
    EXPECT_EQ(as(kUser, "NewPass", {"restore", dir.file("junk.xdb")}).code, 3);

    EXPECT_EQ(files(), before);
    auto titles = kSampleTitles;
    titles.push_back("Bank");
    EXPECT_EQ(as(kUser, "NewPass", {"list"}).out, lines(titles));
}

TEST_F(TransferCommands, DamagedStoreFailsEveryLoadingCommandAndIsLeftAsItIs) {
    createAccount();
    std::string store = readFile(storePath());
    for (std::size_t i = 8; i < 40; ++i) store[i] = static_cast<char>(store[i] ^ 0xA5);
    writeFile(storePath(), store);
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
                                                            {"restore", dir.file("import.json")}};
    for (const auto& command : commands) {
        const CliResult r = tool(command, "NewPass\n");
        EXPECT_EQ(r.code, 3) << command[0];
        EXPECT_FALSE(r.err.empty()) << command[0];
        EXPECT_EQ(r.out, "") << command[0];
    }
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(fileExists(dir.file("b.xdb")));
    // The logon itself only needs the settings file.
    EXPECT_EQ(tool({"verify"}).code, 0);
}

TEST_F(TransferCommands, InitIntoAMissingFolderFailsWithTheFileError) {
    const std::string folder = dir.file("missing");
    const CliResult r =
        run({"--folder", folder, "--user", "alice", "--password-stdin", "init"}, "Secret1\n");
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              "Cannot create file \"" + folder + "/.Vorkel4.lock\". No such file or directory\n");
    EXPECT_FALSE(fileExists(folder));
}

TEST_F(TransferCommands, InitIntoAFileFailsWithTheFileError) {
    const std::string notAFolder = dir.file("plain");
    writeFile(notAFolder, "x");
    const CliResult r =
        run({"--folder", notAFolder, "--user", "alice", "--password-stdin", "init"}, "Secret1\n");
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "Cannot create file \"" + notAFolder + "/.Vorkel4.lock\". Not a directory\n");
    EXPECT_EQ(readFile(notAFolder), "x");
}

TEST_F(TransferCommands, LogonInAMissingFolderIsRefused) {
    const CliResult r =
        run({"--folder", dir.file("missing"), "--user", "alice", "--password-stdin", "list"},
            "Secret1\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "The logon details you entered are incorrect.\n");
}

TEST_F(TransferCommands, BackupToAPlaceThatCannotBeWrittenFails) {
    createAccount();
    const std::string before = files();
    CliResult r = tool({"backup", dir.file("missing/b.xdb")});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "Cannot create file \"" + dir.file("missing/b.xdb") +
                         "\". No such file or directory\n");
    std::filesystem::create_directory(dir.file("sub"));
    r = tool({"backup", dir.file("sub")});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err.rfind("Cannot create file \"" + dir.file("sub") + "\". ", 0), 0u) << r.err;
    EXPECT_EQ(files(), before);
}
