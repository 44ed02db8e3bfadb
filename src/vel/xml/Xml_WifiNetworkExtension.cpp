#include "vel/xml/Xml_WifiNetworkExtension.h"

#include <cstring>

#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;

XmlWifiPart Xml_WifiNetworkExtension::Read(const SharedXmlNode& node) {
    XmlWifiPart wifi;
    SharedXmlNode ssid = vel::xmlRequiredChild(node, E::SSID);
    const char* name = vel::xmlRequiredChild(ssid, E::NAME).content();
    if (name != nullptr) {
        const size_t length = std::strlen(name);
        if (length < 1 || length > MAX_SSID_LENGTH) vel::xmlErrorText(XmlMessages::INVALID_ASCII_SSID_LENGTH);
        wifi.ssid = ByteArray(name, static_cast<int>(length));
    }
    wifi.associationTimeout = vel::xmlTimeout(node, E::ASSOCIATION_TIMEOUT);
    return wifi;
}

void Xml_WifiNetworkExtension::Write(XmlParentBase& parent, const XmlWifiPart& wifi) {
    const std::string ssid(wifi.ssid.text(), wifi.ssid.length());
    parent.addChild(E::SSID).addTextChild(E::NAME, ssid.c_str());
    parent.addTextChild(E::ASSOCIATION_TIMEOUT, vel::xmlIntText(wifi.associationTimeout).text());
}
