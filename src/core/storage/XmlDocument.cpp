#include "core/storage/XmlDocument.h"

#include "core/Error.h"
#include "core/storage/XmlCharacters.h"
#include "core/storage/XmlEncoding.h"
#include "core/storage/XmlError.h"
#include "core/storage/XmlReader.h"
#include "core/storage/XmlWriter.h"

namespace vorkel {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

}  // namespace

// The tree keeps offsets into one buffer of secret memory rather than strings of its own: the
// settings document holds the master password, and a parsed document's names and values stay
// where the reader decoded them.
struct XmlTree {
    struct Span {
        std::size_t offset = 0;
        std::size_t size = 0;
    };
    struct Attribute {
        Span name;
        Span value;
        std::size_t next = kNone;
    };
    struct Node {
        Span name;  // the text, for a text node
        bool isText = false;
        std::size_t firstChild = kNone;
        std::size_t lastChild = kNone;
        std::size_t nextSibling = kNone;
        std::size_t firstAttribute = kNone;
        std::size_t lastAttribute = kNone;
    };

    SecureBytes text;
    std::vector<Node> nodes;
    std::vector<Attribute> attributes;
    std::size_t root = kNone;

    std::string_view view(Span s) const {
        return {reinterpret_cast<const char*>(text.data()) + s.offset, s.size};
    }

    Span spanOf(std::string_view inText) const {
        return {
            static_cast<std::size_t>(inText.data() - reinterpret_cast<const char*>(text.data())),
            inText.size()};
    }

    Span store(std::string_view s) {
        const Span span{text.size(), s.size()};
        text.insert(text.end(), s.begin(), s.end());
        return span;
    }

    // Links item `index` at the end of a list kept as first and last indexes into `items`, each
    // item naming its successor through `next`: a node's children and its attributes alike.
    template <typename Item>
    static void linkLast(std::size_t& first, std::size_t& last, std::vector<Item>& items,
                         std::size_t Item::*next, std::size_t index) {
        if (last == kNone)
            first = index;
        else
            items[last].*next = index;
        last = index;
    }

    // Appends a node as the last child of parent, or as the root when parent is kNone.
    std::size_t addNode(std::size_t parent, Span name, bool isText) {
        const std::size_t index = nodes.size();
        nodes.push_back({name, isText});
        if (parent == kNone) {
            root = index;
        } else {
            Node& p = nodes[parent];
            linkLast(p.firstChild, p.lastChild, nodes, &Node::nextSibling, index);
        }
        return index;
    }

    void addAttribute(std::size_t node, Span name, Span value) {
        const std::size_t index = attributes.size();
        attributes.push_back({name, value});
        Node& n = nodes[node];
        linkLast(n.firstAttribute, n.lastAttribute, attributes, &Attribute::next, index);
    }

    std::size_t findAttribute(std::size_t node, std::string_view name) const {
        for (std::size_t a = nodes[node].firstAttribute; a != kNone; a = attributes[a].next)
            if (view(attributes[a].name) == name) return a;
        return kNone;
    }
};

bool XmlElement::isElement() const {
    return m_tree != nullptr && !m_tree->nodes[m_node].isText;
}

std::string XmlElement::name() const {
    return isElement() ? std::string(m_tree->view(m_tree->nodes[m_node].name)) : std::string();
}

XmlElement XmlElement::AddChild(std::string_view name) {
    if (!isElement()) throw Error("Cannot add the element \"" + std::string(name) + "\" here.");
    xmlchars::requireName(name);
    return XmlElement(m_tree, m_tree->addNode(m_node, m_tree->store(name), false));
}

void XmlElement::SetAttribute(std::string_view name, std::string_view value) {
    // A name that is not there (a bad one never is) is appended, with every check.
    const std::size_t a = isElement() ? m_tree->findAttribute(m_node, name) : kNone;
    if (a == kNone) return AppendAttribute(name, value);
    xmlchars::requireValue(name, value);
    // The old value may be the password being replaced; it goes now, not with the document.
    const XmlTree::Span old = m_tree->attributes[a].value;
    secureWipe(m_tree->text.data() + old.offset, old.size);
    m_tree->attributes[a].value = m_tree->store(value);
}

void XmlElement::AppendAttribute(std::string_view name, std::string_view value) {
    if (!isElement()) throw Error("Cannot set the attribute \"" + std::string(name) + "\" here.");
    xmlchars::requireName(name);
    xmlchars::requireValue(name, value);
    const XmlTree::Span n = m_tree->store(name);
    m_tree->addAttribute(m_node, n, m_tree->store(value));
}

std::string XmlElement::GetAttribute(std::string_view name) const {
    const std::size_t a = isElement() ? m_tree->findAttribute(m_node, name) : kNone;
    if (a == kNone)
        throw ConversionError("The document lacks the attribute \"" + std::string(name) + "\".");
    return std::string(m_tree->view(m_tree->attributes[a].value));
}

