#include "storage/XmlDocument.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <pugixml.hpp>

#include "Error.h"
#include "storage/XmlCharacters.h"
#include "storage/XmlEncoding.h"
#include "storage/XmlError.h"
#include "storage/XmlReader.h"

namespace vorkel {

namespace {

// pugixml keeps the names and values it was given in memory of its own; the settings document
// holds the master password, so that memory comes from the secret allocator (kept out of core
// dumps, wiped before it goes back).
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* wipingAllocate(std::size_t size) {
    void* block = nullptr;
    try {
        block = secureAllocate(size + kHeader);
    } catch (const std::bad_alloc&) {
        return nullptr;  // pugixml reports it as out of memory
    }
    std::memcpy(block, &size, sizeof size);
    return static_cast<char*>(block) + kHeader;
}

void wipingDeallocate(void* p) {
    if (p == nullptr) return;
    char* const block = static_cast<char*>(p) - kHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    secureDeallocate(block, size + kHeader);
}

// Must run before pugixml allocates anything; only this file creates pugixml objects.
void useWipingAllocator() {
    static const bool installed = [] {
        pugi::set_memory_management_functions(wipingAllocate, wipingDeallocate);
        return true;
    }();
    (void)installed;
}

pugi::xml_node nodeOf(void* p) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(p));
}

bool isText(const pugi::xml_node& n) {
    return n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata;
}

bool isBlank(const char* text) {
    for (; *text != '\0'; ++text)
        if (!xmlchars::has(static_cast<unsigned char>(*text), xmlchars::kSpace)) return false;
    return true;
}

pugi::xml_attribute findAttribute(const pugi::xml_node& n, std::string_view name) {
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (name == a.name()) return a;
    return {};
}

class BufferWriter : public pugi::xml_writer {
public:
    explicit BufferWriter(SecureBytes& out) : m_out(out) {}
    void write(const void* data, std::size_t size) override {
        const auto* p = static_cast<const std::uint8_t*>(data);
        m_out.insert(m_out.end(), p, p + size);
    }

private:
    SecureBytes& m_out;
};

}  // namespace

struct XmlDocument::Impl {
    SecureBytes buffer;  // the parsed text; pugixml points into it, so it outlives `doc`
    pugi::xml_document doc;
};

bool XmlElement::isElement() const {
    return nodeOf(m_node).type() == pugi::node_element;
}

std::string XmlElement::name() const {
    return isElement() ? nodeOf(m_node).name() : std::string();
}

XmlElement XmlElement::AddChild(std::string_view name) {
    if (!isElement()) throw Error("Cannot add the element \"" + std::string(name) + "\" here.");
    xmlchars::requireName(name);
    pugi::xml_node child = nodeOf(m_node).append_child(std::string(name).c_str());
    if (!child) throw Error("Out of memory while building an XML document.");
    return XmlElement(child.internal_object());
}

void XmlElement::SetAttribute(std::string_view name, std::string_view value) {
    if (!isElement()) throw Error("Cannot set the attribute \"" + std::string(name) + "\" here.");
    xmlchars::requireName(name);
    xmlchars::requireValue(name, value);
    pugi::xml_node n = nodeOf(m_node);
    pugi::xml_attribute a = findAttribute(n, name);
    if (!a) a = n.append_attribute(std::string(name).c_str());
    if (!a || !a.set_value(value.data(), value.size()))
        throw Error("Out of memory while building an XML document.");
}

void XmlElement::AppendAttribute(std::string_view name, std::string_view value) {
    if (!isElement()) throw Error("Cannot set the attribute \"" + std::string(name) + "\" here.");
    xmlchars::requireName(name);
    xmlchars::requireValue(name, value);
    pugi::xml_attribute a = nodeOf(m_node).append_attribute(std::string(name).c_str());
    if (!a || !a.set_value(value.data(), value.size()))
        throw Error("Out of memory while building an XML document.");
}

std::string XmlElement::GetAttribute(std::string_view name) const {
    const pugi::xml_attribute a = findAttribute(nodeOf(m_node), name);
    if (!a)
        throw ConversionError("The document lacks the attribute \"" + std::string(name) + "\".");
    return a.value();
}

bool XmlElement::HasAttribute(std::string_view name) const {
    return static_cast<bool>(findAttribute(nodeOf(m_node), name));
}

std::size_t XmlElement::AttributeCount() const {
    std::size_t count = 0;
    for (pugi::xml_attribute a = nodeOf(m_node).first_attribute(); a; a = a.next_attribute())
        ++count;
    return count;
}

std::vector<std::pair<std::string, std::string>> XmlElement::Attributes() const {
    std::vector<std::pair<std::string, std::string>> result;
    for (pugi::xml_attribute a = nodeOf(m_node).first_attribute(); a; a = a.next_attribute())
        result.emplace_back(a.name(), a.value());
    return result;
}

std::vector<XmlElement> XmlElement::ChildNodes() const {
    std::vector<XmlElement> result;
    for (pugi::xml_node c = nodeOf(m_node).first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element || (isText(c) && !isBlank(c.value())))
            result.push_back(XmlElement(c.internal_object()));
    }
    return result;
}

XmlElement XmlElement::ChildByName(std::string_view name) const {
    for (pugi::xml_node c = nodeOf(m_node).first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && name == c.name())
            return XmlElement(c.internal_object());
    return {};
}

XmlDocument::XmlDocument() {
    useWipingAllocator();
    m_impl = std::make_unique<Impl>();
}

XmlDocument::~XmlDocument() = default;
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;

XmlDocument XmlDocument::LoadFromBuffer(SecureBytes buffer) {
    if (buffer.empty()) throw XmlError(0, "the document is empty");
    const std::size_t start = prepareUtf8(buffer);
    {
        // pugixml accepts text after the root, a second root, duplicate attributes, control
        // characters and broken UTF-8; the strict reader vets a copy first (it decodes in place).
        SecureBytes scratch(buffer);
        XmlReader reader(reinterpret_cast<char*>(scratch.data()), scratch.size());
        while (reader.next() != XmlReader::Token::EndOfDocument) {
        }
    }
    XmlDocument document;
    Impl& impl = *document.m_impl;
    impl.buffer = std::move(buffer);
    const unsigned flags =
        pugi::parse_cdata | pugi::parse_escapes | pugi::parse_wconv_attribute | pugi::parse_eol;
    const pugi::xml_parse_result result = impl.doc.load_buffer_inplace(
        impl.buffer.data() + start, impl.buffer.size() - start, flags, pugi::encoding_utf8);
    if (!result)
        throw XmlError(start + static_cast<std::size_t>(result.offset), result.description());
    if (!impl.doc.document_element()) throw XmlError(start, "the document has no root element");
    return document;
}

XmlElement XmlDocument::AddRoot(std::string_view name) {
    if (m_impl->doc.document_element()) throw Error("The XML document already has a root element.");
    xmlchars::requireName(name);
    pugi::xml_node root = m_impl->doc.append_child(std::string(name).c_str());
    if (!root) throw Error("Out of memory while building an XML document.");
    return XmlElement(root.internal_object());
}

XmlElement XmlDocument::DocumentElement() const {
    const pugi::xml_node root = m_impl->doc.document_element();
    return root ? XmlElement(root.internal_object()) : XmlElement();
}

SecureBytes XmlDocument::SaveToBuffer() const {
    SecureBytes out;
    BufferWriter writer(out);
    m_impl->doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration,
                     pugi::encoding_utf8);
    return out;
}

}  // namespace vorkel
