#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// eapTtls: the tunnel options, the protected identity pattern, the password source and the inner
// method: pap, chap, mschap or mschapv2, or EAP methods (eapMd5 and/or eapMschapv2).
class Xml_EapTtls {
public:
    // Without an inner method a network could never authenticate: refused, even when an empty
    // eapMethods is given.
    static XmlMethodSettings Read(const SharedXmlNode& node, std::int32_t recordKind);
    static void Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind);
};
