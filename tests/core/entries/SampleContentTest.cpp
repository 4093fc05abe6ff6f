#include "core/entries/SampleContent.h"

#include <gtest/gtest.h>

#include "core/Product.h"

using namespace vorkel;

TEST(SampleContent, FourEntriesInOrderAuditedAsTheLogonUser) {
    FixedClock clock({2010, 12, 25, 0, 0, 0});
    Workspace w(clock);
    AddSampleEntries(w, "zoe");
    ASSERT_EQ(w.master().size(), 4u);
    const char* titles[] = {"A Sample Entry", "Google Email (Gmail)", "Windows Live (Hotmail)",
                            "Yahoo!"};
    for (std::size_t i = 0; i < 4; ++i) {
        const Entry& e = *w.master().at(i);
        EXPECT_EQ(e.title(), titles[i]);
        EXPECT_EQ(e.get(Field::CreatedBy), "zoe");
        EXPECT_EQ(e.get(Field::ModifiedBy), "zoe");
        EXPECT_EQ(e.get(Field::AccessedBy), "zoe");
        EXPECT_EQ(e.get(Field::CreateDate), "25/12/2010");
        EXPECT_EQ(e.get(Field::Passphrase), "");
        EXPECT_EQ(e.get(Field::AllowedAccess), "Private");
        EXPECT_TRUE(e.get(Field::WebURL).starts_with("https://"));
        EXPECT_NE(e.get(Field::Email).find('@'), std::string_view::npos);
    }
    const Entry& first = *w.master().at(0);
    EXPECT_EQ(first.get(Field::Username), "Administrator");
    EXPECT_EQ(first.get(Field::Password), "type password here");
    EXPECT_EQ(first.get(Field::WebURL), kProductWebSite);
    EXPECT_EQ(w.master().at(1)->get(Field::Username), "");
    EXPECT_EQ(w.master().at(1)->get(Field::Password), "");
}

TEST(SampleContent, FirstNotesSeparateParagraphsWithLfCrAndListLinesWithCr) {
    FixedClock clock({2010, 12, 25, 0, 0, 0});
    Workspace w(clock);
    AddSampleEntries(w, "u");
    std::string_view notes = w.master().at(0)->get(Field::Detail);
    EXPECT_TRUE(
        notes.starts_with("This is a sample password entry.  You can modify this item, or delete "
                          "it and add your own password entries.\n\rClick the \"Add\" button"));
    EXPECT_NE(
        notes.find("Use it to store:\r - Web site passwords\r - Credit card and PIN numbers\r"),
        std::string_view::npos);
    EXPECT_NE(notes.find(" - And much more\n\rVisit the Vorkel web site: "),
              std::string_view::npos);
    EXPECT_TRUE(notes.ends_with(kProductHost));
    EXPECT_EQ(notes.find("\r\n"), std::string_view::npos);
    EXPECT_EQ(w.master().at(3)->get(Field::Detail),
              "This is a sample Yahoo! entry.  Add your email and password details and then use "
              "Vorkel's \"Auto Logon\" feature to automatically logon to your Yahoo! account.");
}
