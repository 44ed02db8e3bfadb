#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// A passwordSource: the profile's password (both records), the machine's (machine record), the
// logon's or the user's (user record).
class Xml_PasswordSource {
public:
    static XmlCredentialSource Read(const SharedXmlNode& node, std::int32_t recordKind);
    // The profile's password as a stored text with the persistent flag; a kind the record kind may
    // not use leaves the element empty.
    static void Write(XmlParentBase& parent, const XmlCredentialSource& source, std::int32_t recordKind);
};
