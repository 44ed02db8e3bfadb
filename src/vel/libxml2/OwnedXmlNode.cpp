#include "vel/libxml2/OwnedXmlNode.h"

OwnedXmlNode::~OwnedXmlNode() {
    if (m_p != nullptr) xmlFreeNode(m_p);
}

xmlNodePtr OwnedXmlNode::release() {
    xmlNodePtr p = m_p;
    m_p = nullptr;
    return p;
}
