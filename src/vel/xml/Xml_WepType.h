#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetwork.h"

// The WEP key of a shared-key network: its size, the key and its 802.11 authentication.
class Xml_WepType {
public:
    static constexpr int KEY_SIZE_40_BITS = 5;
    static constexpr int KEY_SIZE_128_BITS = 13;

    // A plain key must be exactly its size; a stored text is taken as it is.
    static XmlKeyRecord Read(const SharedXmlNode& node);
    static void Write(XmlParentBase& parent, const XmlKeyRecord& key);
};
