#include "core/storage/XmlWriter.h"

#include <cstring>
#include <string>

#include "core/Error.h"
#include "core/storage/XmlCharacters.h"

namespace vorkel {

using namespace xmlchars;

namespace {

// How many bytes longer a character gets as &amp; &lt; &quot; or &#09; &#10; &#13;.
std::size_t growthWhenEscaped(unsigned char c) {
    switch (c) {
        case '&':
            return 4;
        case '<':
            return 3;
        case '"':
            return 5;
        default:
            return 4;
    }
}

}  // namespace

void XmlWriter::append(std::string_view text) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
    m_out.insert(m_out.end(), p, p + text.size());
}

void XmlWriter::startElement(std::string_view name) {
    requireName(name);
    if (m_open.empty()) {
        if (m_rootDone) throw Error("An XML document has only one root element.");
    } else if (!m_open.back().hasChildren) {
        m_out.push_back('>');
        m_open.back().hasChildren = true;
    }
    m_out.push_back('<');
    m_open.push_back({m_out.size(), name.size(), false});
    append(name);
    m_attributeNames.clear();
}

void XmlWriter::attribute(std::string_view name, std::string_view value) {
    if (m_open.empty() || m_open.back().hasChildren)
        throw Error("An attribute must follow the start of its element.");
    requireName(name);

    // First pass: validate and measure, so nothing is written for a bad value and the buffer
    // grows once per attribute.
    const auto* const begin = reinterpret_cast<const unsigned char*>(value.data());
    const auto* const end = begin + value.size();
    std::size_t escapedSize = value.size();
    for (const unsigned char* p = begin; p < end;) {
        while (p < end && !has(*p, kEscapeStop)) ++p;
        if (p == end) break;
        if (*p >= 0x80) {
            char32_t cp = 0;
            const std::size_t n = decodeUtf8(p, end, cp);
            if (n == 0 || !isChar(cp))
                throwBadValue(name, value, static_cast<std::size_t>(p - begin));
            p += n;
        } else if (*p < 0x20 && !has(*p, kSpace)) {
            throwBadValue(name, value, static_cast<std::size_t>(p - begin));
        } else {
            escapedSize += growthWhenEscaped(*p++);
        }
    }

    const std::size_t mark = m_out.size();
    m_out.resize(mark + name.size() + escapedSize + 4);
    std::uint8_t* o = m_out.data() + mark;
    *o++ = ' ';
    std::memcpy(o, name.data(), name.size());
    o += name.size();
    *o++ = '=';
    *o++ = '"';
    if (escapedSize == value.size()) {
        if (!value.empty()) std::memcpy(o, begin, value.size());
        o += value.size();
    } else {
        // Tab, LF and CR as references: written as they are, a reader would make them blanks.
        const auto put = [&o](const char* text, std::size_t n) {
            std::memcpy(o, text, n);
            o += n;
        };
        for (const unsigned char* p = begin; p < end; ++p) {
            if (!has(*p, kEscapeStop) || *p >= 0x80) {
                *o++ = *p;
                continue;
            }
            switch (*p) {
                case '&':
                    put("&amp;", 5);
                    break;
                case '<':
                    put("&lt;", 4);
                    break;
                case '"':
                    put("&quot;", 6);
                    break;
                case '\t':
                    put("&#09;", 5);
                    break;
                case '\n':
                    put("&#10;", 5);
                    break;
                default:  // CR: the first pass let nothing else through
                    put("&#13;", 5);
                    break;
            }
        }
    }
    *o = '"';
    if (!m_attributeNames.insert(reinterpret_cast<const char*>(m_out.data()), mark + 1,
                                 name.size())) {
        m_out.resize(mark);
        throw Error("The attribute \"" + std::string(name) + "\" is written twice on one element.");
    }
}

void XmlWriter::text(std::string_view text) {
    if (m_open.empty()) throw Error("Text must stand inside an element.");
    if (text.empty()) return;
    if (!isValue(text)) throw Error("The text holds a character XML cannot carry.");
    if (!m_open.back().hasChildren) m_out.push_back('>');
    for (const char c : text) {
        switch (c) {
            case '&':
                append("&amp;");
                break;
            case '<':
                append("&lt;");
                break;
            case '>':
                append("&gt;");
                break;
            case '\r':
                append("&#13;");
                break;
            default:
                m_out.push_back(static_cast<std::uint8_t>(c));
        }
    }
    m_open.back().hasChildren = true;
}

void XmlWriter::endElement() {
    if (m_open.empty()) throw Error("No XML element is open.");
    const Open top = m_open.back();
    if (!top.hasChildren) {
        append("/>");
    } else {
        const std::size_t at = m_out.size();
        m_out.resize(at + top.nameLength + 3);
        std::uint8_t* const d = m_out.data();
        d[at] = '<';
        d[at + 1] = '/';
        std::memcpy(d + at + 2, d + top.nameOffset, top.nameLength);
        d[at + 2 + top.nameLength] = '>';
    }
    m_open.pop_back();
    if (m_open.empty()) m_rootDone = true;
}

}  // namespace vorkel
