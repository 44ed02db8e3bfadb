#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// eapFast: the tunnel options, the PAC settings with the trusted PACs, posture, and one built-in
// method: with a password (EAP-MSCHAPv2 and/or EAP-GTC inside), with a token (EAP-GTC), or with a
// certificate sent inside EAP-TLS or without an inner method.
class Xml_EapFast {
public:
    static XmlMethodSettings Read(const SharedXmlNode& node, std::int32_t recordKind);
    static void Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind);

    // A trustedServerPac: the PAC in Base64 as enciphered content, and its secret key.
    static XmlPacRecord ReadTrustedServerPac(const SharedXmlNode& node);
    // The PAC as a stored text with the persistent flag.
    static void WriteTrustedServerPac(XmlParentBase& parent, const XmlPacRecord& pac);
};
