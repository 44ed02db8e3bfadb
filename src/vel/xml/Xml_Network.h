#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetwork.h"

// A wiredNetwork or wifiNetwork element: the common settings, for a wireless network the SSID and
// association timeout, then the open, 802.1X or (wireless only) shared-key part.
class Xml_Network {
public:
    // media: 1 wired, 2 wireless.
    static XmlNetwork Read(const SharedXmlNode& node, std::int32_t media);
    static void Write(XmlParentBase& parent, const XmlNetwork& network);
};
