#pragma once

#include <libxml/tree.h>

#include "vel/libxml2/XmlString.h"

// A non-owning pointer to a node of a document; copies share the node.
class SharedXmlNode {
public:
    SharedXmlNode() = default;
    explicit SharedXmlNode(xmlNodePtr p) : m_p(p) {}

    void assign(const SharedXmlNode& source);
    void clear() { m_p = nullptr; }
    bool isNonNull() const { return m_p != nullptr; }
    bool isNull() const { return m_p == nullptr; }
    xmlNodePtr get() const { return m_p; }

    const char* name() const;
    SharedXmlNode addChild(const char* name) const;
    SharedXmlNode addTextChild(const char* name, const char* text) const;
    void setAttribute(const char* name, const char* value) const;
    XmlString attribute(const char* name) const;

    bool isElement() const;
    bool hasName(const char* name) const;
    bool isText() const;
    SharedXmlNode firstChild() const;
    SharedXmlNode nextSibling() const;
    SharedXmlNode findChild(const char* name) const;
    // The text of a leaf: its text and CDATA children joined, comments left out; of an element
    // with element children, its first text child. Null when there is none.
    const char* content() const;
    const char* childContent(const char* name) const;

    void unlink() const;
    void appendChild(const SharedXmlNode& node) const;
    // Frees every child node, of whatever kind.
    void removeChildren() const;

    // Children built here sit on lines of their own: a line feed before the first child of a parent
    // and after every child.
    static SharedXmlNode addChild(xmlNodePtr parent, const char* name);
    static SharedXmlNode addTextChild(xmlNodePtr parent, const char* name, const char* text);

    friend bool operator==(const SharedXmlNode& a, const SharedXmlNode& b) { return a.m_p == b.m_p; }

private:
    xmlNodePtr m_p = nullptr;
};
