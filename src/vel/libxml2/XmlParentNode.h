#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"

// Adds children to an element that already exists, e.g. a message body.
class XmlParentNode : public XmlParentBase {
public:
    explicit XmlParentNode(const SharedXmlNode& node) : m_node(node) {}

    SharedXmlNode addChild(const char* name) override;
    SharedXmlNode addTextChild(const char* name, const char* text) override;
    const SharedXmlNode& node() const { return m_node; }

private:
    SharedXmlNode m_node;
};
