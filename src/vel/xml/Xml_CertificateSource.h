#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// A certificateSource: the profile's certificate by its identifier (both records), the machine's
// (machine record), the logon's or the user's (user record).
class Xml_CertificateSource {
public:
    // A profile certificate's identifier, hex decoded, is the source's value.
    static XmlCredentialSource Read(const SharedXmlNode& node, std::int32_t recordKind);
    static void Write(XmlParentBase& parent, const XmlCredentialSource& source, std::int32_t recordKind);
};
