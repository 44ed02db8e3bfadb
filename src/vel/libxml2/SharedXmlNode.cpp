#include "vel/libxml2/SharedXmlNode.h"

#include <cstring>

#include "vel/libxml2/XmlFailure.h"

namespace {

const xmlChar* X(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

void addLineFeed(xmlNodePtr parent) {
    xmlNodePtr text = xmlNewDocText(parent->doc, X("\n"));
    if (text == nullptr) XML_RAISE("xmlNewDocText");
    if (xmlAddChild(parent, text) == nullptr) {
        xmlFreeNode(text);
        XML_RAISE("xmlAddChild");
    }
}

}  // namespace

void SharedXmlNode::assign(const SharedXmlNode& source) {
    XML_CHECK(source.m_p);
    m_p = source.m_p;
}

const char* SharedXmlNode::name() const {
    if (!XML_CHECK(m_p) || !XML_CHECK(m_p->name)) return "";
    return reinterpret_cast<const char*>(m_p->name);
}

SharedXmlNode SharedXmlNode::addChild(const char* name) const {
    return addChild(m_p, name);
}

SharedXmlNode SharedXmlNode::addTextChild(const char* name, const char* text) const {
    return addTextChild(m_p, name, text);
}

SharedXmlNode SharedXmlNode::addChild(xmlNodePtr parent, const char* name) {
    if (!XML_CHECK(parent) || !XML_CHECK(name)) XML_RAISE("xmlNewChild");
    if (parent->children == nullptr) addLineFeed(parent);
    xmlNodePtr child = xmlNewChild(parent, nullptr, X(name), nullptr);
    if (child == nullptr) XML_RAISE("xmlNewChild");
    addLineFeed(parent);
    return SharedXmlNode(child);
}

SharedXmlNode SharedXmlNode::addTextChild(xmlNodePtr parent, const char* name, const char* text) {
    if (!XML_CHECK(parent) || !XML_CHECK(name) || !XML_CHECK(text)) XML_RAISE("xmlNewTextChild");
    if (parent->children == nullptr) addLineFeed(parent);
    xmlNodePtr child = xmlNewTextChild(parent, nullptr, X(name), X(text));
    if (child == nullptr) XML_RAISE("xmlNewTextChild");
    addLineFeed(parent);
    return SharedXmlNode(child);
}

void SharedXmlNode::setAttribute(const char* name, const char* value) const {
    if (!XML_CHECK(m_p) || !XML_CHECK(name) || !XML_CHECK(value)) XML_RAISE("xmlSetProp");
    if (xmlSetProp(m_p, X(name), X(value)) == nullptr) XML_RAISE("xmlSetProp");
}

XmlString SharedXmlNode::attribute(const char* name) const {
    if (!XML_CHECK(m_p) || !XML_CHECK(name)) return XmlString();
    return XmlString(xmlGetProp(m_p, X(name)));
}

bool SharedXmlNode::isElement() const {
    return XML_CHECK(m_p) && m_p->type == XML_ELEMENT_NODE;
}

bool SharedXmlNode::hasName(const char* name) const {
    return isElement() && m_p->name != nullptr && name != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(m_p->name), name) == 0;
}

bool SharedXmlNode::isText() const {
    return XML_CHECK(m_p) && m_p->type == XML_TEXT_NODE;
}

SharedXmlNode SharedXmlNode::firstChild() const {
    if (!XML_CHECK(m_p)) return SharedXmlNode();
    return SharedXmlNode(m_p->children);
}

SharedXmlNode SharedXmlNode::nextSibling() const {
    if (!XML_CHECK(m_p)) return SharedXmlNode();
    return SharedXmlNode(m_p->next);
}

SharedXmlNode SharedXmlNode::findChild(const char* name) const {
    if (!XML_CHECK(m_p)) return SharedXmlNode();
    for (xmlNodePtr child = m_p->children; child != nullptr; child = child->next) {
        if (SharedXmlNode(child).hasName(name)) return SharedXmlNode(child);
    }
    return SharedXmlNode();
}

const char* SharedXmlNode::content() const {
    if (!XML_CHECK(m_p)) return nullptr;
    for (xmlNodePtr child = m_p->children; child != nullptr; child = child->next) {
        if (child->type == XML_TEXT_NODE) {
            return child->content != nullptr ? reinterpret_cast<const char*>(child->content) : "";
        }
    }
    return nullptr;
}

const char* SharedXmlNode::childContent(const char* name) const {
    SharedXmlNode child = findChild(name);
    return child.isNonNull() ? child.content() : nullptr;
}

void SharedXmlNode::unlink() const {
    if (XML_CHECK(m_p)) xmlUnlinkNode(m_p);
}

void SharedXmlNode::appendChild(const SharedXmlNode& node) const {
    if (!XML_CHECK(m_p) || !XML_CHECK(node.m_p)) XML_RAISE("xmlAddChild");
    xmlUnlinkNode(node.m_p);
    // Adjacent text nodes are merged and the child freed; callers append elements.
    if (xmlAddChild(m_p, node.m_p) == nullptr) XML_RAISE("xmlAddChild");
}
