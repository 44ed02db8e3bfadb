#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// eapGtc: with a password, or (user record) with a token.
class Xml_EapGtc {
public:
    static XmlMethodSettings Read(const SharedXmlNode& node, std::int32_t recordKind);
    static void Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind);
};
