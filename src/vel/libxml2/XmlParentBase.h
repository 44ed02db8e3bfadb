#pragma once

class SharedXmlNode;

// Anything children can be added to: the document (its root) or an existing element.
class XmlParentBase {
public:
    virtual ~XmlParentBase() = default;
    virtual SharedXmlNode addChild(const char* name) = 0;
    virtual SharedXmlNode addTextChild(const char* name, const char* text) = 0;
};
