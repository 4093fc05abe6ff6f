// import --from: other managers' exports added to the store, and export --format csv.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliFixture.h"
#include "core/transfer/TransferFixture.h"

using namespace vorkel;
using namespace vorkel::test;

namespace {

class ImportFrom : public CliFixture {
protected:
    ScopedTimeZone zone;

    std::string files() { return readFile(storePath()) + "|" + readFile(settingsPath()); }
    static std::string sampleFile(const std::string& name) {
        return std::string(VORKEL_TEST_DATA) + "/import/" + name;
    }
    // The store's entries as export gives them.
    nlohmann::json entries() {
        const CliResult r = tool({"export"});
        EXPECT_EQ(r.code, 0) << r.err;
        return nlohmann::json::parse(r.out);
    }
    std::vector<std::string> titles() {
        std::vector<std::string> out;
        for (const auto& e : entries()) out.push_back(e["Title"]);
        return out;
    }
};

}  // namespace

TEST_F(ImportFrom, AddsAfterTheExistingEntriesAndLeavesTheSourceAlone) {
    createAccount();
    const std::string source = readFile(sampleFile("keepassxc.csv"));
    const CliResult r = tool({"import", "--from", "keepassxc-csv", sampleFile("keepassxc.csv")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Added: row 2: Mail, personal (anna@example.org) https://mail.example.org/login\n"
              "Added: row 3: Пример (иван) https://пример.example/\n"
              "Added: row 4: shop.example.com (bob) https://shop.example.com:8443/cart?x=1\n"
              "Added 3 entries, skipped 0 duplicates.\n");
    EXPECT_EQ(readFile(sampleFile("keepassxc.csv")), source);

    std::vector<std::string> expected = kSampleTitles;
    expected.insert(expected.end(), {"Mail, personal", "Пример", "shop.example.com"});
    EXPECT_EQ(titles(), expected);
    const auto mail = entries()[4];
    EXPECT_EQ(mail["Email"], "anna@example.org");
    EXPECT_EQ(mail["Password"], "pa\"ss,word");
    EXPECT_EQ(mail["Detail"],
              "first line\r\nsecond line\r\nGroup: Root/Mail\r\n"
              "TOTP: otpauth://totp/x?secret=JBSWY3DPEHPK3PXP\r\nIcon: 0\r\n");
    EXPECT_EQ(mail["CreateDate"], "02/01/2020 05:04:05");
    EXPECT_EQ(mail["EditDate"], "04/03/2021 12:20:30");
    EXPECT_EQ(mail["CreatedBy"], "alice");
    EXPECT_EQ(mail["AccessedLast"], "25/12/2010 14:03:59");
    EXPECT_EQ(mail["AllowedAccess"], "Private");
}

TEST_F(ImportFrom, EveryFormatImportsItsSample) {
    createAccount();
    const std::vector<std::pair<std::string, std::string>> runs = {
        {"bitwarden-csv", "bitwarden.csv"},
        {"bitwarden-json", "bitwarden.json"},
        {"chromium-csv", "chromium.csv"},
        {"firefox-csv", "firefox.csv"}};
    for (const auto& [format, file] : runs) {
        const CliResult r = tool({"import", "--from", format, sampleFile(file)});
        EXPECT_EQ(r.code, 0) << format << ": " << r.err;
    }
    std::vector<std::string> expected = kSampleTitles;
    expected.insert(expected.end(),
                    {"Forum", "Wi-Fi at home",
                     "Bank \xE2\x80\x93 \xC3\x9C"
                     "berweisung",
                     "Locker", "Visa", "accounts.example.com", "nameless.example.org", "東京",
                     "login.example.com", "intranet.example.com"});
    EXPECT_EQ(titles(), expected);
    EXPECT_EQ(entries()[6]["Email"], "erika@example.de");
}

TEST_F(ImportFrom, StandardInputAfterThePasswordLine) {
    createAccount();
    const CliResult r = tool({"import", "--from", "chromium-csv", "-"},
                             "name,url,username,password\nStdin,https://s.example,u,p\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(titles().back(), "Stdin");
}

TEST_F(ImportFrom, AnyFaultRefusesWithItsRowAndWritesNothing) {
    createAccount();
    const std::string before = files();
    struct Case {
        std::string format, file, message;
    };
    const std::vector<Case> cases = {
        {"keepassxc-csv", "keepassxc-malformed.csv",
         "Row 3: text follows the closing quote of a field."},
        {"firefox-csv", "firefox-latin1.csv",
         "Row 2: the text is not UTF-8; export the file again as UTF-8."},
        {"bitwarden-csv", "bitwarden-unknown-column.csv",
         "Row 1: the column \"passkey\" is not one of a bitwarden-csv export."},
        {"bitwarden-json", "bitwarden-malformed.json", "Item 2: \"name\" is not a string."},
        {"bitwarden-json", "bitwarden-encrypted.json",
         "The file is an encrypted export, which only its own program can read. Export again "
         "choosing the unencrypted JSON format, import that, then delete it."},
        {"chromium-csv", "firefox.csv",
         "Row 1: the column \"httpRealm\" is not one of a chromium-csv export."},
    };
    for (const auto& c : cases) {
        const CliResult r = tool({"import", "--from", c.format, sampleFile(c.file)});
        EXPECT_EQ(r.code, 3) << c.file;
        EXPECT_EQ(r.err, c.message + "\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(files(), before);
}

TEST_F(ImportFrom, DuplicatesAreReportedAndSkippedUnlessKept) {
    createAccount();
    ASSERT_EQ(tool({"import", "--from", "chromium-csv", sampleFile("chromium.csv")}).code, 0);
    const std::string before = files();
    CliResult r = tool({"import", "--from", "chromium-csv", sampleFile("chromium.csv")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Skipped, already present: row 2: accounts.example.com (frank@example.com) "
              "https://accounts.example.com/signin\n"
              "Skipped, already present: row 3: nameless.example.org (gina) "
              "https://nameless.example.org/\n"
              "Skipped, already present: row 4: 東京 (太郎) https://東京.example.jp/\n"
              "Added 0 entries, skipped 3 duplicates.\n");
    EXPECT_EQ(files(), before);  // nothing to add, nothing written

    r = tool({"import", "--from", "chromium-csv", "--keep-duplicates", sampleFile("chromium.csv")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(titles().size(), kSampleTitles.size() + 6);
}

TEST_F(ImportFrom, DryRunPrintsWhatWouldBeAddedAndWritesNothing) {
    createAccount();
    ASSERT_EQ(tool({"import", "--from", "firefox-csv", sampleFile("firefox.csv")}).code, 0);
    const std::string before = files();
    const CliResult r =
        tool({"import", "--from", "keepassxc-csv", "--dry-run", sampleFile("keepassxc-old.csv")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Would add: row 2: Old style (u) https://old.example\n"
              "Would add 1 entry, skipped 0 duplicates. Nothing was written.\n");
    EXPECT_EQ(files(), before);
}

TEST_F(ImportFrom, WrongPasswordAddsNothing) {
    createAccount();
    const std::string before = files();
    const CliResult r =
        as(kUser, "wrong", {"import", "--from", "chromium-csv", sampleFile("chromium.csv")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(files(), before);
}

TEST_F(ImportFrom, CommandLineMistakesAreUsageErrors) {
    createAccount();
    const std::string file = sampleFile("chromium.csv");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"import", "--from", "lastpass-csv", file},
         "Unknown format \"lastpass-csv\"; one of keepassxc-csv, bitwarden-json, bitwarden-csv, "
         "chromium-csv, firefox-csv."},
        {{"import", "--from", "chromium-csv", "--force", file},
         "--force only goes with an import without --from."},
        {{"import", "--dry-run", file}, "--dry-run and --keep-duplicates go with --from FORMAT."},
        {{"import", "--keep-duplicates", file},
         "--dry-run and --keep-duplicates go with --from FORMAT."},
        {{"export", "--format", "xml"}, "Unknown export format \"xml\"; one of json, csv."},
    };
    for (const auto& [args, message] : cases) {
        const CliResult r = tool(args);
        EXPECT_EQ(r.code, 2) << message;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), message);
    }
}

TEST_F(ImportFrom, CsvExportImportsIntoAnotherFolder) {
    createAccount();
    ASSERT_EQ(tool({"import", "--from", "bitwarden-json", sampleFile("bitwarden.json")}).code, 0);
    const CliResult exported = tool({"export", "--format", "csv"});
    ASSERT_EQ(exported.code, 0) << exported.err;
    const std::string csvPath = dir.file("out.csv");
    writeFile(csvPath, exported.out);
    // Into a second account in the same folder's place: a fresh folder.
    TempDir other;
    auto inOther = [&](std::vector<std::string> command) {
        std::vector<std::string> args = {"--folder", other.path(), "--user", "bob",
                                         "--password-stdin"};
        args.insert(args.end(), command.begin(), command.end());
        return run(args, "Pw\n");
    };
    ASSERT_EQ(inOther({"init"}).code, 0);
    const CliResult r = inOther({"import", "--from", "keepassxc-csv", csvPath});
    ASSERT_EQ(r.code, 0) << r.err;
    // The samples of the new account are the same titles, users and addresses: skipped.
    EXPECT_NE(r.out.find("skipped 4 duplicates"), std::string::npos) << r.out;
    const auto back = nlohmann::json::parse(inOther({"export"}).out);
    const auto mine = entries();
    ASSERT_EQ(back.size(), mine.size());
    for (std::size_t i = 4; i < mine.size(); ++i) {
        for (const char* key :
             {"Title", "Username", "Password", "WebURL", "CreateDate", "EditDate"})
            EXPECT_EQ(back[i][key], mine[i][key]) << i << key;
        EXPECT_EQ(back[i]["CreatedBy"], "bob");
    }
}
