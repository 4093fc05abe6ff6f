#pragma once

#include <string>
#include <string_view>

#include "core/storage/XmlCharacters.h"
#include "core/storage/XmlDocument.h"
#include "core/storage/XmlReader.h"

namespace vorkel::test {

/// The tokens XmlReader yields for a document, as "<a x=[1]>[text]</a>". With `likeDom`, text
/// shows only as "[#text]" and blank text is left out, which is what the document object model
/// can tell apart. Throws what the reader throws.
inline std::string readerTrace(std::string bytes, bool likeDom = false) {
    XmlReader reader(bytes.data(), bytes.size());
    std::string out;
    for (;;) {
        switch (reader.next()) {
            case XmlReader::Token::StartElement:
                out += "<" + std::string(reader.name());
                for (const auto& a : reader.attributes())
                    out += " " + std::string(a.name) + "=[" + std::string(a.value) + "]";
                out += ">";
                break;
            case XmlReader::Token::EndElement:
                out += "</" + std::string(reader.name()) + ">";
                break;
            case XmlReader::Token::Text:
                if (!likeDom)
                    out += "[" + std::string(reader.text()) + "]";
                else if (!xmlchars::isBlank(reader.text()))
                    out += "[#text]";
                break;
            case XmlReader::Token::EndOfDocument:
                return out;
        }
    }
}

inline void appendDomTrace(const XmlElement& e, std::string& out) {
    if (!e.isElement()) {
        out += "[#text]";
        return;
    }
    out += "<" + e.name();
    for (const auto& [name, value] : e.Attributes()) out += " " + name + "=[" + value + "]";
    out += ">";
    for (const XmlElement& child : e.ChildNodes()) appendDomTrace(child, out);
    out += "</" + e.name() + ">";
}

/// The tree of a document in the form readerTrace(bytes, true) gives.
inline std::string domTrace(const XmlDocument& doc) {
    std::string out;
    if (!doc.DocumentElement().isNull()) appendDomTrace(doc.DocumentElement(), out);
    return out;
}

/// Bytes of a string as a SecureBytes buffer.
inline SecureBytes bytesOf(std::string_view s) {
    return SecureBytes(s.begin(), s.end());
}

/// A SecureBytes buffer as a string.
inline std::string textOf(const SecureBytes& b) {
    return std::string(b.begin(), b.end());
}

}  // namespace vorkel::test
