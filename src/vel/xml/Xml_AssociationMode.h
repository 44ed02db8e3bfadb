#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"

// The associationMode of a wireless 802.1X network: wep (open, WEP), or wpa, wpa2 or quillan with
// their encryption.
class Xml_AssociationMode {
public:
    static void Read(const SharedXmlNode& node, std::int32_t& association, std::int32_t& encryption);
    // Nothing inside for an association that has no element.
    static void Write(XmlParentBase& parent, std::int32_t association, std::int32_t encryption);
};
