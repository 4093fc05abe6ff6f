#include "core/storage/XmlEncoding.h"

#include <gtest/gtest.h>

#include <string>

#include "core/storage/XmlDocument.h"
#include "core/storage/XmlError.h"
#include "core/storage/XmlTrace.h"
#include "support/TempDir.h"

namespace vorkel {
namespace {

using test::bytesOf;
using test::fromHex;
using test::textOf;

// UTF-16 code units of a string of code points, in the given byte order.
std::string utf16(const std::u32string& text, bool bigEndian, bool bom) {
    std::u16string units;
    if (bom) units += u'\xFEFF';
    for (char32_t c : text) {
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    std::string out;
    for (char16_t u : units) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

std::string prepared(const std::string& in, std::size_t& offset) {
    SecureBytes b = bytesOf(in);
    offset = prepareUtf8(b);
    return textOf(b);
}

TEST(XmlEncoding, Utf8IsLeftAloneAndItsByteOrderMarkSkipped) {
    std::size_t offset = 99;
    EXPECT_EQ(prepared("<a>\xC3\xA9</a>", offset), "<a>\xC3\xA9</a>");
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(prepared("\xEF\xBB\xBF<a/>", offset), "\xEF\xBB\xBF<a/>");
    EXPECT_EQ(offset, 3u);
    EXPECT_EQ(prepared("", offset), "");
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(prepared("<", offset), "<");
    EXPECT_EQ(prepared("\xEF\xBB", offset), "\xEF\xBB");
    EXPECT_EQ(offset, 0u);
}

TEST(XmlEncoding, Utf16InBothByteOrdersWithAndWithoutMark) {
    // é, 中 and an emoji outside the basic plane, which needs a surrogate pair.
    const std::u32string text = U"<a x='\u00E9\u4E2D\U0001F600'/>";
    const std::string utf8 = "<a x='\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80'/>";
    for (bool bigEndian : {false, true}) {
        for (bool bom : {false, true}) {
            std::size_t offset = 99;
            EXPECT_EQ(prepared(utf16(text, bigEndian, bom), offset), utf8) << bigEndian << bom;
            EXPECT_EQ(offset, 0u);
        }
    }
}

TEST(XmlEncoding, Utf16ExactBytes) {
    std::size_t offset = 0;
    EXPECT_EQ(prepared(fromHex("fffe 3c00 6100 2f00 3e00"), offset), "<a/>");
    EXPECT_EQ(prepared(fromHex("feff 003c 0061 002f 003e"), offset), "<a/>");
    EXPECT_EQ(prepared(fromHex("3c00 e900 3e00"), offset), "<\xC3\xA9>");
    EXPECT_EQ(prepared(fromHex("003c d83d de00"), offset), "<\xF0\x9F\x98\x80");
    EXPECT_EQ(prepared(fromHex("fffe"), offset), "");
    // NUL stays NUL here; the reader refuses it later.
    EXPECT_EQ(prepared(fromHex("3c00 0000"), offset), std::string("<\0", 2));
}

TEST(XmlEncoding, MalformedUtf16IsAnError) {
    const char* cases[] = {
        "fffe 3c00 61",         // odd length
        "3c00 6100 00",         // odd length, no mark
        "fffe 3c00 00d8",       // high surrogate at the end
        "fffe 3c00 00d8 4100",  // high surrogate before a non-surrogate
        "fffe 3c00 00d8 00d8",  // two high surrogates
        "feff 003c dc00 0041",  // low surrogate first
        "003c de00",            // low surrogate alone, no mark
    };
    for (const char* hex : cases) {
        SecureBytes b = bytesOf(fromHex(hex));
        EXPECT_THROW(prepareUtf8(b), XmlError) << hex;
    }
    SecureBytes b = bytesOf(fromHex("fffe 3c00 6100 00d8 4100"));
    try {
        prepareUtf8(b);
        FAIL();
    } catch (const XmlError& e) {
        EXPECT_EQ(e.offset(), 6u);
    }
}

// A document cannot be in two encodings: the declaration must name the one its bytes are in.
TEST(XmlEncoding, ADeclarationContradictingTheBytesIsRefused) {
    const std::u32string decl8 = U"<?xml version='1.0' encoding='UTF-8'?><a/>";
    const std::u32string decl16 = U"<?xml version=\"1.0\" encoding = \"utf-16\" ?><a/>";
    for (bool bigEndian : {false, true}) {
        for (bool bom : {false, true}) {
            SecureBytes lying = bytesOf(utf16(decl8, bigEndian, bom));
            EXPECT_THROW(prepareUtf8(lying), XmlError) << bigEndian << bom;
            EXPECT_THROW(XmlDocument::LoadFromBuffer(bytesOf(utf16(decl8, bigEndian, bom))),
                         XmlError);
            SecureBytes honest = bytesOf(utf16(decl16, bigEndian, bom));
            EXPECT_NO_THROW(prepareUtf8(honest)) << bigEndian << bom;
            EXPECT_NO_THROW(XmlDocument::LoadFromBuffer(bytesOf(utf16(decl16, bigEndian, bom))));
        }
    }
    for (const char* ascii : {"<?xml version='1.0' encoding='UTF-16'?><a/>",
                              "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-16'?><a/>"}) {
        SecureBytes b = bytesOf(ascii);
        EXPECT_THROW(prepareUtf8(b), XmlError) << ascii;
        EXPECT_THROW(XmlDocument::LoadFromBuffer(bytesOf(ascii)), XmlError) << ascii;
    }
    SecureBytes plain = bytesOf("<?xml version='1.0' encoding='uTf-8'?><a/>");
    EXPECT_NO_THROW(prepareUtf8(plain));
    // The reason names the fault, and the offset points at the declared name.
    SecureBytes b = bytesOf("<?xml version='1.0' encoding='UTF-16'?><a/>");
    try {
        prepareUtf8(b);
        FAIL();
    } catch (const XmlError& e) {
        EXPECT_EQ(e.offset(), 30u);
        EXPECT_EQ(e.reason(), "the declared encoding does not match the document's bytes");
    }
}

}  // namespace
}  // namespace vorkel
