#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/storage/SecureBytes.h"
#include "core/storage/XmlNameSet.h"

namespace vorkel {

/// Appends XML to a buffer directly, for documents too large for a DOM. The bytes are exactly
/// what XmlDocument::SaveToBuffer writes for the same tree: no declaration, no indentation,
/// attribute values escaped with &amp; &lt; &quot; and CR, LF, tab as &#13; &#10; &#09; (">"
/// and "'" stay as they are). Throws Error when a name or value holds a character XML 1.0
/// cannot carry, for a second root element and for a duplicate attribute; the buffer is then
/// left as it was before the call.
class XmlWriter {
public:
    explicit XmlWriter(SecureBytes& out) : m_out(out) {}

    /// Opens "<name"; attributes may follow until the next start or end.
    void startElement(std::string_view name);
    /// Writes ` name="value"` on the element just started.
    void attribute(std::string_view name, std::string_view value);
    /// Writes character data in the innermost element, with &amp; &lt; &gt; and CR as &#13; (so
    /// it reads back as CR, not as a line end); empty text writes nothing.
    void text(std::string_view text);
    /// Closes the innermost element: "/>" when it has no children, else "</name>".
    void endElement();

private:
    void append(std::string_view text);

    SecureBytes& m_out;
    struct Open {
        std::size_t nameOffset;  // where the name sits in m_out, which may move as it grows
        std::size_t nameLength;
        bool hasChildren;
    };
    std::vector<Open> m_open;
    bool m_rootDone = false;
    XmlNameSet m_attributeNames;
};

}  // namespace vorkel
