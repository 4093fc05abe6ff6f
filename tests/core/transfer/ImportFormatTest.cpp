// Each format read from a small hand-made file written from its documented columns.
#include "core/transfer/ImportFormat.h"

#include "core/Error.h"
#include "core/transfer/TransferFixture.h"

using namespace vorkel;
using namespace vorkel::test;

namespace {

class ImportFormats : public FixedZone {
protected:
    static std::string faultOf(ImportFormat format, std::string_view text) {
        try {
            readExport(format, text);
        } catch (const Error& e) {
            return e.what();
        }
        return "";
    }
    static std::string local(const std::optional<LocalDateTime>& t) {
        return t ? formatDateTime(*t) : "none";
    }
    using Extras = std::vector<std::pair<std::string, std::string>>;
};

}  // namespace

TEST_F(ImportFormats, NamesSelectTheFormats) {
    EXPECT_EQ(importFormatNamed("keepassxc-csv"), ImportFormat::KeePassXcCsv);
    EXPECT_EQ(importFormatNamed("bitwarden-json"), ImportFormat::BitwardenJson);
    EXPECT_EQ(importFormatNamed("bitwarden-csv"), ImportFormat::BitwardenCsv);
    EXPECT_EQ(importFormatNamed("chromium-csv"), ImportFormat::ChromiumCsv);
    EXPECT_EQ(importFormatNamed("firefox-csv"), ImportFormat::FirefoxCsv);
    EXPECT_FALSE(importFormatNamed("KeePassXC-CSV"));
    EXPECT_FALSE(importFormatNamed("csv"));
}

TEST_F(ImportFormats, KeePassXcWithTimeColumns) {
    const auto entries = readExport(ImportFormat::KeePassXcCsv, sample("keepassxc.csv"));
    ASSERT_EQ(entries.size(), 3u);
    const ImportedEntry& mail = entries[0];
    EXPECT_EQ(mail.row, 2u);
    EXPECT_EQ(mail.title, "Mail, personal");
    EXPECT_EQ(mail.username, "anna@example.org");
    EXPECT_EQ(mail.password, "pa\"ss,word");
    EXPECT_EQ(mail.url, "https://mail.example.org/login");
    EXPECT_EQ(mail.notes, "first line\r\nsecond line");
    EXPECT_EQ(local(mail.created), "02/01/2020 05:04:05");
    EXPECT_EQ(local(mail.modified), "04/03/2021 12:20:30");
    EXPECT_EQ(mail.extras, (Extras{{"Group", "Root/Mail"},
                                   {"TOTP", "otpauth://totp/x?secret=JBSWY3DPEHPK3PXP"},
                                   {"Icon", "0"}}));
    EXPECT_EQ(entries[1].title, "Пример");
    EXPECT_EQ(entries[1].username, "иван");
    EXPECT_EQ(entries[1].row, 3u);  // rows count records, not lines
    EXPECT_FALSE(entries[1].created);
    EXPECT_EQ(entries[2].title, "");  // the mapping gives it the host later
}

TEST_F(ImportFormats, KeePassXcOlderExportWithoutTimeColumns) {
    const auto entries = readExport(ImportFormat::KeePassXcCsv, sample("keepassxc-old.csv"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].title, "Old style");
    EXPECT_EQ(entries[0].notes, "n");
    EXPECT_FALSE(entries[0].modified);
}

TEST_F(ImportFormats, HeaderMustBeTheFormats) {
    EXPECT_EQ(faultOf(ImportFormat::KeePassXcCsv, ""), "The file is empty: it has no header row.");
    EXPECT_EQ(faultOf(ImportFormat::KeePassXcCsv, "Group,Title,Username,Password,URL\n"),
              "Row 1: the column \"Notes\" of a keepassxc-csv export is missing.");
    EXPECT_EQ(faultOf(ImportFormat::ChromiumCsv, "name,url,username,password,name\n"),
              "Row 1: the column \"name\" appears twice.");
    EXPECT_EQ(faultOf(ImportFormat::BitwardenCsv, sample("bitwarden-unknown-column.csv")),
              "Row 1: the column \"passkey\" is not one of a bitwarden-csv export.");
    // A file of another format is refused by its header, not guessed at.
    EXPECT_EQ(faultOf(ImportFormat::ChromiumCsv, sample("firefox.csv")),
              "Row 1: the column \"httpRealm\" is not one of a chromium-csv export.");
}

