#include "vel/libxml2/SharedXmlNode.h"

#include <cstring>

#include "runtime/lum/Assert.h"
#include "vel/exception/XmlException.h"

namespace {

const xmlChar* X(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

void addLineFeed(xmlNodePtr parent) {
    xmlNodePtr text = xmlNewDocText(parent->doc, X("\n"));
    if (text == nullptr) XmlException::raise(__FILE__, __LINE__, "xmlNewDocText");
    if (xmlAddChild(parent, text) == nullptr) {
        xmlFreeNode(text);
        XmlException::raise(__FILE__, __LINE__, "xmlAddChild");
    }
}

}  // namespace

void SharedXmlNode::assign(const SharedXmlNode& source) {
    LUM_ASSERT(source.m_p);
    m_p = source.m_p;
}

const char* SharedXmlNode::name() const {
    if (!LUM_ASSERT(m_p) || !LUM_ASSERT(m_p->name)) return "";
    return reinterpret_cast<const char*>(m_p->name);
}

SharedXmlNode SharedXmlNode::addChild(const char* name) const {
    return addChild(m_p, name);
}

SharedXmlNode SharedXmlNode::addTextChild(const char* name, const char* text) const {
    return addTextChild(m_p, name, text);
}

SharedXmlNode SharedXmlNode::addChild(xmlNodePtr parent, const char* name) {
    if (!LUM_ASSERT(parent) || !LUM_ASSERT(name)) XmlException::raise(__FILE__, __LINE__, "xmlNewChild");
    if (parent->children == nullptr) addLineFeed(parent);
    xmlNodePtr child = xmlNewChild(parent, nullptr, X(name), nullptr);
    if (child == nullptr) XmlException::raise(__FILE__, __LINE__, "xmlNewChild");
    addLineFeed(parent);
    return SharedXmlNode(child);
}

SharedXmlNode SharedXmlNode::addTextChild(xmlNodePtr parent, const char* name, const char* text) {
    if (!LUM_ASSERT(parent) || !LUM_ASSERT(name) || !LUM_ASSERT(text))
        XmlException::raise(__FILE__, __LINE__, "xmlNewTextChild");
    if (parent->children == nullptr) addLineFeed(parent);
    xmlNodePtr child = xmlNewTextChild(parent, nullptr, X(name), X(text));
    if (child == nullptr) XmlException::raise(__FILE__, __LINE__, "xmlNewTextChild");
    addLineFeed(parent);
    return SharedXmlNode(child);
}

void SharedXmlNode::setAttribute(const char* name, const char* value) const {
    if (!LUM_ASSERT(m_p) || !LUM_ASSERT(name) || !LUM_ASSERT(value))
        XmlException::raise(__FILE__, __LINE__, "xmlSetProp");
    if (xmlSetProp(m_p, X(name), X(value)) == nullptr) XmlException::raise(__FILE__, __LINE__, "xmlSetProp");
}

XmlString SharedXmlNode::attribute(const char* name) const {
    if (!LUM_ASSERT(m_p) || !LUM_ASSERT(name)) return XmlString();
    return XmlString(xmlGetProp(m_p, X(name)));
}

bool SharedXmlNode::isElement() const {
    return LUM_ASSERT(m_p) && m_p->type == XML_ELEMENT_NODE;
}

bool SharedXmlNode::hasName(const char* name) const {
    return isElement() && m_p->name != nullptr && name != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(m_p->name), name) == 0;
}

bool SharedXmlNode::isText() const {
    return LUM_ASSERT(m_p) && m_p->type == XML_TEXT_NODE;
}

SharedXmlNode SharedXmlNode::firstChild() const {
    if (!LUM_ASSERT(m_p)) return SharedXmlNode();
    return SharedXmlNode(m_p->children);
}

SharedXmlNode SharedXmlNode::nextSibling() const {
    if (!LUM_ASSERT(m_p)) return SharedXmlNode();
    return SharedXmlNode(m_p->next);
}

SharedXmlNode SharedXmlNode::findChild(const char* name) const {
    if (!LUM_ASSERT(m_p)) return SharedXmlNode();
    for (xmlNodePtr child = m_p->children; child != nullptr; child = child->next) {
        if (SharedXmlNode(child).hasName(name)) return SharedXmlNode(child);
    }
    return SharedXmlNode();
}

namespace {

bool isTextOrCdata(xmlNodePtr node) {
    return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

// A value split by a comment or written partly as CDATA is one value: its pieces are joined into
// the first, once, so that the text handed out lives as long as the document. Only a leaf is
// joined; text around child elements keeps its place, and the canonical form, which drops
// comments and reads CDATA as text, stays the same. Null for an element with element children.
xmlNodePtr joinedText(xmlNodePtr element) {
    xmlNodePtr first = nullptr;
    int pieces = 0;
    for (xmlNodePtr child = element->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE) return nullptr;
        if (!isTextOrCdata(child)) continue;
        if (first == nullptr) first = child;
        ++pieces;
    }
    if (pieces <= 1) return first;
    xmlChar* joined = nullptr;
    for (xmlNodePtr child = first; child != nullptr; child = child->next) {
        if (isTextOrCdata(child) && child->content != nullptr) joined = xmlStrcat(joined, child->content);
    }
    for (xmlNodePtr child = first->next; child != nullptr;) {
        xmlNodePtr next = child->next;
        if (isTextOrCdata(child)) {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        }
        child = next;
    }
    xmlNodeSetContent(first, joined);
    xmlFree(joined);
    return first;
}

}  // namespace

const char* SharedXmlNode::content() const {
    if (!LUM_ASSERT(m_p)) return nullptr;
    xmlNodePtr text = joinedText(m_p);
    if (text == nullptr) {
        // Text beside child elements: the first piece, as before.
        for (xmlNodePtr child = m_p->children; child != nullptr; child = child->next) {
            if (child->type == XML_TEXT_NODE) {
                text = child;
                break;
            }
        }
    }
    if (text == nullptr) return nullptr;
    return text->content != nullptr ? reinterpret_cast<const char*>(text->content) : "";
}

const char* SharedXmlNode::childContent(const char* name) const {
    SharedXmlNode child = findChild(name);
    return child.isNonNull() ? child.content() : nullptr;
}

void SharedXmlNode::unlink() const {
    if (LUM_ASSERT(m_p)) xmlUnlinkNode(m_p);
}

void SharedXmlNode::removeChildren() const {
    if (!LUM_ASSERT(m_p)) return;
    while (m_p->children != nullptr) {
        xmlNodePtr child = m_p->children;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
    }
}

void SharedXmlNode::appendChild(const SharedXmlNode& node) const {
    if (!LUM_ASSERT(m_p) || !LUM_ASSERT(node.m_p)) XmlException::raise(__FILE__, __LINE__, "xmlAddChild");
    xmlUnlinkNode(node.m_p);
    // Adjacent text nodes are merged and the child freed; callers append elements.
    if (xmlAddChild(m_p, node.m_p) == nullptr) XmlException::raise(__FILE__, __LINE__, "xmlAddChild");
}
