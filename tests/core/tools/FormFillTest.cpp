#include "core/tools/FormFill.h"

#include <gtest/gtest.h>

using namespace vorkel;

namespace {

FormElement el(std::optional<std::string> type, std::optional<std::string> name) {
    return {std::move(type), std::move(name), true};
}

// "form.element=value" for each write, in order, so a failure shows the whole plan.
std::vector<std::string> plan(const std::vector<FillWrite>& writes) {
    std::vector<std::string> out;
    for (const FillWrite& w : writes)
        out.push_back(std::to_string(w.form) + "." + std::to_string(w.element) + "=" + w.value);
    return out;
}

const FillValues kValues{"bob", "bob@example.com", "s3cret"};

}  // namespace

TEST(FormFill, NameMustLieInsideAWord) {
    for (const char* name : {"login", "user", "name", "n", "LOGIN", "UName", "sername"})
        EXPECT_TRUE(matchesFieldWords(name, UserNameFieldWords)) << name;
    for (const char* name : {"user_name", "userid", "loginname", "", "log in", "x"})
        EXPECT_FALSE(matchesFieldWords(name, UserNameFieldWords)) << name;
    EXPECT_TRUE(matchesFieldWords("EMAIL", EmailFieldWords));
    EXPECT_TRUE(matchesFieldWords("ml", EmailFieldWords));
    EXPECT_FALSE(matchesFieldWords("e-mail", EmailFieldWords));
    // Only A-Z are lower-cased: a dotted capital I is no i.
    EXPECT_FALSE(matchesFieldWords("\xC4\xB0", EmailFieldWords));
}

TEST(FormFill, ValuesFallBackToEachOther) {
    FillValues both = fillValuesFrom("bob", "b@x.org", "pw");
    EXPECT_EQ(both.userName, "bob");
    EXPECT_EQ(both.email, "b@x.org");
    EXPECT_EQ(both.password, "pw");
    FillValues noUser = fillValuesFrom("", "b@x.org", "pw");
    EXPECT_EQ(noUser.userName, "b@x.org");
    EXPECT_EQ(noUser.email, "b@x.org");
    FillValues noEmail = fillValuesFrom("bob", "", "");
    EXPECT_EQ(noEmail.userName, "bob");
    EXPECT_EQ(noEmail.email, "bob");
    EXPECT_EQ(noEmail.password, "");
    FillValues none = fillValuesFrom("", "", "pw");
    EXPECT_EQ(none.userName, "");
    EXPECT_EQ(none.email, "");
}

TEST(FormFill, VisitsFormsInOrderAndElementsLastFirst) {
    std::vector<std::vector<FormElement>> forms{
        {el("text", "login"), el("TEXT", "email"), el("password", "pass"), el("submit", "go")},
        {},
        {el("password", "old"), el("password", "new"), el("Password", std::nullopt)},
    };
    EXPECT_EQ(plan(FillDocumentForms(forms, kValues)),
              (std::vector<std::string>{"0.2=s3cret", "0.1=bob@example.com", "0.0=bob",
                                        "2.1=s3cret", "2.0=s3cret"}));
    const auto writes = FillDocumentForms(forms, kValues);
    EXPECT_EQ(writes[0].type, "password");
    EXPECT_EQ(writes[1].type, "text");
}

// A person could not type into a read-only or disabled input, so neither does the fill.
TEST(FormFill, ReadOnlyAndDisabledInputsAreLeftAlone) {
    FormElement locked = el("password", "pass");
    locked.writable = false;
    FormElement lockedText = el("text", "login");
    lockedText.writable = false;
    std::vector<std::vector<FormElement>> forms{
        {el("text", "login"), lockedText, locked, el("password", "new")}};
    EXPECT_EQ(plan(FillDocumentForms(forms, kValues)),
              (std::vector<std::string>{"0.3=s3cret", "0.0=bob"}));
}

