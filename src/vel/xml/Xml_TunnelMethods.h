#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// The options every tunnel method (eapTls, eapTtls, eapPeap, eapFast) begins with: server
// certificate validation, the unprotected identity pattern and fast reconnect, which a user record
// may switch off when a smart card is used.
class Xml_TunnelMethods {
public:
    static void Read(const SharedXmlNode& node, std::int32_t recordKind, XmlMethodSettings& method);
    static void Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind);
};
