#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/storage/XmlNameSet.h"

namespace vorkel {

/// A strict XML 1.0 pull parser over a UTF-8 buffer, which it decodes in place (entity and
/// character references are replaced inside the buffer, so views stay valid as long as the
/// buffer). It rejects everything a conforming parser rejects: invalid UTF-8, characters outside
/// the Char production, no root element, content after the root other than white space,
/// comments and processing instructions, duplicate attributes, unclosed or mismatched elements,
/// "<" in attribute values, undefined entities. A document type declaration is refused outright
/// (no DTDs, so no entity expansion). Attribute values are normalised as XML requires: literal
/// CR/LF/tab become blanks, character references keep their character.
class XmlReader {
public:
    enum class Token { StartElement, EndElement, Text, EndOfDocument };

    struct Attribute {
        std::string_view name;
        std::string_view value;
    };

    /// Parses data[0..size) (after a UTF-8 byte order mark, if any); the buffer must stay alive
    /// and unchanged by others meanwhile.
    XmlReader(char* data, std::size_t size);

    /// Advances to the next token; throws XmlError at the first fault. An empty-element tag
    /// yields StartElement then EndElement. Comments and processing instructions are skipped,
    /// CDATA sections come as Text.
    Token next();

    /// Name of the element for StartElement and EndElement.
    std::string_view name() const { return m_name; }
    /// Attributes of the StartElement just read, in document order, values decoded.
    std::span<const Attribute> attributes() const { return m_attributes; }
    /// Decoded character data for Text (may be white space only).
    std::string_view text() const { return m_text; }
    /// Number of open elements, counting the one just started (root is depth 1); for EndElement
    /// the depth of the element it closes, for Text the depth of the element holding it.
    std::size_t depth() const { return m_depth; }
    /// Names the attributes an element usually carries, in order (a data store item as the
    /// program writes it), so a tag written that way is read without the per-attribute name
    /// scanning and duplicate check: distinct names met in the given order cannot repeat. From
    /// the first difference on, the tag is read the general way, so no rule is relaxed. The names
    /// must be distinct, valid XML names.
    void expectAttributes(std::span<const std::string_view> names);
    /// True when the StartElement just read had exactly the expected attributes, in order.
    bool hadExpectedAttributes() const { return m_hadExpected; }

private:
    void begin();
    void readDeclaration();
    Token startTag();
    Token endTag();
    Token characterData();
    Token cdataSection();
    void skipComment();
    void skipProcessingInstruction();

    char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    std::size_t m_depth = 0;
    bool m_rootSeen = false;
    bool m_pendingEnd = false;
    std::string_view m_name;
    std::string_view m_text;
    std::vector<Attribute> m_attributes;
    std::vector<std::string_view> m_open;
    bool m_started = false;
    XmlNameSet m_attributeNames;
    std::vector<std::string> m_expected;  // ` name="` for each expected attribute
    bool m_hadExpected = false;
};

}  // namespace vorkel