TEST_F(ImportFormats, MalformedRowsNameTheirRow) {
    EXPECT_EQ(faultOf(ImportFormat::KeePassXcCsv, sample("keepassxc-malformed.csv")),
              "Row 3: text follows the closing quote of a field.");
    EXPECT_EQ(faultOf(ImportFormat::ChromiumCsv, "name,url,username,password\na,b,c\n"),
              "Row 2: it has 3 fields, the header 4.");
    EXPECT_EQ(faultOf(ImportFormat::FirefoxCsv, sample("firefox-bad-time.csv")),
              "Row 2: \"yesterday\" in timeCreated is not a time in milliseconds.");
    EXPECT_EQ(faultOf(ImportFormat::FirefoxCsv, sample("firefox-latin1.csv")),
              "Row 2: the text is not UTF-8; export the file again as UTF-8.");
    EXPECT_EQ(faultOf(ImportFormat::KeePassXcCsv,
                      "Group,Title,Username,Password,URL,Notes,Created\nR,T,u,p,w,n,last week\n"),
              "Row 2: \"last week\" in Created is not an ISO 8601 date and time.");
    EXPECT_EQ(faultOf(ImportFormat::BitwardenCsv,
                      "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,"
                      "login_password,login_totp\n,,card,x,,,0,,,,\n"),
              "Row 2: the type \"card\" is neither login nor note.");
}

TEST_F(ImportFormats, BitwardenCsvLoginsAndNotes) {
    const auto entries = readExport(ImportFormat::BitwardenCsv, sample("bitwarden.csv"));
    ASSERT_EQ(entries.size(), 2u);
    const ImportedEntry& forum = entries[0];
    EXPECT_EQ(forum.title, "Forum");
    EXPECT_EQ(forum.url, "https://forum.example.net");
    EXPECT_EQ(forum.username, "carol@example.net");
    EXPECT_EQ(forum.password, "c,\"q\"");
    EXPECT_EQ(forum.notes, "line one\nline two");
    EXPECT_EQ(forum.extras, (Extras{{"URL", "https://m.forum.example.net"},
                                    {"Folder", "Social"},
                                    {"Favorite", "yes"},
                                    {"TOTP", "JBSWY3DPEHPK3PXP"},
                                    {"", "PIN: 1234\nSecurity question: blue"}}));
    EXPECT_EQ(entries[1].title, "Wi-Fi at home");
    EXPECT_EQ(entries[1].notes, "SSID: home, key: 12345");
    EXPECT_EQ(entries[1].extras, (Extras{{"Type", "secure note"}}));
}

TEST_F(ImportFormats, BitwardenCsvKnownNewerColumnIsKept) {
    const auto entries = readExport(ImportFormat::BitwardenCsv, sample("bitwarden-archived.csv"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].extras, (Extras{{"Archived", "2024-05-06T07:08:09.000Z"}}));
}

TEST_F(ImportFormats, BitwardenJsonLoginsNotesAndCards) {
    const auto entries = readExport(ImportFormat::BitwardenJson, sample("bitwarden.json"));
    ASSERT_EQ(entries.size(), 3u);
    const ImportedEntry& bank = entries[0];
    EXPECT_EQ(bank.row, 1u);
    EXPECT_EQ(bank.title,
              "Bank \xE2\x80\x93 \xC3\x9C"
              "berweisung");
    EXPECT_EQ(bank.username, "erika@example.de");
    EXPECT_EQ(bank.password, "Z\xC3\xBCrich\"1,2");
    EXPECT_EQ(bank.url, "https://bank.example.de/");
    EXPECT_EQ(bank.notes, "Branch 12\nDesk 3");
    EXPECT_EQ(local(bank.created), "02/01/2021 05:04:05");
    EXPECT_EQ(local(bank.modified), "07/06/2022 10:09:10");
    EXPECT_EQ(bank.extras, (Extras{{"Folder", "Banking"},
                                   {"Favorite", "yes"},
                                   {"URL", "https://app.bank.example.de/"},
                                   {"Customer no", "998877"}}));
    EXPECT_EQ(entries[1].extras, (Extras{{"Type", "secure note"}}));
    EXPECT_EQ(entries[2].extras, (Extras{{"Type", "card"},
                                         {"brand", "Visa"},
                                         {"cardholderName", "Erika M"},
                                         {"code", "123"},
                                         {"expMonth", "4"},
                                         {"expYear", "2029"},
                                         {"number", "4111111111111111"}}));
}

