#include "core/tools/LinkDetection.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorkel;

namespace {

// The addresses' texts, so a failure shows what was found rather than offsets.
std::vector<std::string> links(std::string_view line) {
    std::vector<std::string> out;
    for (auto r : findLinks(line)) out.emplace_back(line.substr(r.start, r.length));
    return out;
}

using Texts = std::vector<std::string>;

}  // namespace

TEST(LinkDetection, EveryPrefixStartsAnAddress) {
    EXPECT_EQ(links("http://a.example"), Texts{"http://a.example"});
    EXPECT_EQ(links("https://a.example/x?y=1&z=2#f"), Texts{"https://a.example/x?y=1&z=2#f"});
    EXPECT_EQ(links("ftp://files.example/pub"), Texts{"ftp://files.example/pub"});
    EXPECT_EQ(links("mailto:me@example.com"), Texts{"mailto:me@example.com"});
    EXPECT_EQ(links("www.example.com"), Texts{"www.example.com"});
}

TEST(LinkDetection, PrefixesIgnoreLetterCase) {
    EXPECT_EQ(links("HTTPS://A.EXAMPLE"), Texts{"HTTPS://A.EXAMPLE"});
    EXPECT_EQ(links("WWW.Example.com"), Texts{"WWW.Example.com"});
    EXPECT_EQ(links("MailTo:x@y"), Texts{"MailTo:x@y"});
    // In UTF-16 only ASCII letters fold: U+0148 and U+0157 have the low bytes of "H" and "W".
    EXPECT_EQ(findLinks(std::u16string_view(u"HTTP://A.EXAMPLE")).size(), 1u);
    EXPECT_TRUE(findLinks(std::u16string_view(u"\u0148ttp://a.example")).empty());
    EXPECT_TRUE(findLinks(std::u16string_view(u"\u0157ww.example.com")).empty());
}

TEST(LinkDetection, OffsetsAreThoseOfTheLine) {
    const auto r = findLinks("see www.a.com and http://b.org now");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], (LinkRange{4, 9}));
    EXPECT_EQ(r[1], (LinkRange{18, 12}));
}

TEST(LinkDetection, OtherSchemesAndBareAddressesAreNoLinks) {
    EXPECT_TRUE(findLinks("").empty());
    EXPECT_TRUE(findLinks("plain words only").empty());
    EXPECT_TRUE(findLinks("me@example.com").empty());
    EXPECT_TRUE(findLinks("example.com").empty());
    EXPECT_TRUE(findLinks("file:///etc/passwd").empty());
    EXPECT_TRUE(findLinks("javascript:alert(1)").empty());
    EXPECT_TRUE(findLinks("http:/one-slash.example").empty());
}

TEST(LinkDetection, PrefixAloneIsNoAddress) {
    EXPECT_TRUE(findLinks("http://").empty());
    EXPECT_TRUE(findLinks("www.").empty());
    EXPECT_TRUE(findLinks("mailto:").empty());
    EXPECT_TRUE(findLinks("go to http:// now").empty());
    EXPECT_TRUE(findLinks("www.,").empty());
}

TEST(LinkDetection, PrefixMustStartAWord) {
    EXPECT_TRUE(findLinks("xhttp://a.example").empty());
    EXPECT_TRUE(findLinks("awww.example.com").empty());
    EXPECT_TRUE(findLinks("9www.example.com").empty());
    EXPECT_EQ(links("(www.a.com)"), Texts{"www.a.com"});
    EXPECT_EQ(links("site:www.a.com"), Texts{"www.a.com"});
    EXPECT_EQ(links("x-http://a.b"), Texts{"http://a.b"});
}

TEST(LinkDetection, AddressEndsAtBlanksControlsAndDelimiters) {
    EXPECT_EQ(links("www.a.com\tnext"), Texts{"www.a.com"});
    EXPECT_EQ(links("<http://a.b/c>"), Texts{"http://a.b/c"});
    EXPECT_EQ(links("\"www.q.org\""), Texts{"www.q.org"});
    EXPECT_EQ(links("http://a.b\nwww.c.d"), (Texts{"http://a.b", "www.c.d"}));
}

TEST(LinkDetection, TrailingPunctuationIsNotPartOfTheAddress) {
    EXPECT_EQ(links("Visit www.a.com."), Texts{"www.a.com"});
    EXPECT_EQ(links("www.a.com, www.b.com; www.c.com: www.d.com! www.e.com?"),
              (Texts{"www.a.com", "www.b.com", "www.c.com", "www.d.com", "www.e.com"}));
    EXPECT_EQ(links("'www.a.com'"), Texts{"www.a.com"});
    EXPECT_EQ(links("http://a.b/x.html..."), Texts{"http://a.b/x.html"});
    // Inside the address the same characters stay.
    EXPECT_EQ(links("http://a.b/?q=1,2;3"), Texts{"http://a.b/?q=1,2;3"});
}

TEST(LinkDetection, ClosingBracketStaysOnlyWhenOpenedInTheAddress) {
    EXPECT_EQ(links("(see http://w.org/Thing_(x))"), Texts{"http://w.org/Thing_(x)"});
    EXPECT_EQ(links("[http://a.b/]"), Texts{"http://a.b/"});
    EXPECT_EQ(links("{www.a.com}"), Texts{"www.a.com"});
    EXPECT_EQ(links("http://a.b/[1]"), Texts{"http://a.b/[1]"});
    EXPECT_EQ(links("(www.a.com)."), Texts{"www.a.com"});
}

TEST(LinkDetection, NestedPrefixIsOneAddress) {
    EXPECT_EQ(links("http://www.a.com/www.b"), Texts{"http://www.a.com/www.b"});
}

TEST(LinkDetection, NonAsciiCharactersBelongToTheAddress) {
    const std::string line =
        "see http://b\xC3\xBC"
        "cher.example/\xE2\x82\xAC x";
    EXPECT_EQ(links(line), Texts{"http://b\xC3\xBC"
                                 "cher.example/\xE2\x82\xAC"});
}

TEST(LinkDetection, Utf16OffsetsCountCodeUnits) {
    // "ü" is two bytes of UTF-8 but one UTF-16 unit; "😀" is two UTF-16 units.
    const std::u16string line = u"\u00fc\U0001F600 www.a.com/\u00fc z";
    const auto r = findLinks(std::u16string_view(line));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0], (LinkRange{4, 11}));
    const auto u8 = findLinks(std::string_view("\xC3\xBC\xF0\x9F\x98\x80 www.a.com/\xC3\xBC z"));
    ASSERT_EQ(u8.size(), 1u);
    EXPECT_EQ(u8[0], (LinkRange{7, 12}));
}

TEST(LinkDetection, Utf16AndUtf8AgreeOnAsciiText) {
    const std::string a = "a www.x.y, (http://q.r/(s)) mailto:m@n.o. ftp://f";
    const std::u16string w(a.begin(), a.end());
    EXPECT_EQ(findLinks(std::string_view(a)), findLinks(std::u16string_view(w)));
    EXPECT_EQ(findLinks(std::string_view(a)).size(), 4u);
}
