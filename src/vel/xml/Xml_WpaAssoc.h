#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"

// The encryption child of a WPA key or association mode: "AES" (4) or "TKIP" (3).
class Xml_WpaAssoc {
public:
    // The element that holds encryption.
    static std::int32_t Read(const SharedXmlNode& node);
    static void Write(XmlParentBase& parent, std::int32_t encryption);
};
