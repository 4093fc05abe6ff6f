#include "core/storage/XmlReader.h"

#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/entries/TextRules.h"
#include "core/storage/XmlCharacters.h"
#include "core/storage/XmlError.h"

namespace vorkel {

namespace {

using Byte = unsigned char;
using namespace xmlchars;

// The buffer being parsed, for bounds and for the offsets that errors report.
struct Input {
    Byte* base;
    Byte* end;
};

[[noreturn]] void fail(const Input& in, const Byte* at, const std::string& reason) {
    throw XmlError(static_cast<std::size_t>(at - in.base), reason);
}

std::string_view view(const Byte* from, const Byte* to) {
    return {reinterpret_cast<const char*>(from), static_cast<std::size_t>(to - from)};
}

bool startsWith(const Input& in, const Byte* p, std::string_view s) {
    return static_cast<std::size_t>(in.end - p) >= s.size() &&
           std::memcmp(p, s.data(), s.size()) == 0;
}

Byte* skipSpace(const Input& in, Byte* p) {
    while (p < in.end && has(*p, kSpace)) ++p;
    return p;
}

// Fails on the byte at p, which some context does not allow: invalid UTF-8 or a non-Char.
[[noreturn]] void failCharacter(const Input& in, const Byte* p) {
    char32_t cp = 0;
    if (decodeUtf8(p, in.end, cp) == 0) fail(in, p, "invalid UTF-8");
    fail(in, p, "a character that is not allowed here");
}

// Length of the valid non-ASCII Char at p, or a failure.
std::size_t nonAsciiChar(const Input& in, const Byte* p) {
    char32_t cp = 0;
    const std::size_t n = decodeUtf8(p, in.end, cp);
    if (n == 0 || !isChar(cp)) failCharacter(in, p);
    return n;
}

// Skips valid characters up to the first ASCII byte with a stop bit that is a Char; fails on
// anything that is not a Char. Returns in.end when the buffer ends first.
Byte* skipChars(const Input& in, Byte* p, std::uint16_t stop) {
    for (;;) {
        while (p < in.end && !has(*p, stop)) ++p;
        if (p == in.end) return p;
        if (*p >= 0x80) {
            p += nonAsciiChar(in, p);
        } else if (*p < 0x20 && !has(*p, kSpace)) {
            failCharacter(in, p);
        } else {
            return p;
        }
    }
}

// Reads a Name at p; returns its end. Fails when no name starts there.
Byte* readName(const Input& in, Byte* p) {
    if (p >= in.end) fail(in, p, "a name is expected");
    char32_t cp = 0;
    if (*p < 0x80) {
        if (!has(*p, kNameStart)) fail(in, p, "a name is expected");
        ++p;
    } else {
        const std::size_t n = decodeUtf8(p, in.end, cp);
        if (n == 0) fail(in, p, "invalid UTF-8");
        if (!isNameStartChar(cp)) fail(in, p, "a name is expected");
        p += n;
    }
    while (p < in.end) {
        if (*p < 0x80) {
            if (!has(*p, kNameChar)) break;
            ++p;
            continue;
        }
        const std::size_t n = decodeUtf8(p, in.end, cp);
        if (n == 0) fail(in, p, "invalid UTF-8");
        if (!isNameChar(cp)) break;
        p += n;
    }
    return p;
}

int digitValue(Byte c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (!hex) return -1;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes the reference at p ("&") into out, which trails p, and advances out. A reference is
// never shorter than its UTF-8, so decoding in place cannot overtake the reading.
Byte* readReference(const Input& in, Byte* p, Byte*& out) {
    Byte* const amp = p++;
    if (p < in.end && *p == '#') {
        ++p;
        const bool hex = p < in.end && *p == 'x';
        if (hex) ++p;
        const Byte* const digits = p;
        std::uint32_t value = 0;
        for (int d; p < in.end && (d = digitValue(*p, hex)) >= 0; ++p)
            if (value <= 0x10FFFF)
                value = value * (hex ? 16u : 10u) + static_cast<std::uint32_t>(d);
        if (p == digits || p >= in.end || *p != ';')
            fail(in, amp, "a malformed character reference");
        if (value > 0x10FFFF) fail(in, amp, "a character reference beyond U+10FFFF");
        if (!isChar(value))
            fail(in, amp, "a character reference to a character that is not allowed");
        out += encodeUtf8(value, out);
        return p + 1;
    }
    static constexpr struct {
        std::string_view text;
        Byte value;
    } kPredefined[] = {{"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"apos;", '\''}, {"quot;", '"'}};
    for (const auto& e : kPredefined) {
        if (startsWith(in, p, e.text)) {
            *out++ = e.value;
            return p + e.text.size();
        }
    }
    if (p < in.end && (has(*p, kNameStart) || *p >= 0x80)) {
        Byte* const nameEnd = readName(in, p);
        if (nameEnd < in.end && *nameEnd == ';')
            fail(in, amp, "a reference to an entity that is not defined");
    }
    fail(in, amp, "\"&\" must begin a reference (write \"&amp;\" for the character)");
}

// Skips the plain bytes of an attribute value: all but quotes, "<", "&", controls and
// non-ASCII. Attribute values are most of a data store document, so they get 16 bytes a step.
Byte* skipPlainValue(Byte* r, const Byte* end) {
#if defined(__SSE2__)
    const __m128i dquote = _mm_set1_epi8('"');
    const __m128i squote = _mm_set1_epi8('\'');
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i amp = _mm_set1_epi8('&');
    const __m128i blank = _mm_set1_epi8(' ');
    while (end - r >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r));
        // Signed, bytes from 0x80 are negative, so one comparison catches controls and non-ASCII.
        const __m128i stop =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, dquote), _mm_cmpeq_epi8(v, squote)),
                         _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, amp)),
                                      _mm_cmplt_epi8(v, blank)));
        const int mask = _mm_movemask_epi8(stop);
        if (mask != 0) return r + __builtin_ctz(static_cast<unsigned>(mask));
        r += 16;
    }
