// Damaged and hostile files, each with what the user is told and proof that opening it changed
// nothing on disk.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/entries/SampleContent.h"
#include "core/hardening/FolderSnapshot.h"
#include "core/session/Messages.h"
#include "core/session/Session.h"
#include "core/storage/Container.h"
#include "core/storage/PassString.h"
#include "core/storage/SettingsDocument.h"
#include "support/TempDir.h"

namespace vorkel {
namespace {

using test::readFile;
using test::writeFile;

const std::string kItem =
    "<item Title=\"Bank\" Detail=\"notes\" Password=\"pw\" Passphrase=\"\" CreateDate=\"\" "
    "EditDate=\"\" Type=\"\" Expires=\"\" Username=\"me\" Email=\"\" WebURL=\"\" CreatedBy=\"\" "
    "ModifiedBy=\"\" ModifyCount=\"1\" AccessedBy=\"\" AccessedLast=\"\" AccessCount=\"1\" "
    "AllowedAccess=\"Private\"/>";

std::string storeDocument(const std::string& items) {
    return "<filedataxml application=\"/opt/vorkel-v1\">" + items + "</filedataxml>";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string utf16le(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

// A folder with a real account in it (both files written by a first run), and the tools to
// damage its files.
class Account {
public:
    test::TempDir dir;
    FixedRandom random{{7, 1, 9, 3, 5, 2, 8, 4, 6, 0, 11}};
    FixedClock clock{{2010, 12, 25, 14, 3, 59}};

    Account() {
        auto s = session();
        s->LoadWorkspace();
        s->SaveAll();
    }
    std::unique_ptr<Session> session(std::string_view password = "Secret1") {
        auto s = std::make_unique<Session>(dir.file("vorkel"), random, clock);
        s->SetLogon("alice", password);
        return s;
    }
    // Enciphers a document under alice's pair (or another password), as the program would.
    void writeEnciphered(const std::string& path, const std::string& plain,
                         std::string_view password = "Secret1") {
        SecureBytes bytes(plain.size());
        if (!plain.empty()) std::memcpy(bytes.data(), plain.data(), plain.size());
        container::EncryptToFile(std::move(bytes), path, passStringBytes("alice", password),
                                 random);
    }
    std::string store() const { return dir.file("Vorkel4.xdb"); }
    std::string settings() const { return dir.file("Vorkel4.vfg"); }
    static std::string settingsDocument() {
        Settings s;
        s.passTypes = defaultPasswordTypes();
        const SecureBytes doc = settingsdoc::serialize(s, "/opt/vorkel", "alice", "Secret1");
        return std::string(doc.begin(), doc.end());
    }

    // The logon and workspace load as the logon dialog runs them; returns what the user is
    // told ("" when the workspace loaded) and checks that nothing on disk changed.
    std::string open(Session& s) {
        const auto before = test::snapshot(dir.path());
        std::string told;
        if (!s.VerifyLogon()) {
            told = msg::kLogonIncorrect;
        } else {
            try {
                s.LoadWorkspace();
            } catch (const Error& e) {
                told = e.what();
            }
        }
        EXPECT_EQ(test::snapshot(dir.path()), before) << "opening changed the folder";
        return told;
    }
};

const std::string kNotXml = "The document is not well-formed XML (byte ";

std::string deepNesting(std::size_t depth) {
    std::string deep;
    deep.reserve(depth * 7);
    for (std::size_t i = 0; i < depth; ++i) deep += "<a>";
    for (std::size_t i = 0; i < depth; ++i) deep += "</a>";
    return deep;
}

const std::string kEntityBomb =
    "<!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;\">"
    "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;\"><!ENTITY lol4 "
    "\"&lol3;&lol3;&lol3;&lol3;&lol3;\">]>";

struct Case {
    std::string name;
    std::function<void(Account&)> damage;
    std::string told;           // what the user sees; "" when the workspace loads
    bool toldIsPrefix = false;  // only the start is fixed (garbled bytes decide the rest)
    std::string password = "Secret1";
    std::function<void(Session&)> afterwards = nullptr;  // checks on a loaded workspace
};

std::vector<Case> damagedInputs() {
    std::vector<Case> cases;
    for (std::size_t n = 0; n <= 7; ++n) {
        cases.push_back({"store of " + std::to_string(n) + " bytes",
                         [n](Account& a) { writeFile(a.store(), std::string(n, 'x')); },
                         kNotXml + "0: the document is empty)."});
        cases.push_back({"settings of " + std::to_string(n) + " bytes",
                         [n](Account& a) { writeFile(a.settings(), std::string(n, 'x')); },
                         std::string(msg::kLogonIncorrect)});
    }
    cases.push_back({"truncated store",
                     [](Account& a) {
                         const std::string whole = readFile(a.store());
                         writeFile(a.store(), whole.substr(0, whole.size() / 2));
                     },
                     kNotXml, true});
    cases.push_back({"flipped salt byte",
                     [](Account& a) {
                         std::string bytes = readFile(a.store());
                         bytes[3] = static_cast<char>(bytes[3] ^ 0x01);
                         writeFile(a.store(), bytes);
                     },
                     kNotXml + "0: text is not allowed before the root element)."});
    cases.push_back(
        {"wrong password", [](Account&) {}, std::string(msg::kLogonIncorrect), false, "Secret2"});
    cases.push_back({"password in the wrong case", [](Account&) {},
                     std::string(msg::kLogonIncorrect), false, "secret1"});
    cases.push_back(
        {"store keyed with another pair",
         [](Account& a) { a.writeEnciphered(a.store(), storeDocument(kItem), "Other"); },
         kNotXml + "0: text is not allowed before the root element)."});
    cases.push_back({"item without an attribute",
                     [](Account& a) {
                         a.writeEnciphered(
                             a.store(),
                             storeDocument(kItem + replaced(kItem, " Password=\"pw\"", "")));
                     },
                     "The document lacks the attribute \"Password\"."});
    cases.push_back({"password types with a gap",
                     [](Account& a) {
                         a.writeEnciphered(a.settings(), replaced(Account::settingsDocument(),
                                                                  " type1=", " type12="));
                     },
                     "The document lacks the attribute \"type1\"."});
    cases.push_back({"option that is not a number",
                     [](Account& a) {
                         a.writeEnciphered(a.settings(),
                                           replaced(Account::settingsDocument(),
                                                    "AlwaysOnTop=\"0\"", "AlwaysOnTop=\"no\""));
                     },
                     "The attribute \"AlwaysOnTop\" is not a valid integer value."});
    // Counters are taken as they stand when loading; the edit that must count them says so.
    cases.push_back(
        {"counter that is not a number",
         [](Account& a) {
             a.writeEnciphered(a.store(), storeDocument(replaced(kItem, "ModifyCount=\"1\"",
                                                                 "ModifyCount=\"many\"")));
         },
         "", false, "Secret1",
         [](Session& s) {
             EXPECT_EQ(s.workspace().master().at(0)->get(Field::ModifyCount), "many");
             try {
                 s.StoreEntry(0, Workspace::editorFields(*s.workspace().rows()[0]));
                 ADD_FAILURE() << "the edit counted a counter that is not a number";
             } catch (const ConversionError& e) {
                 EXPECT_EQ(std::string(e.what()), "The ModifyCount is not a valid integer value.");
             }
         }});
    cases.push_back(
        {"100 MB attribute value",
         [](Account& a) {
             a.writeEnciphered(a.store(), storeDocument(replaced(
                                              kItem, "Detail=\"notes\"",
                                              "Detail=\"" + std::string(100u << 20, 'n') + "\"")));
         },
         "", false, "Secret1",
         [](Session& s) {
             ASSERT_EQ(s.workspace().master().size(), 1u);
             EXPECT_EQ(s.workspace().master().at(0)->get(Field::Detail).size(), 100u << 20);
         }});
    // Inside an item the nesting is ignored; in the settings it leaves the values missing.
    cases.push_back(
        {"million nested elements in an item",
         [](Account& a) {
             a.writeEnciphered(
                 a.store(),
                 storeDocument(replaced(kItem, "/>", ">" + deepNesting(1000000) + "</item>")));
         },
         "", false, "Secret1", [](Session& s) { EXPECT_EQ(s.workspace().master().size(), 1u); }});
    cases.push_back({"million nested elements in the settings",
                     [](Account& a) {
                         a.writeEnciphered(a.settings(), "<configdataxml>" + deepNesting(1000000) +
                                                             "</configdataxml>");
                     },
                     "The document lacks the attribute \"left\"."});
    cases.push_back({"entity bomb in the settings",
                     [](Account& a) {
                         a.writeEnciphered(a.settings(),
                                           kEntityBomb + replaced(Account::settingsDocument(),
                                                                  "masterpass=\"Secret1\"",
                                                                  "masterpass=\"&lol4;\""));
                     },
                     std::string(msg::kLogonIncorrect)});
    cases.push_back({"entity bomb in the store",
                     [](Account& a) {
                         a.writeEnciphered(a.store(), kEntityBomb + storeDocument(replaced(
                                                                        kItem, "notes", "&lol4;")));
                     },
                     kNotXml + "0: a document type declaration is not supported)."});
    cases.push_back({"UTF-16 without byte order mark",
                     [](Account& a) {
                         a.writeEnciphered(a.store(), utf16le(storeDocument(kItem)));
                         a.writeEnciphered(a.settings(), utf16le(Account::settingsDocument()));
                     },
                     "", false, "Secret1",
                     [](Session& s) {
                         ASSERT_EQ(s.workspace().master().size(), 1u);
                         EXPECT_EQ(s.workspace().master().at(0)->title(), "Bank");
                         EXPECT_EQ(s.settings().passTypes, defaultPasswordTypes());
                     }});
    cases.push_back({"settings file that is a folder",
                     [](Account& a) {
                         std::filesystem::remove(a.settings());
                         std::filesystem::create_directory(a.settings());
                         writeFile(a.settings() + "/inside", "keep");
                     },
                     std::string(msg::kLogonIncorrect)});
    return cases;
}

TEST(DamagedFile, EachInputTellsTheUserAndChangesNothingOnDisk) {
    for (const Case& c : damagedInputs()) {
        SCOPED_TRACE(c.name);
        Account account;
        c.damage(account);
        auto s = account.session(c.password);
        std::string told = account.open(*s);
        // A store that does not read is named, with the reader's own reason inside.
        const std::string storeStart = std::string(msg::kStoreUnreadableStart) +
                                       s->dataStorePath() +
                                       std::string(msg::kStoreUnreadableMiddle);
        if (told.starts_with(std::string(msg::kStoreUnreadableStart))) {
            EXPECT_TRUE(told.starts_with(storeStart)) << told;
            EXPECT_TRUE(told.ends_with(msg::kStoreUnreadableEnd)) << told;
            told = told.substr(storeStart.size(),
                               told.size() - storeStart.size() - msg::kStoreUnreadableEnd.size());
        }
        if (c.toldIsPrefix)
            EXPECT_TRUE(told.starts_with(c.told)) << told;
        else
            EXPECT_EQ(told, c.told);
        if (c.afterwards && told.empty()) c.afterwards(*s);
    }
}

// A store that is a symbolic link is followed: it is read through the link, and saving
// replaces the file the link names, in that file's folder, keeping the link a link.
TEST(DamagedFile, StoreThatIsALinkIsFollowedAndStaysALink) {
    Account account;
    test::TempDir elsewhere;
    std::filesystem::rename(account.store(), elsewhere.file("real.xdb"));
    std::filesystem::create_symlink(elsewhere.file("real.xdb"), account.store());
    auto s = account.session();
    EXPECT_EQ(account.open(*s), "");
    s->AddEntry("through the link");
    s->SaveAll();
    EXPECT_TRUE(std::filesystem::is_symlink(account.store()));
    EXPECT_EQ(std::filesystem::read_symlink(account.store()), elsewhere.file("real.xdb"));
    EXPECT_EQ(test::snapshot(elsewhere.path()).size(), 1u);
    auto again = account.session();
    EXPECT_EQ(account.open(*again), "");
    EXPECT_EQ(again->workspace().master().size(), 5u);
}

}  // namespace
}  // namespace vorkel
