#include "core/storage/SettingsDocument.h"

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/entries/SampleContent.h"

using namespace vorkel;

namespace {

SecureBytes bytes(std::string_view s) {
    return SecureBytes(s.begin(), s.end());
}
std::string text(const SecureBytes& b) {
    return std::string(b.begin(), b.end());
}

const char* kWritten =
    "<configdataxml application=\"/opt/v/vorkel-v1\"><database username=\"alice\" "
    "masterpass=\"s&amp;cret\"/>"
    "<screen left=\"-5\" top=\"10\" width=\"800\" height=\"600\"/>"
    "<optionsgeneral AlwaysOnTop=\"0\" ShowToolTips=\"1\" HighlightURLs=\"1\"/>"
    "<optionssecurity ShowClearUsernames=\"1\" ShowClearPasswords=\"0\" ShowClearPassphrase=\"1\" "
    "PromptMasterPass=\"1\" EmptyClipboard=\"1\" MinProg=\"0\" MinProgMins=\"7\" "
    "DataVersion=\"1.2\"/>"
    "<passtypes type0=\"Web\" type1=\"\" type2=\"Web\"/></configdataxml>";

Settings written() {
    Settings s;
    s.window = {-5, 10, 800, 600, true};
    s.options.MinProgMins = 7;
    s.options.DataVersion = 1.0;  // whatever was read, 1.2 is written
    s.passTypes = {"Web", "", "Web"};
    return s;
}

std::string withSecurity(std::string_view attrs) {
    return "<configdataxml><screen left=\"1\" top=\"2\" width=\"3\" height=\"4\"/>"
           "<optionsgeneral AlwaysOnTop=\"1\" ShowToolTips=\"0\" "
           "HighlightURLs=\"2\"/><optionssecurity " +
           std::string(attrs) + "/><passtypes/></configdataxml>";
}

const char* kRequiredSecurity =
    "ShowClearUsernames=\"0\" ShowClearPasswords=\"1\" ShowClearPassphrase=\"0\" "
    "PromptMasterPass=\"0\" "
    "EmptyClipboard=\"0\" MinProg=\"1\"";

}  // namespace

TEST(SettingsDocument, WritesTheFixedLayoutWithDataVersion12) {
    EXPECT_EQ(text(settingsdoc::serialize(written(), "/opt/v/vorkel", "alice", "s&cret")),
              kWritten);
}

TEST(SettingsDocument, FlagsAreWrittenAsOneOrZero) {
    Settings s = written();
    s.options.AlwaysOnTop = 2;
    s.options.MinProg = 1;
    std::string out = text(settingsdoc::serialize(s, "/p", "u", "p"));
    EXPECT_NE(out.find("AlwaysOnTop=\"0\""), std::string::npos);
    EXPECT_NE(out.find("MinProg=\"1\""), std::string::npos);
}

TEST(SettingsDocument, RoundTripKeepsTypesInOrderWithDuplicatesAndEmpties) {
    Settings back;
    settingsdoc::parse(bytes(kWritten), back);
    EXPECT_EQ(back.passTypes, (std::vector<std::string>{"Web", "", "Web"}));
    EXPECT_EQ(back.window.left, -5);
    EXPECT_EQ(back.window.height, 600);
    EXPECT_TRUE(back.window.known);
    EXPECT_EQ(back.options.MinProgMins, 7);
    EXPECT_DOUBLE_EQ(back.options.DataVersion, 1.2);
    EXPECT_EQ(back.options.ShowClearPasswords, 0);
}

TEST(SettingsDocument, OlderFileWithoutMinutesAndVersionReadsOneAndOnePointZero) {
    Settings s;
    settingsdoc::parse(bytes(withSecurity(kRequiredSecurity)), s);
    EXPECT_EQ(s.options.MinProgMins, 1);
    EXPECT_DOUBLE_EQ(s.options.DataVersion, 1.0);
    EXPECT_EQ(s.options.AlwaysOnTop, 1);
    EXPECT_EQ(s.options.HighlightURLs, 2);  // held as read; counts as off
    EXPECT_FALSE(Options::on(s.options.HighlightURLs));
    EXPECT_EQ(s.options.MinProg, 1);
    EXPECT_TRUE(s.passTypes.empty());
}

