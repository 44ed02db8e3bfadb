#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// eapMd5, eapMschapv2 and leap: an unprotected identity pattern and a password source.
class Xml_PasswordMethod {
public:
    // The type comes from the element's name.
    static XmlMethodSettings Read(const SharedXmlNode& node, std::int32_t recordKind);
    static void Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind);
};
