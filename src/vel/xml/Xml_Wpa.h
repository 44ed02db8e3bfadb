#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetwork.h"

// The pre-shared key of a WPA or WPA2 personal network (wpa, wpa2) and its encryption.
class Xml_Wpa {
public:
    static constexpr int HEX_KEY_LENGTH = 32;
    static constexpr int MIN_ASCII_KEY_LENGTH = 8;
    static constexpr int MAX_ASCII_KEY_LENGTH = 63;

    // A plain key must have its format's length; a stored text is taken as it is.
    static XmlKeyRecord Read(const SharedXmlNode& node);
    // name: wpa or wpa2.
    static void Write(XmlParentBase& parent, const XmlKeyRecord& key, const char* name);
};