TEST(SettingsDocument, DataVersionAcceptsPointOrComma) {
    for (const char* v : {"1.2", "1,2"}) {
        Settings s;
        settingsdoc::parse(
            bytes(withSecurity(std::string(kRequiredSecurity) + " DataVersion=\"" + v + "\"")), s);
        EXPECT_DOUBLE_EQ(s.options.DataVersion, 1.2) << v;
    }
    Settings s;
    settingsdoc::parse(bytes(withSecurity(std::string(kRequiredSecurity) +
                                          " DataVersion=\"abc\" MinProgMins=\"x\"")),
                       s);
    EXPECT_DOUBLE_EQ(s.options.DataVersion, 1.0);
    EXPECT_EQ(s.options.MinProgMins, 1);
}

TEST(SettingsDocument, MissingOrBadRequiredValuesAreRejected) {
    Settings s;
    // A missing element counts as one without attributes.
    EXPECT_THROW(settingsdoc::parse(bytes("<configdataxml/>"), s), ConversionError);
    EXPECT_THROW(settingsdoc::parse(bytes(withSecurity("ShowClearUsernames=\"1\"")), s),
                 ConversionError);
    std::string bad = withSecurity(kRequiredSecurity);
    bad.replace(bad.find("left=\"1\""), 8, "left=\"x\"");
    EXPECT_THROW(settingsdoc::parse(bytes(bad), s), ConversionError);
}

TEST(SettingsDocument, PassTypesMustBeNumberedWithoutGaps) {
    auto doc = [](std::string_view types) {
        std::string d = withSecurity(kRequiredSecurity);
        d.replace(d.find("<passtypes/>"), 12, "<passtypes " + std::string(types) + "/>");
        return bytes(d);
    };
    Settings s;
    settingsdoc::parse(doc("type1=\"b\" type0=\"a\""), s);
    EXPECT_EQ(s.passTypes, (std::vector<std::string>{"a", "b"}));
    EXPECT_THROW(settingsdoc::parse(doc("type0=\"a\" type2=\"c\""), s), ConversionError);
    EXPECT_THROW(settingsdoc::parse(doc("type0=\"a\" other=\"c\""), s), ConversionError);
    // Only the plain decimal form names an index.
    EXPECT_THROW(settingsdoc::parse(doc("type0=\"a\" type01=\"b\""), s), ConversionError);
    EXPECT_THROW(settingsdoc::parse(doc("type0=\"a\" type-1=\"b\""), s), ConversionError);
    EXPECT_THROW(settingsdoc::parse(doc("type=\"a\""), s), ConversionError);
    try {
        settingsdoc::parse(doc("type2=\"a\" type0=\"b\" type9=\"c\""), s);
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "The document lacks the attribute \"type1\".");
    }
}

// The worst case once took over a minute to open: each type was looked up by name.
TEST(SettingsDocument, EightyThousandPassTypesRoundTrip) {
    Settings s = written();
    s.passTypes.clear();
    for (int i = 0; i < 80000; ++i) s.passTypes.push_back("t" + std::to_string(i % 977));
    Settings back;
    settingsdoc::parse(settingsdoc::serialize(s, "/p", "u", "m"), back);
    EXPECT_EQ(back.passTypes, s.passTypes);
}

// A value that is not a number is named by its attribute, never quoted: it may be a secret.
TEST(SettingsDocument, ABadNumberIsNamedNotQuoted) {
    std::string bad = withSecurity(kRequiredSecurity);
    bad.replace(bad.find("left=\"1\""), 8, "left=\"Hunter2\"");
    Settings s;
    try {
        settingsdoc::parse(bytes(bad), s);
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "The attribute \"left\" is not a valid integer value.");
    }
}

TEST(SettingsDocument, DefaultsAreTheTableValues) {
    Options o;
    o.AlwaysOnTop = 5;
    o.MinProgMins = 9;
    o.ResetOptions();
    EXPECT_EQ(o.AlwaysOnTop, 0);
    EXPECT_EQ(o.ShowToolTips, 1);
    EXPECT_EQ(o.ShowClearPasswords, 0);
    EXPECT_EQ(o.PromptMasterPass, 1);
    EXPECT_EQ(o.MinProg, 0);
    EXPECT_EQ(o.MinProgMins, 9);  // left alone
    EXPECT_EQ(defaultPasswordTypes().size(), 11u);
    EXPECT_EQ(defaultPasswordTypes().front(), "Bank Details");
    EXPECT_EQ(defaultPasswordTypes().back(), "Web Logon");
}