#endif
    while (r < end && !has(*r, kAttrStop)) ++r;
    return r;
}

// Reads an attribute value from p (just after the opening quote) up to the closing quote,
// normalising it in place: literal CR LF, CR, LF and tab each become one blank. Returns the
// position after the closing quote; the value is [p, valueEnd).
Byte* readAttributeValue(const Input& in, Byte* p, Byte quote, Byte*& valueEnd) {
    Byte* out = p;
    Byte* r = p;
    for (;;) {
        Byte* const run = r;
        r = skipPlainValue(r, in.end);
        if (out != run) std::memmove(out, run, static_cast<std::size_t>(r - run));
        out += r - run;
        if (r == in.end) fail(in, p - 1, "an attribute value is not closed");
        const Byte c = *r;
        if (c == quote) {
            valueEnd = out;
            return r + 1;
        }
        switch (c) {
            case '"':
            case '\'':
                *out++ = c;
                ++r;
                break;
            case '<':
                fail(in, r, "\"<\" is not allowed in an attribute value");
            case '&':
                r = readReference(in, r, out);
                break;
            case '\r':
                *out++ = ' ';
                if (++r < in.end && *r == '\n') ++r;
                break;
            case '\n':
            case '\t':
                *out++ = ' ';
                ++r;
                break;
            default: {
                if (c < 0x80) failCharacter(in, r);
                const std::size_t n = nonAsciiChar(in, r);
                if (out != r) std::memmove(out, r, n);
                out += n;
                r += n;
            }
        }
    }
}

}  // namespace

XmlReader::XmlReader(char* data, std::size_t size) : m_data(data), m_size(size) {}

void XmlReader::expectAttributes(std::span<const std::string_view> names) {
    m_expected.clear();
    for (std::string_view name : names) m_expected.push_back(" " + std::string(name) + "=\"");
}

void XmlReader::begin() {
    m_started = true;
    if (m_size == 0) throw XmlError(0, "the document is empty");
    if (m_size >= 3 && std::memcmp(m_data, "\xEF\xBB\xBF", 3) == 0) m_pos = 3;
    const Input in{reinterpret_cast<Byte*>(m_data), reinterpret_cast<Byte*>(m_data) + m_size};
    Byte* p = in.base + m_pos;
    if (startsWith(in, p, "<?xml") && p + 5 < in.end && has(p[5], kSpace)) readDeclaration();
}