TEST(FormFill, OnlyTextAndPasswordInputsByTheWordLists) {
    std::vector<std::vector<FormElement>> forms{{
        el("text", "user_name"),     // not inside a word: left empty
        el("text", "name"),          // user name
        el("text", "mail"),          // e-mail
        el("text", "m"),             // in both lists: the user name list wins
        el("hidden", "login"),       // other types are left alone
        el("checkbox", "email"),     //
        el("textarea", "login"),     //
        el("text", std::nullopt),    // unreadable name
        el(std::nullopt, "login"),   // unreadable type
        el("password", "whatever"),  // every password input
        el("text", "em"),
    }};
    EXPECT_EQ(plan(FillDocumentForms(forms, kValues)),
              (std::vector<std::string>{"0.10=bob@example.com", "0.9=s3cret", "0.3=bob",
                                        "0.2=bob@example.com", "0.1=bob"}));
}

TEST(FormFill, HostsAreReadSafely) {
    EXPECT_EQ(webHost("https://Example.COM/login?x=1"), "example.com");
    EXPECT_EQ(webHost("example.com"), "example.com");
    EXPECT_EQ(webHost("  www.example.com:8080/a  "), "www.example.com");
    EXPECT_EQ(webHost("http://example.com./"), "example.com");
    EXPECT_EQ(webHost("http://user:pw@example.com@evil.net/"), "evil.net");
    EXPECT_EQ(webHost("http://evil.net\\@example.com"), "evil.net");
    EXPECT_EQ(webHost("http://evil.net#@example.com"), "evil.net");
    EXPECT_EQ(webHost("a@b"), "b");
    EXPECT_EQ(webHost("http://[::1]:8080/x"), "[::1]");
    EXPECT_EQ(webHost("HTTP://[FE80::1]"), "[fe80::1]");
    EXPECT_EQ(webHost("http://127.0.0.1:1/"), "127.0.0.1");
    EXPECT_EQ(webHost("http://example.com:65535/"), "example.com");
    EXPECT_EQ(webHost("http://example.com:/"), "example.com");  // an empty port, as browsers allow
    EXPECT_EQ(webHost("http://[::1]:/"), "[::1]");
    for (const char* bad : {"",
                            "   ",
                            "ftp://example.com",
                            "javascript:alert(1)",
                            "mailto:a@example.com",
                            "file:///etc/passwd",
                            "about:blank",
                            "http:example.com",
                            "http://",
                            "http://a..b/",
                            "http://example.com:99999/",
                            "http://example.com:65536/",
                            "http://example.com:000080/",
                            "http://example.com:+80/",
                            "http://example.com:-1/",
                            "http://[::1]:65536/",
                            "http://[::1]80/",
                            "http://example.com:8o/",
                            "http://[::1/",
                            "http://[zz]/",
                            "http://exa mple.com/",
                            "http://ex%61mple.com/",
                            "http://b\xC3\xBC"
                            "cher.de/",
                            "http://example.com\n.evil.net/",
                            "-flag=1",
                            "example.com:"})
        EXPECT_EQ(webHost(bad), std::nullopt) << bad;
}

