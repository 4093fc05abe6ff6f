// The session operations the tool adds: a load that neither seeds nor sorts, and the account
// made without the logon dialog.
#include "core/session/Session.h"

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/entries/SampleContent.h"
#include "core/storage/AtomicFile.h"
#include "support/SessionFixture.h"
#include "support/TempDir.h"

using namespace vorkel;
using vorkel::test::readFile;

namespace {

class SessionToolLoad : public vorkel::test::SessionFixture {
protected:
    // The tool's own program file, as vorkel-cli runs.
    SessionToolLoad() : SessionFixture("vorkel-cli") {}
    std::unique_ptr<Session> open(std::string_view user = "alice",
                                  std::string_view password = "pw") {
        return sessionFor(user, password);
    }
};

}  // namespace

TEST_F(SessionToolLoad, InitAccountWritesBothFilesWithSamplesAndDefaults) {
    auto s = open();
    s->InitAccount();
    EXPECT_TRUE(s->FreshStore());
    EXPECT_TRUE(fileExists(s->settingsPath()));
    EXPECT_TRUE(fileExists(s->dataStorePath()));

    auto again = open();
    ASSERT_TRUE(again->VerifyLogon());
    again->LoadForTool();
    EXPECT_FALSE(again->FreshStore());
    EXPECT_EQ(titles(*again), (std::vector<std::string>{"A Sample Entry", "Google Email (Gmail)",
                                                        "Windows Live (Hotmail)", "Yahoo!"}));
    EXPECT_EQ(again->settings().passTypes, defaultPasswordTypes());
}

TEST_F(SessionToolLoad, InitAccountRefusesAnExistingAccount) {
    open()->InitAccount();
    const std::string store = readFile(dir.file("Vorkel4.xdb"));
    auto other = open("bob", "other");
    EXPECT_THROW(other->InitAccount(), Error);
    EXPECT_EQ(readFile(dir.file("Vorkel4.xdb")), store);
    EXPECT_TRUE(other->workspace().master().empty());
}

TEST_F(SessionToolLoad, LoadForToolKeepsDocumentOrderAndDoesNotSeed) {
    auto s = open();
    s->InitAccount();
    s->workspace().AddEntry("0 first by name", "", "", "", "", "", "alice");
    s->SaveAll();

    auto tool = open();
    tool->LoadForTool();
    EXPECT_EQ(titles(*tool).back(), "0 first by name");
    auto gui = open();
    gui->LoadWorkspace();
    EXPECT_EQ(titles(*gui).front(), "0 first by name");

    tool->workspace().ClearEntryList();
    tool->SaveAll();
    auto empty = open();
    empty->LoadForTool();
    EXPECT_TRUE(empty->workspace().master().empty());
    EXPECT_FALSE(empty->FreshStore());
}

TEST_F(SessionToolLoad, LoadForToolChangesNothingWhenTheStoreIsDamaged) {
    auto s = open();
    s->InitAccount();
    s->LoadForTool();
    ASSERT_EQ(s->workspace().master().size(), 4u);
    vorkel::test::writeFile(s->dataStorePath(), std::string(200, 'x'));
    EXPECT_ANY_THROW(s->LoadForTool());
    EXPECT_EQ(s->workspace().master().size(), 4u);
}
