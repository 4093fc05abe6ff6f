#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/storage/SecureBytes.h"

namespace vorkel {

struct XmlTree;

/// A handle to one node of an XmlDocument; valid while the document lives. A null handle
/// stands for a missing child: it has no attributes and no children.
class XmlElement {
public:
    XmlElement() = default;

    /// True for the handle of a missing node.
    bool isNull() const { return m_tree == nullptr; }
    /// True when the node is an element (not text).
    bool isElement() const;
    /// The element's name; empty for text and null handles.
    std::string name() const;

    /// Appends a child element; children keep the order in which they were added.
    XmlElement AddChild(std::string_view name);
    /// Sets (or adds) an attribute; an empty value still produces the attribute.
    void SetAttribute(std::string_view name, std::string_view value);
    /// Adds an attribute the element does not have yet, without looking for it first (so a
    /// long run of them costs linear time); the caller vouches that the name is new, and
    /// SaveToBuffer throws Error for a duplicate.
    void AppendAttribute(std::string_view name, std::string_view value);

    /// The attribute's text; throws ConversionError naming the attribute when it is missing.
    std::string GetAttribute(std::string_view name) const;
    /// True when the attribute is present.
    bool HasAttribute(std::string_view name) const;
    /// Number of attributes.
    std::size_t AttributeCount() const;
    /// All attributes as (name, value) in document order.
    std::vector<std::pair<std::string, std::string>> Attributes() const;

    /// Child nodes in document order (elements and non-blank text).
    std::vector<XmlElement> ChildNodes() const;
    /// The first child element with that name, or a null handle.
    XmlElement ChildByName(std::string_view name) const;

private:
    friend class XmlDocument;
    XmlElement(XmlTree* tree, std::size_t node) : m_tree(tree), m_node(node) {}
    XmlTree* m_tree = nullptr;  // null for a missing node
    std::size_t m_node = 0;     // index into the tree's nodes
};

/// An XML document object model; the settings document and the logon check go through it.
/// Elements keep their attributes in order and their children (elements and non-blank text);
/// every name, value and text lies in secret memory, wiped when the document goes.
class XmlDocument {
public:
    /// A new, empty document.
    XmlDocument();
    ~XmlDocument();
    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;

    /// Parses a buffer (UTF-8 or UTF-16, declaration optional) strictly: throws XmlError for an
    /// empty buffer or anything that is not a well-formed XML 1.0 document.
    static XmlDocument LoadFromBuffer(SecureBytes buffer);

    /// Appends the root element.
    XmlElement AddRoot(std::string_view name);
    /// The root element (null handle for an empty document).
    XmlElement DocumentElement() const;

    /// Serialises the document: UTF-8, no declaration, no indentation, CR/LF/tab in attribute
    /// values as character references.
    SecureBytes SaveToBuffer() const;

private:
    std::unique_ptr<XmlTree> m_tree;  // on the heap, so handles survive a move of the document
};

}  // namespace vorkel
