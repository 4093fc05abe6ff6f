#include "core/storage/PassString.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>

#include "support/TempDir.h"

namespace vorkel {
namespace {

std::string hexOf(const SecureBytes& bytes) {
    return test::toHex(std::string(bytes.begin(), bytes.end()));
}

std::string utf8Of(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// The C library's own Windows-1252 converter, as an independent reference.
class Windows1252Reference {
public:
    Windows1252Reference() : m_cd(iconv_open("WINDOWS-1252", "UTF-8")) {}
    ~Windows1252Reference() {
        if (valid()) iconv_close(m_cd);
    }
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    std::optional<std::uint8_t> byteOf(const std::string& utf8) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string in = utf8;
        char out[8];
        char* inPtr = in.data();
        char* outPtr = out;
        std::size_t inLeft = in.size();
        std::size_t outLeft = sizeof out;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            outPtr - out != 1)
            return std::nullopt;
        return static_cast<std::uint8_t>(out[0]);
    }

private:
    iconv_t m_cd;
};

TEST(PassString, AsciiIsOneByteEach) {
    EXPECT_EQ(hexOf(passStringBytes("alice", "Secret 1!")), test::toHex("aliceSecret 1!"));
    EXPECT_TRUE(passStringBytes("", "").empty());
}

TEST(PassString, WesternTextIsWindows1252) {
    EXPECT_EQ(hexOf(passStringBytes("Jos\u00e9", "")), "4a6f73e9");
    EXPECT_EQ(hexOf(passStringBytes("\u20ac", "\u201cq\u201d")), "80937194");
    EXPECT_EQ(hexOf(passStringBytes("\u00ff\u00a0", "\u0178")), "ffa09f");
}

TEST(PassString, EveryCodePointMatchesTheCLibrary) {
    Windows1252Reference reference;
    ASSERT_TRUE(reference.valid());
    int mapped = 0;
    for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        if (cp > 0x3000 && cp < 0xFB00) cp = 0xFB00;  // nothing of the code page lies between
        if (cp > 0x10000 && cp % 0x1000 != 0) continue;
        const std::string utf8 = utf8Of(cp);
        const std::optional<std::uint8_t> expected = reference.byteOf(utf8);
        const SecureBytes got = eightBitText(utf8);
        if (expected) {
            ++mapped;
            ASSERT_EQ(hexOf(got), test::toHex(std::string(1, static_cast<char>(*expected))))
                << std::hex << static_cast<unsigned>(cp);
        } else {
            ASSERT_EQ(hexOf(got), test::toHex(utf8)) << std::hex << static_cast<unsigned>(cp);
        }
    }
    // 127 ASCII (NUL left out) + 96 of A0..FF + 27 of 80..9F.
    EXPECT_EQ(mapped, 127 + 96 + 27);
}

TEST(PassString, UndefinedBytesAndC1ControlsStayUtf8) {
    for (char32_t cp : {0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F}) {
        SCOPED_TRACE(static_cast<unsigned>(cp));
        EXPECT_EQ(hexOf(eightBitText(utf8Of(cp))), test::toHex(utf8Of(cp)));
    }
}

TEST(PassString, OneForeignCharacterKeepsTheWholeTextUtf8) {
    EXPECT_EQ(hexOf(passStringBytes("\u0416", "")), "d096");
    // The Western "é" is not mapped alone when the rest of the text cannot be.
    EXPECT_EQ(hexOf(passStringBytes("Jos\u00e9", "\u0416")), "4a6f73c3a9d096");
    EXPECT_EQ(hexOf(passStringBytes("\u00e9", "\U0001F600")), "c3a9f09f9880");
}

TEST(PassString, EverySplitKeysAlike) {
    EXPECT_EQ(hexOf(passStringBytes("Jos", "\u00e9pw")), hexOf(passStringBytes("Jos\u00e9", "pw")));
    EXPECT_EQ(hexOf(passStringBytes("ab\u0416", "x")), hexOf(passStringBytes("ab", "\u0416x")));
    EXPECT_EQ(hexOf(passStringBytes("", "alicesecret")), hexOf(passStringBytes("alice", "secret")));
    EXPECT_NE(hexOf(passStringBytes("Alice", "secret")), hexOf(passStringBytes("alice", "secret")));
}

TEST(PassString, MalformedUtf8KeepsItsBytes) {
    const std::string cases[] = {
        "\xff\xfe"
        "abc",               // bytes that never occur in UTF-8
        "\xc0\xaf",          // overlong "/"
        "\xe0\x80\xaf",      // overlong "/" in three bytes
        "\xed\xa0\x80",      // a surrogate
        "\xf4\x90\x80\x80",  // past U+10FFFF
        "Jos\xc3",           // cut short
        "\xc3\xa9\xff",      // valid "é", then garbage: nothing is mapped
        "a\x80z",            // a lone continuation byte
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(test::toHex(text));
        EXPECT_EQ(hexOf(eightBitText(text)), test::toHex(text));
    }
}

TEST(PassString, HalvesAreJoinedBeforeDecoding) {
    // "é" split across the two fields is still one character of the joined text.
    EXPECT_EQ(hexOf(passStringBytes("Jos\xc3", "\xa9")), "4a6f73e9");
}

TEST(PassString, EightBitTextFollowsTheSameRule) {
    EXPECT_EQ(hexOf(eightBitText("P\u00e4ssw\u00f6rd")), "50e4737377f67264");
    EXPECT_EQ(hexOf(eightBitText("\u0416uk")), "d096756b");
    EXPECT_TRUE(eightBitText("").empty());
}

}  // namespace
}  // namespace vorkel
