#include "core/entries/TextRules.h"

#include <gtest/gtest.h>

#include "core/Error.h"

using namespace vorkel;

TEST(TextRules, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(lowerAscii("AbC-\xC3\x9C\xC3\x89z"), "abc-\xC3\x9C\xC3\x89z");  // Ü and É stay
    EXPECT_EQ(upperAscii("abc-\xC3\xBC"), "ABC-\xC3\xBC");
    // Every byte: only the 26 letters each way move, and they swap exactly ('@', '[', '`' and
    // '{' border the ranges).
    for (int i = 0; i < 256; ++i) {
        const char c = static_cast<char>(i);
        const bool upper = c >= 'A' && c <= 'Z', lower = c >= 'a' && c <= 'z';
        EXPECT_EQ(lowerAsciiChar(c), upper ? static_cast<char>(c + 32) : c) << i;
        EXPECT_EQ(upperAsciiChar(c), lower ? static_cast<char>(c - 32) : c) << i;
    }
}

TEST(TextRules, IntegersAreStrictDecimal) {
    EXPECT_EQ(parseInteger("0"), 0);
    EXPECT_EQ(parseInteger("-12"), -12);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(parseInteger("-9223372036854775808"), INT64_MIN);
    for (const char* bad : {"", "-", "+", " 1", "1 ", "1.0", "0x10", "abc", "9223372036854775808",
                            "-9223372036854775809", "+-1", "-+1", "++1", "--1", "1-"})
        EXPECT_FALSE(parseInteger(bad).has_value()) << bad;
    EXPECT_EQ(parseDigits("0"), 0);
    EXPECT_EQ(parseDigits("0042"), 42);
    EXPECT_EQ(parseDigits("9223372036854775807"), INT64_MAX);
    for (const char* bad :
         {"", "+7", "-1", "-0", " 1", "1 ", "1a", "\xD9\xA3", "9223372036854775808"})
        EXPECT_FALSE(parseDigits(bad).has_value()) << bad;
    try {
        toInteger("abc", "ModifyCount");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "The ModifyCount is not a valid integer value.");
    }
}

TEST(TextRules, SanitizeKeepsWhatDocumentsCarry) {
    EXPECT_EQ(sanitizeText("a\tb\r\nc\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"),
              "a\tb\r\nc\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(sanitizeText(std::string("a\x01\x1F\x7F", 4) + std::string(1, '\0') + "b"),
              "a\x7F"
              "b");
    EXPECT_EQ(sanitizeText("x\xFF\xFEy"), "x\xEF\xBF\xBD\xEF\xBF\xBDy");  // invalid bytes
    EXPECT_EQ(sanitizeText("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");      // overlong
    EXPECT_EQ(sanitizeText("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
    EXPECT_EQ(sanitizeText("\xEF\xBF\xBE|\xEF\xBF\xBF"), "|");  // U+FFFE, U+FFFF
}

TEST(TextRules, NotesLinesBreakAtEveryLineEnd) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(notesLines(""), V{});
    EXPECT_EQ(notesLines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(notesLines("a\rb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(notesLines("a\n\rb"), (V{"a", "", "b"}));  // LF CR: a break, then an empty line
    EXPECT_EQ(notesLines("\r\n"), (V{""}));
}

TEST(TextRules, NotesStoredAsLinesWithCrLf) {
    EXPECT_EQ(notesFromEditorText(""), "");
    EXPECT_EQ(notesFromEditorText("a\nb"), "a\r\nb\r\n");
    EXPECT_EQ(notesFromEditorText("a\n"), "a\r\n\r\n");
    // Lone line feeds come back with CR LF after every line.
    EXPECT_EQ(notesFromEditorText(editorTextFromNotes("x\ny\nz")), "x\r\ny\r\nz\r\n");
    EXPECT_EQ(editorTextFromNotes("p1\n\rl1\rl2"), "p1\n\nl1\nl2");
    for (std::string stored : {"a\r\nb\r\n", "a\r\n\r\nb\r\n", "one\r\n"})
        EXPECT_EQ(notesFromEditorText(editorTextFromNotes(stored)), stored);
}
