#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// One authentication record of an 802.1X network. A machine record's element holds its method; a
// user record's holds authenticationMethod (the method), collectionBehavior and
// extendUserConnectionBeyondLogoff.
class Xml_Auth {
public:
    // media: 1 wired, 2 wireless (eapMd5, eapMschapv2 and eapGtc are wired only); recordKind:
    // 1 machine, 2 user.
    static XmlAuthenticationRecord Read(const SharedXmlNode& node, std::int32_t media,
                                        std::int32_t recordKind);
    // Appends the element name holding the record; refuses (XmlException) a method the reader
    // would not give back as it is on the media.
    static void Write(XmlParentBase& parent, const XmlAuthenticationRecord& record, const char* name,
                      std::int32_t media);
    // Whether the method's element is read back with that credential kind (1 password,
    // 2 certificate, 3 token) on the media.
    static bool carries(std::int32_t type, std::int32_t credentialKind, std::int32_t media);
};
