#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// A user record's collectionBehavior: with a password, a certificate or a token, or none.
class Xml_UserCollectionMethod {
public:
    static XmlCollectionBehavior Read(const SharedXmlNode& node);
    static void Write(XmlParentBase& parent, const XmlCollectionBehavior& collection);
};