void XmlReader::readDeclaration() {
    const Input in{reinterpret_cast<Byte*>(m_data), reinterpret_cast<Byte*>(m_data) + m_size};
    Byte* const start = in.base + m_pos;
    Byte* p = start + 5;
    const auto malformed = [&](const Byte* at) { fail(in, at, "a malformed XML declaration"); };
    // Eq and a quoted value; returns the value.
    const auto quotedValue = [&](Byte* nameEnd) -> std::string_view {
        p = skipSpace(in, nameEnd);
        if (p == in.end || *p != '=') malformed(p);
        p = skipSpace(in, p + 1);
        if (p == in.end || (*p != '"' && *p != '\'')) malformed(p);
        const Byte quote = *p++;
        Byte* const valueStart = p;
        while (p < in.end && *p != quote && *p != '<' && *p != '>') ++p;
        if (p == in.end || *p != quote) malformed(p);
        return view(valueStart, p++);
    };
    const auto keyword = [&](std::string_view word) {
        if (!startsWith(in, p, word)) return false;
        const std::string_view value = quotedValue(p + word.size());
        const Byte* const at = p - value.size() - 1;
        if (word == "version") {
            if (value.size() < 3 || value.substr(0, 2) != "1." ||
                value.substr(2).find_first_not_of("0123456789") != std::string_view::npos)
                fail(in, at, "only XML version 1.x is supported");
        } else if (word == "encoding") {
            const bool isEncName = !value.empty() && has(static_cast<Byte>(value[0]), kNameStart) &&
                                   value[0] != '_' && value[0] != ':' &&
                                   value.find_first_not_of(
                                       "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                       "0123456789._-") == std::string_view::npos;
            if (!isEncName) malformed(at);
            const std::string upper = upperAscii(value);
            if (upper != "UTF-8" && upper != "UTF-16")
                fail(in, at, "the declared encoding is not supported");
        } else if (value != "yes" && value != "no") {
            malformed(at);
        }
        return true;
    };

    p = skipSpace(in, p);
    if (!keyword("version")) malformed(p);
    for (std::string_view optional : {"encoding", "standalone"}) {
        Byte* const before = p;
        p = skipSpace(in, p);
        if (p != before && keyword(optional)) continue;
        p = before;
    }
    p = skipSpace(in, p);
    if (!startsWith(in, p, "?>")) malformed(p);
    m_pos = static_cast<std::size_t>(p + 2 - in.base);
}

XmlReader::Token XmlReader::next() {
    if (m_pendingEnd) {
        // The second half of an empty-element tag; name and depth are still those of the start.
        m_pendingEnd = false;
        m_attributes.clear();
        m_hadExpected = false;
        return Token::EndElement;
    }
    if (!m_started) begin();
    const Input in{reinterpret_cast<Byte*>(m_data), reinterpret_cast<Byte*>(m_data) + m_size};
    m_attributes.clear();
    m_hadExpected = false;
    m_text = {};
    for (;;) {
        Byte* p = in.base + m_pos;
        if (p == in.end) {
            if (!m_open.empty()) fail(in, p, "an element is not closed");
            if (!m_rootSeen) fail(in, p, "the document has no root element");
            m_depth = 0;
            m_name = {};
            return Token::EndOfDocument;
        }
        if (*p != '<') {
            if (!m_open.empty()) return characterData();
            Byte* const after = skipSpace(in, p);
            if (after == p)
                fail(in, p,
                     m_rootSeen ? "only white space, comments and processing instructions may "
                                  "follow the root element"
                                : "text is not allowed before the root element");
            m_pos = static_cast<std::size_t>(after - in.base);
            continue;
        }
        if (p + 1 == in.end) fail(in, p, "the document ends inside markup");
        switch (p[1]) {
            case '/':
                return endTag();
            case '?':
                skipProcessingInstruction();
                continue;
            case '!':
                if (startsWith(in, p, "<!--")) {
                    skipComment();
                    continue;
                }
                if (startsWith(in, p, "<![CDATA[")) {
                    if (m_open.empty())
                        fail(in, p, "a CDATA section is not allowed outside the root element");
                    return cdataSection();
                }
                if (startsWith(in, p, "<!DOCTYPE"))
                    fail(in, p, "a document type declaration is not supported");
                fail(in, p, "\"<!\" must begin a comment or a CDATA section");
            default:
                return startTag();
        }
    }
}

XmlReader::Token XmlReader::startTag() {
    const Input in{reinterpret_cast<Byte*>(m_data), reinterpret_cast<Byte*>(m_data) + m_size};
    Byte* const open = in.base + m_pos;
    if (m_open.empty() && m_rootSeen) fail(in, open, "a document has only one root element");
    Byte* p = readName(in, open + 1);
    m_name = view(open + 1, p);
    m_attributeNames.clear();
    // The expected attributes, each one compare and a value scan. A value is read in place by
    // the same routine as below, so only the name and the duplicate check are skipped.
    std::size_t matched = 0;
    m_attributes.resize(m_expected.size());
    for (; matched < m_expected.size(); ++matched) {
        const std::string& pattern = m_expected[matched];
        if (static_cast<std::size_t>(in.end - p) < pattern.size() ||
            std::memcmp(p, pattern.data(), pattern.size()) != 0)
            break;
        Byte* const nameStart = p + 1;
        Byte* const valueStart = p + pattern.size();
        Byte* valueEnd = nullptr;
        p = readAttributeValue(in, valueStart, '"', valueEnd);
        m_attributes[matched] = {view(nameStart, valueStart - 2), view(valueStart, valueEnd)};
    }
    m_attributes.resize(matched);
    if (matched == m_expected.size() && matched != 0 && p < in.end && (*p == '>' || *p == '/')) {
        m_hadExpected = true;
    } else {
        // More or other attributes follow: the general path checks them against these too.
        for (const Attribute& a : m_attributes)
            m_attributeNames.insert(m_data, static_cast<std::size_t>(a.name.data() - m_data),
                                    a.name.size());
    }
    for (;;) {
        Byte* const afterName = p;
        p = skipSpace(in, p);
        if (p == in.end) fail(in, open, "a start tag is not closed");
        if (*p == '>') {
            m_rootSeen = true;
            m_open.push_back(m_name);
            m_depth = m_open.size();
            m_pos = static_cast<std::size_t>(p + 1 - in.base);
            return Token::StartElement;
        }
        if (*p == '/') {
            if (p + 1 == in.end || p[1] != '>') fail(in, p, "\"/\" must be followed by \">\"");
            m_rootSeen = true;
            m_depth = m_open.size() + 1;
            m_pendingEnd = true;
            m_pos = static_cast<std::size_t>(p + 2 - in.base);
            return Token::StartElement;
        }
        if (p == afterName) fail(in, p, "white space, \">\" or \"/>\" is expected in the tag");
        Byte* const nameStart = p;
        p = readName(in, p);
        const std::string_view name = view(nameStart, p);
        p = skipSpace(in, p);
        if (p == in.end || *p != '=') fail(in, p, "\"=\" is expected after an attribute name");
        p = skipSpace(in, p + 1);
        if (p == in.end || (*p != '"' && *p != '\''))
            fail(in, p, "an attribute value must be quoted");
        Byte* valueEnd = nullptr;
        Byte* const valueStart = p + 1;
        p = readAttributeValue(in, valueStart, *p, valueEnd);
        if (!m_attributeNames.insert(m_data, static_cast<std::size_t>(nameStart - in.base),
                                     name.size()))
            fail(in, nameStart, "an attribute appears twice in one tag");
        m_attributes.push_back({name, view(valueStart, valueEnd)});
    }
}

XmlReader::Token XmlReader::endTag() {
    const Input in{reinterpret_cast<Byte*>(m_data), reinterpret_cast<Byte*>(m_data) + m_size};
    Byte* const open = in.base + m_pos;
    Byte* p = readName(in, open + 2);
    const std::string_view name = view(open + 2, p);
    if (m_open.empty()) fail(in, open, "an end tag has no start tag");
    if (name != m_open.back()) fail(in, open, "an end tag does not match its start tag");
    p = skipSpace(in, p);
    if (p == in.end || *p != '>') fail(in, p, "\">\" is expected to close the end tag");
    m_name = m_open.back();
    m_depth = m_open.size();
    m_open.pop_back();
    m_pos = static_cast<std::size_t>(p + 1 - in.base);
    return Token::EndElement;
}

XmlReader::Token XmlReader::characterData() {
    const Input in{reinterpret_cast<Byte*>(m_data), reinterpret_cast<Byte*>(m_data) + m_size};
    Byte* const start = in.base + m_pos;
    Byte* out = start;
    Byte* r = start;
    for (;;) {
        Byte* const run = r;
        while (r < in.end && !has(*r, kTextStop)) ++r;
        if (out != run) std::memmove(out, run, static_cast<std::size_t>(r - run));
        out += r - run;
        if (r == in.end || *r == '<') break;
        const Byte c = *r;
        if (c == '&') {
            r = readReference(in, r, out);
        } else if (c == '\r') {
            // Line ends reach the application as LF, whatever the file held.
            *out++ = '\n';
            if (++r < in.end && *r == '\n') ++r;
        } else if (c == ']') {
            if (startsWith(in, r, "]]>")) fail(in, r, "\"]]>\" is not allowed in text");
            *out++ = c;
            ++r;
        } else if (c < 0x80) {
            failCharacter(in, r);
        } else {
            const std::size_t n = nonAsciiChar(in, r);
            if (out != r) std::memmove(out, r, n);
            out += n;
            r += n;
        }
    }
    m_text = view(start, out);
    m_name = {};
    m_depth = m_open.size();
    m_pos = static_cast<std::size_t>(r - in.base);
    return Token::Text;
}

XmlReader::Token XmlReader::cdataSection() {
    const Input in{reinterpret_cast<Byte*>(m_data), reinterpret_cast<Byte*>(m_data) + m_size};
    Byte* const open = in.base + m_pos;
    Byte* const start = open + 9;  // "<![CDATA["
    Byte* out = start;
    Byte* r = start;
    for (;;) {
        Byte* const run = r;
        r = skipChars(in, r, kCdataStop);
        if (out != run) std::memmove(out, run, static_cast<std::size_t>(r - run));
        out += r - run;
        if (r == in.end) fail(in, open, "a CDATA section is not closed");
        if (*r == ']' && startsWith(in, r, "]]>")) break;
        if (*r == '\r') {
            *out++ = '\n';
            if (++r < in.end && *r == '\n') ++r;
        } else {
            *out++ = *r++;
        }
    }
    m_text = view(start, out);
    m_name = {};
    m_depth = m_open.size();
    m_pos = static_cast<std::size_t>(r + 3 - in.base);
    return Token::Text;
}

void XmlReader::skipComment() {
    const Input in{reinterpret_cast<Byte*>(m_data), reinterpret_cast<Byte*>(m_data) + m_size};
    Byte* const open = in.base + m_pos;
    Byte* p = open + 4;  // "<!--"
    for (;;) {
        p = skipChars(in, p, kCommentStop);
        if (p == in.end) fail(in, open, "a comment is not closed");
        if (p + 1 < in.end && p[1] == '-') {
            if (p + 2 < in.end && p[2] == '>') break;
            fail(in, p, "\"--\" is not allowed inside a comment");
        }
        ++p;
    }
    m_pos = static_cast<std::size_t>(p + 3 - in.base);
}

void XmlReader::skipProcessingInstruction() {
    const Input in{reinterpret_cast<Byte*>(m_data), reinterpret_cast<Byte*>(m_data) + m_size};
    Byte* const open = in.base + m_pos;
    Byte* p = readName(in, open + 2);
    const std::string_view target = view(open + 2, p);
    if (lowerAscii(target) == "xml") {
        const bool atStart = m_pos == 0 || (m_pos == 3 && in.base[0] == 0xEF);
        if (target == "xml")
            fail(in, open,
                 atStart ? "a malformed XML declaration"
                         : "the XML declaration is allowed only at the very start");
        fail(in, open, "a processing instruction target beginning with \"xml\" is reserved");
    }
    if (!startsWith(in, p, "?>")) {
        if (p == in.end || !has(*p, kSpace))
            fail(in, p,
                 "white space or \"?>\" is expected after the processing instruction target");
        for (;;) {
            p = skipChars(in, p, kPiStop);
            if (p == in.end) fail(in, open, "a processing instruction is not closed");
            if (p + 1 < in.end && p[1] == '>') break;
            ++p;
        }
    }
    m_pos = static_cast<std::size_t>(p + 2 - in.base);
}

}  // namespace vorkel
