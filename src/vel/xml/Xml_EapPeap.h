#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// eapPeap: the tunnel options and one built-in method: with a password (EAP-MSCHAPv2 or else
// EAP-GTC inside), with a certificate (EAP-TLS) or, for a user record, with a token (EAP-GTC).
class Xml_EapPeap {
public:
    static XmlMethodSettings Read(const SharedXmlNode& node, std::int32_t recordKind);
    static void Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind);
};
