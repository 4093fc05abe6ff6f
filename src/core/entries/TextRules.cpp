#include "core/entries/TextRules.h"

#include <charconv>

#include "core/Error.h"
#include "core/storage/XmlCharacters.h"

namespace vorkel {

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAsciiChar(c);
    return out;
}

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = upperAsciiChar(c);
    return out;
}

std::optional<std::int64_t> parseInteger(std::string_view s) {
    // from_chars takes a minus sign but no plus, so a plus is stripped here; "+-1" stays wrong.
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseDigits(std::string_view s) {
    // With a digit first, parseInteger takes no sign and nothing but digits after it.
    if (s.empty() || s.front() < '0' || s.front() > '9') return std::nullopt;
    return parseInteger(s);
}

std::int64_t toInteger(std::string_view s, std::string_view what) {
    auto v = parseInteger(s);
    // The text itself is never quoted: it comes from a document that may hold secrets.
    if (!v) throw ConversionError("The " + std::string(what) + " is not a valid integer value.");
    return *v;
}

std::string sanitizeText(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp = 0;
        const std::size_t len = xmlchars::decodeUtf8(s, i, cp);
        // Each malformed byte becomes one U+FFFD: typed text is never dropped without a trace.
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (xmlchars::isChar(cp)) out.append(s.substr(i, len));
        i += len;
    }
    return out;
}

std::vector<std::string_view> notesLines(std::string_view detail) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < detail.size(); ++i) {
        char c = detail[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(detail.substr(start, i - start));
        if (c == '\r' && i + 1 < detail.size() && detail[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < detail.size()) lines.push_back(detail.substr(start));
    return lines;
}

std::string notesFromEditorText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (auto line : notesLines(text)) {
        out.append(line);
        out += "\r\n";
    }
    // A trailing break in the editor leaves an empty last line that the split above drops.
    if (!text.empty() && (text.back() == '\n' || text.back() == '\r')) out += "\r\n";
    return out;
}

std::string editorTextFromNotes(std::string_view detail) {
    std::string out;
    out.reserve(detail.size());
    bool first = true;
    for (auto line : notesLines(detail)) {
        if (!first) out += '\n';
        out.append(line);
        first = false;
    }
    return out;
}

}  // namespace vorkel