TEST_F(ImportFormats, BitwardenJsonEncryptedOrMalformedIsRefused) {
    EXPECT_EQ(faultOf(ImportFormat::BitwardenJson, sample("bitwarden-encrypted.json")),
              "The file is an encrypted export, which only its own program can read. Export "
              "again choosing the unencrypted JSON format, import that, then delete it.");
    EXPECT_EQ(faultOf(ImportFormat::BitwardenJson, sample("bitwarden-malformed.json")),
              "Item 2: \"name\" is not a string.");
    EXPECT_EQ(faultOf(ImportFormat::BitwardenJson, "{\"items\": [}"),
              "The file is not JSON (at byte 12).");
    EXPECT_EQ(faultOf(ImportFormat::BitwardenJson, "[]"),
              "The file is not a JSON export: it is not an object.");
    // Found by fuzzing: a number beyond any type ended the program; it is a plain fault now,
    // and the message does not quote it.
    EXPECT_EQ(faultOf(ImportFormat::BitwardenJson,
                      R"({"encrypted": false, "folders": 5555555555000000000744347293e4046})"),
              "The file is not JSON that can be read: it holds a number out of range.");
    EXPECT_EQ(faultOf(ImportFormat::BitwardenJson, "{\"encrypted\": false}"),
              "The file is not a JSON export: it has no \"items\" list.");
    EXPECT_EQ(faultOf(ImportFormat::BitwardenJson, R"({"items": [{"type": 9}]})"),
              "Item 1: the type 9 is unknown.");
    EXPECT_EQ(faultOf(ImportFormat::BitwardenJson, R"({"items": [{"type": 1, "folderId": "x"}]})"),
              "Item 1: its folder \"x\" is not listed.");
    EXPECT_EQ(faultOf(ImportFormat::BitwardenJson, R"({"items": [{"name": "a"}]})"),
              "Item 1: \"type\" is missing or not a whole number.");
    EXPECT_EQ(
        faultOf(ImportFormat::BitwardenJson, "{\"items\": [{\"type\": 2, \"name\": \"\xFF\"}]}"),
        "The file is not UTF-8; export it again as UTF-8.");
}

TEST_F(ImportFormats, ChromiumWithAndWithoutNotes) {
    const auto entries = readExport(ImportFormat::ChromiumCsv, sample("chromium.csv"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].password, "p,w\"x");
    EXPECT_EQ(entries[1].title, "");
    EXPECT_EQ(entries[1].notes, "Remember:\ntwo lines, and a comma");
    EXPECT_EQ(entries[2].title, "東京");
    EXPECT_EQ(entries[2].notes, "日本語のメモ");
    EXPECT_EQ(entries[2].row, 4u);
    const auto old = readExport(ImportFormat::ChromiumCsv, sample("chromium-old.csv"));
    ASSERT_EQ(old.size(), 1u);
    EXPECT_EQ(old[0].notes, "");
}

TEST_F(ImportFormats, FirefoxTimesAndExtras) {
    const auto entries = readExport(ImportFormat::FirefoxCsv, sample("firefox.csv"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].title, "");
    EXPECT_EQ(entries[0].url, "https://login.example.com");
    EXPECT_EQ(entries[0].password, "s3cr\"et");
    EXPECT_EQ(local(entries[0].created), "13/09/2020 14:26:40");
    EXPECT_EQ(local(entries[0].modified), "07/01/2021 08:13:20");
    EXPECT_EQ(entries[0].extras, (Extras{{"Form action origin", "https://login.example.com"},
                                         {"Last used", "15/04/2022 07:20:00"}}));
    EXPECT_EQ(entries[1].extras,
              (Extras{{"HTTP realm", "Staff Area"}, {"Last used", "13/09/2020 14:26:40"}}));
}
