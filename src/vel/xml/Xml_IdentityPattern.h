#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/Xml_EncryptedContent.h"

// An unprotectedIdentityPattern or protectedIdentityPattern: enciphered content whose text, unless
// it carries the persistent flag, has the five XML entity sequences replaced.
class Xml_IdentityPattern {
public:
    static XmlContentValue Read(const SharedXmlNode& node);
    // A text without the flag is escaped and written without it; one with the flag as it is.
    static void Write(XmlParentBase& parent, const XmlContentValue& pattern, const char* name);
};
