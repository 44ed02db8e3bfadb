#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// A tokenSource of a user record: the one token source, named passwordFromGenericToken or
// passwordFromOtherToken.
class Xml_TokenSource {
public:
    static XmlCredentialSource Read(const SharedXmlNode& node, std::int32_t recordKind);
    static void Write(XmlParentBase& parent, const XmlCredentialSource& source, std::int32_t recordKind);
};
