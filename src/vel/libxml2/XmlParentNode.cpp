#include "vel/libxml2/XmlParentNode.h"

SharedXmlNode XmlParentNode::addChild(const char* name) {
    return m_node.addChild(name);
}

SharedXmlNode XmlParentNode::addTextChild(const char* name, const char* text) {
    return m_node.addTextChild(name, text);
}
