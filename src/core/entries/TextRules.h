#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorkel {

/// Maps only the ASCII letters A to Z to a to z; every other byte stays as it is.
std::string lowerAscii(std::string_view s);
/// Maps only the ASCII letters a to z to A to Z.
std::string upperAscii(std::string_view s);
/// lowerAscii for one byte.
constexpr char lowerAsciiChar(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
/// upperAscii for one byte.
constexpr char upperAsciiChar(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

/// Reads a decimal whole number (optional sign, digits, nothing else); nullopt otherwise.
std::optional<std::int64_t> parseInteger(std::string_view s);
/// Reads decimal digits alone (at least one; no sign, no blank) within the int64 range;
/// nullopt otherwise.
std::optional<std::int64_t> parseDigits(std::string_view s);
/// parseInteger, throwing ConversionError "The <what> is not a valid integer value." when it fails.
std::int64_t toInteger(std::string_view s, std::string_view what);

/// Text made safe for the documents: invalid UTF-8 becomes U+FFFD and characters that an XML
/// document cannot carry (controls other than tab, CR, LF; U+FFFE, U+FFFF) are dropped, so what
/// the user typed can always be saved and read back.
std::string sanitizeText(std::string_view s);

/// The lines of stored notes: CR LF, a lone CR and a lone LF each end a line (so LF CR gives a
/// line break and an empty line); text after the last break is the last line.
std::vector<std::string_view> notesLines(std::string_view detail);
/// Stored notes from editor text: its lines, each followed by CR LF.
std::string notesFromEditorText(std::string_view text);
/// Editor text from stored notes: the lines joined with LF.
std::string editorTextFromNotes(std::string_view detail);

}  // namespace vorkel