TEST(FormFill, PagesMatchTheEntryHostOrItsSubdomains) {
    EXPECT_TRUE(pageMatchesEntry("https://example.com/login", "example.com"));
    EXPECT_TRUE(pageMatchesEntry("https://sub.example.com/login", "http://example.com/"));
    EXPECT_TRUE(pageMatchesEntry("https://a.b.example.com:8080/", "https://EXAMPLE.com:8080"));
    EXPECT_TRUE(pageMatchesEntry("https://example.com./", "example.com"));
    EXPECT_TRUE(pageMatchesEntry("http://127.0.0.1:5000/", "http://127.0.0.1:5000"));
    EXPECT_FALSE(pageMatchesEntry("https://example.com.evil.net/", "example.com"));
    EXPECT_FALSE(pageMatchesEntry("https://notexample.com/", "example.com"));
    EXPECT_FALSE(pageMatchesEntry("https://example.com/", "sub.example.com"));
    EXPECT_FALSE(pageMatchesEntry("https://example.com@evil.net/", "example.com"));
    EXPECT_FALSE(pageMatchesEntry("http://localhost/", "http://127.0.0.1"));
    EXPECT_FALSE(pageMatchesEntry("http://1.127.0.0.1/", "http://127.0.0.1"));
    // Only http and https pages, and the page must say so.
    EXPECT_FALSE(pageMatchesEntry("file:///example.com/login.html", "example.com"));
    EXPECT_FALSE(pageMatchesEntry("chrome://example.com/", "example.com"));
    EXPECT_FALSE(pageMatchesEntry("example.com/login", "example.com"));
    EXPECT_FALSE(pageMatchesEntry("https://example.com/", ""));
    EXPECT_FALSE(pageMatchesEntry("about:blank", "about:blank"));
}

TEST(FormFill, ASecureEntryNeverFillsAPlainPage) {
    EXPECT_FALSE(pageMatchesEntry("http://bank.example/", "https://bank.example"));
    EXPECT_FALSE(pageMatchesEntry("http://www.bank.example/", "https://bank.example/"));
    // Typed without a scheme, the address is a secure one.
    EXPECT_FALSE(pageMatchesEntry("http://bank.example/", "bank.example"));
    EXPECT_FALSE(pageMatchesEntry("http://[::1]/", "[::1]"));
    // A plain entry may fill the same host's secure page.
    EXPECT_TRUE(pageMatchesEntry("https://bank.example/", "http://bank.example"));
    EXPECT_TRUE(pageMatchesEntry("http://bank.example/", "http://bank.example"));
    EXPECT_TRUE(pageMatchesEntry("HTTPS://bank.example/", "HTTP://bank.example"));
}

TEST(FormFill, ThePortMustMatchWithDefaultPortsNormalised) {
    EXPECT_FALSE(pageMatchesEntry("https://bank.example:8443/", "https://bank.example"));
    EXPECT_FALSE(pageMatchesEntry("https://bank.example/", "https://bank.example:8443"));
    EXPECT_FALSE(pageMatchesEntry("http://127.0.0.1:5001/", "http://127.0.0.1:5000"));
    EXPECT_FALSE(pageMatchesEntry("https://[::1]:9/", "https://[::1]:8"));
    EXPECT_TRUE(pageMatchesEntry("https://bank.example:443/", "https://bank.example"));
    EXPECT_TRUE(pageMatchesEntry("https://bank.example/", "bank.example:443/login"));
    EXPECT_TRUE(pageMatchesEntry("http://bank.example:80/", "http://bank.example/"));
    EXPECT_TRUE(pageMatchesEntry("https://[::1]:8/", "https://[::1]:8"));
    // Each scheme's own default: an upgrade keeps the default port, whatever its number.
    EXPECT_TRUE(pageMatchesEntry("https://bank.example/", "http://bank.example:80"));
    EXPECT_FALSE(pageMatchesEntry("https://bank.example:80/", "http://bank.example"));
    EXPECT_FALSE(pageMatchesEntry("http://bank.example:443/", "http://bank.example"));
}

TEST(FormFill, BrowserAddressIsAlwaysAWebAddress) {
    EXPECT_EQ(browserAddress(" example.com/login "), "https://example.com/login");
    EXPECT_EQ(browserAddress("http://example.com/"), "http://example.com/");
    EXPECT_EQ(browserAddress("https://example.com/a b"), "https://example.com/a b");
    EXPECT_EQ(browserAddress("--renderer-cmd-prefix=sh"), std::nullopt);
    EXPECT_EQ(browserAddress("javascript:alert(1)"), std::nullopt);
    EXPECT_EQ(browserAddress(""), std::nullopt);
}
