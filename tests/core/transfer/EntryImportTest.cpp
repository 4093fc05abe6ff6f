#include "core/transfer/EntryImport.h"

#include "core/transfer/CsvExport.h"
#include "core/transfer/ImportFormat.h"
#include "core/transfer/TransferFixture.h"

using namespace vorkel;
using namespace vorkel::test;

namespace {

class EntryImport : public FixedZone {
protected:
    FixedClock clock{{2024, 2, 29, 9, 30, 0}};
    Workspace workspace{clock};

    static ImportedEntry entry(std::string title, std::string username, std::string url) {
        ImportedEntry e;
        e.title = std::move(title);
        e.username = std::move(username);
        e.url = std::move(url);
        return e;
    }
    std::vector<std::string> titles(const std::vector<ImportedEntry>& entries) {
        std::vector<std::string> out;
        for (const auto& e : entries) out.push_back(e.title);
        return out;
    }
};

}  // namespace

TEST_F(EntryImport, HostOfAWebAddress) {
    EXPECT_EQ(hostOf("https://user:pw@mail.example.org:8443/x?y#z"), "mail.example.org");
    EXPECT_EQ(hostOf("shop.example.com/cart"), "shop.example.com");
    EXPECT_EQ(hostOf("http://[2001:db8::1]:80/"), "[2001:db8::1]");
    EXPECT_EQ(hostOf("https://東京.example.jp/"), "東京.example.jp");
    EXPECT_EQ(hostOf(""), "");
}

TEST_F(EntryImport, EmailShape) {
    EXPECT_TRUE(looksLikeEmail("anna@example.org"));
    EXPECT_TRUE(looksLikeEmail("a.b+c@mail.example.co.uk"));
    for (const char* no : {"anna", "@example.org", "anna@", "anna@example", "a@b@example.org",
                           "anna @example.org", "anna@.org", "anna@example."})
        EXPECT_FALSE(looksLikeEmail(no)) << no;
}

TEST_F(EntryImport, NotesGetOneLinePerExtraValue) {
    ImportedEntry e;
    EXPECT_EQ(importedNotes(e), "");
    e.addExtra("Group", "Root");
    e.addExtra("TOTP", "");  // empty values add nothing
    EXPECT_EQ(importedNotes(e), "Group: Root");
    e.notes = "own\r\n";
    e.addExtra("", "PIN: 1\nQ: blue");
    EXPECT_EQ(importedNotes(e), "own\r\nGroup: Root\nPIN: 1\nQ: blue");
}

TEST_F(EntryImport, DuplicatesOfTheStoreAndOfTheFileAreSkippedUnlessKept) {
    workspace.AddEntry("Mail", "", "anna", "", "pw", "https://mail.example", "alice");
    std::vector<ImportedEntry> file = {entry("Mail", "anna", "https://mail.example"),
                                       entry("Mail", "anna", "https://other.example"),
                                       entry("", "bob", "https://shop.example/x"),
                                       entry("shop.example", "bob", "https://shop.example/x"),
                                       entry("Mail", "Anna", "https://mail.example")};
    const ImportPlan plan = planImport(workspace.master(), file, false);
    EXPECT_EQ(titles(plan.added),
              (std::vector<std::string>{"Mail", "shop.example", "Mail"}));  // case counts
    EXPECT_EQ(titles(plan.duplicates), (std::vector<std::string>{"Mail", "shop.example"}));
    EXPECT_EQ(plan.duplicates[1].username, "bob");

    const ImportPlan kept = planImport(workspace.master(), file, true);
    EXPECT_EQ(kept.added.size(), 5u);
    EXPECT_TRUE(kept.duplicates.empty());
}

TEST_F(EntryImport, AddedEntriesCarryTheFieldsTimesAndNewEntryAudit) {
    ImportedEntry given = entry("Mail", "anna@example.org", "https://mail.example");
    given.password = "pw";
    given.notes = "line 1\nline 2";
    given.addExtra("Group", "Root");
    given.created = LocalDateTime{2020, 1, 2, 3, 4, 5};
    given.modified = LocalDateTime{2021, 3, 4, 0, 0, 0};
    ImportedEntry bare = entry("Plain", "anna", "");
    bare.password = "bad\x01\xFF";  // made safe as typed text is
    addImported(workspace, {given, bare}, "alice", clock);

    ASSERT_EQ(workspace.master().size(), 2u);
    ASSERT_EQ(workspace.rows().size(), 2u);
    const Entry& e = *workspace.master().at(0);
    EXPECT_EQ(e.title(), "Mail");
    EXPECT_EQ(e.get(Field::Username), "anna@example.org");
    EXPECT_EQ(e.get(Field::Email), "anna@example.org");
    EXPECT_EQ(e.get(Field::WebURL), "https://mail.example");
    EXPECT_EQ(e.get(Field::Password), "pw");
    EXPECT_EQ(e.get(Field::Detail), "line 1\r\nline 2\r\nGroup: Root\r\n");
    EXPECT_EQ(e.get(Field::CreateDate), "02/01/2020 03:04:05");
    EXPECT_EQ(e.get(Field::EditDate), "04/03/2021");
    EXPECT_EQ(e.get(Field::AccessedLast), "29/02/2024 09:30:00");
    for (Field f : {Field::CreatedBy, Field::ModifiedBy, Field::AccessedBy})
        EXPECT_EQ(e.get(f), "alice");
    EXPECT_EQ(e.get(Field::ModifyCount), "1");
    EXPECT_EQ(e.get(Field::AccessCount), "1");
    EXPECT_EQ(e.get(Field::AllowedAccess), "Private");

    const Entry& plain = *workspace.master().at(1);
    EXPECT_EQ(plain.get(Field::Email), "");
    EXPECT_EQ(plain.get(Field::CreateDate), "29/02/2024 09:30:00");
    EXPECT_EQ(plain.get(Field::EditDate), "29/02/2024 09:30:00");
    EXPECT_EQ(plain.get(Field::Password), "bad\xEF\xBF\xBD");
    EXPECT_NE(plain.id(), e.id());
}

TEST_F(EntryImport, ExportedCsvIsTheKeePassLayoutAndReadsBack) {
    workspace.AddEntry("Quote \"q\", comma", "two\r\nlines\r\n", "anna", "anna@example.org", "p,w",
                       "https://x.example", "alice");
    const std::string csv = keePassCsv(workspace.master());
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\","
              "\"Last Modified\",\"Created\"");
    const auto back = readExport(ImportFormat::KeePassXcCsv, csv);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].title, "Quote \"q\", comma");
    EXPECT_EQ(back[0].username, "anna");
    EXPECT_EQ(back[0].password, "p,w");
    EXPECT_EQ(back[0].url, "https://x.example");
    EXPECT_EQ(back[0].notes, "two\nlines\nEmail: anna@example.org");
    ASSERT_TRUE(back[0].created);
    EXPECT_EQ(formatDateTime(*back[0].created), "29/02/2024 09:30:00");
    EXPECT_EQ(back[0].extras,
              (std::vector<std::pair<std::string, std::string>>{{"Group", "Root"}, {"Icon", "0"}}));
}
