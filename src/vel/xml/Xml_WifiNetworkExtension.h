#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetwork.h"
#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"

// What a wireless network element adds: the SSID in ssid/name and the associationTimeout.
class Xml_WifiNetworkExtension {
public:
    static constexpr int MAX_SSID_LENGTH = ConnApiLimitConstants::MAX_SSID_LENGTH;

    // The network element; a name without text is an empty SSID.
    static XmlWifiPart Read(const SharedXmlNode& node);
    static void Write(XmlParentBase& parent, const XmlWifiPart& wifi);
};
