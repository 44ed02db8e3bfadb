#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetwork.h"

// An authenticationNetwork element: the machine and/or user authentication record, the 802.1X
// timers and, for a wireless network, the association mode.
class Xml_AuthenticationNetwork {
public:
    // media: 1 wired, 2 wireless.
    static void Read(const SharedXmlNode& node, std::int32_t media, const XmlNetwork& network);
    static void Write(XmlParentBase& parent, const XmlNetwork& network);
};