bool XmlElement::HasAttribute(std::string_view name) const {
    return isElement() && m_tree->findAttribute(m_node, name) != kNone;
}

std::size_t XmlElement::AttributeCount() const {
    std::size_t count = 0;
    if (isElement())
        for (std::size_t a = m_tree->nodes[m_node].firstAttribute; a != kNone;
             a = m_tree->attributes[a].next)
            ++count;
    return count;
}

std::vector<std::pair<std::string, std::string>> XmlElement::Attributes() const {
    std::vector<std::pair<std::string, std::string>> result;
    if (isElement())
        for (std::size_t a = m_tree->nodes[m_node].firstAttribute; a != kNone;
             a = m_tree->attributes[a].next)
            result.emplace_back(m_tree->view(m_tree->attributes[a].name),
                                m_tree->view(m_tree->attributes[a].value));
    return result;
}

std::vector<XmlElement> XmlElement::ChildNodes() const {
    // Blank text never enters the tree, so every child counts.
    std::vector<XmlElement> result;
    if (isElement())
        for (std::size_t c = m_tree->nodes[m_node].firstChild; c != kNone;
             c = m_tree->nodes[c].nextSibling)
            result.push_back(XmlElement(m_tree, c));
    return result;
}

XmlElement XmlElement::ChildByName(std::string_view name) const {
    if (isElement())
        for (std::size_t c = m_tree->nodes[m_node].firstChild; c != kNone;
             c = m_tree->nodes[c].nextSibling) {
            const XmlTree::Node& n = m_tree->nodes[c];
            if (!n.isText && m_tree->view(n.name) == name) return XmlElement(m_tree, c);
        }
    return {};
}

XmlDocument::XmlDocument() : m_tree(std::make_unique<XmlTree>()) {}

XmlDocument::~XmlDocument() = default;
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;

XmlDocument XmlDocument::LoadFromBuffer(SecureBytes buffer) {
    if (buffer.empty()) throw XmlError(0, "the document is empty");
    prepareUtf8(buffer);  // the reader skips a UTF-8 byte order mark itself
    XmlDocument document;
    XmlTree& tree = *document.m_tree;
    tree.text = std::move(buffer);
    // The reader decodes in place and its views stay valid, so the tree points into the buffer.
    XmlReader reader(reinterpret_cast<char*>(tree.text.data()), tree.text.size());
    std::vector<std::size_t> open;
    for (;;) {
        switch (reader.next()) {
            case XmlReader::Token::StartElement: {
                const std::size_t parent = open.empty() ? kNone : open.back();
                const std::size_t node = tree.addNode(parent, tree.spanOf(reader.name()), false);
                for (const XmlReader::Attribute& a : reader.attributes())
                    tree.addAttribute(node, tree.spanOf(a.name), tree.spanOf(a.value));
                open.push_back(node);
                break;
            }
            case XmlReader::Token::EndElement:
                open.pop_back();
                break;
            case XmlReader::Token::Text:
                if (!xmlchars::isBlank(reader.text()))
                    tree.addNode(open.back(), tree.spanOf(reader.text()), true);
                break;
            case XmlReader::Token::EndOfDocument:
                return document;
        }
    }
}

XmlElement XmlDocument::AddRoot(std::string_view name) {
    if (m_tree->root != kNone) throw Error("The XML document already has a root element.");
    xmlchars::requireName(name);
    return XmlElement(m_tree.get(), m_tree->addNode(kNone, m_tree->store(name), false));
}

XmlElement XmlDocument::DocumentElement() const {
    return m_tree->root == kNone ? XmlElement() : XmlElement(m_tree.get(), m_tree->root);
}

SecureBytes XmlDocument::SaveToBuffer() const {
    SecureBytes out;
    const XmlTree& tree = *m_tree;
    if (tree.root == kNone) return out;
    XmlWriter writer(out);
    // Depth first without recursion: a document may nest deeper than the stack would allow.
    std::vector<std::size_t> open;
    std::size_t n = tree.root;
    for (;;) {
        const XmlTree::Node& node = tree.nodes[n];
        if (node.isText) {
            writer.text(tree.view(node.name));
        } else {
            writer.startElement(tree.view(node.name));
            for (std::size_t a = node.firstAttribute; a != kNone; a = tree.attributes[a].next)
                writer.attribute(tree.view(tree.attributes[a].name),
                                 tree.view(tree.attributes[a].value));
            if (node.firstChild != kNone) {
                open.push_back(n);
                n = node.firstChild;
                continue;
            }
            writer.endElement();
        }
        while (tree.nodes[n].nextSibling == kNone) {
            if (open.empty()) return out;
            n = open.back();
            open.pop_back();
            writer.endElement();
        }
        n = tree.nodes[n].nextSibling;
    }
}

}  // namespace vorkel
