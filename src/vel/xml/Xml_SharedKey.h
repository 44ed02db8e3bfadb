#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetwork.h"

// The key inside machineConnection or userConnection of a shared-key network: wep, wpa or wpa2.
class Xml_SharedKey {
public:
    // Fills the key, and the association and encryption it gives.
    static void Read(const SharedXmlNode& node, const XmlNetwork& network);
    // The key element the association names; nothing for another association.
    static void Write(XmlParentBase& parent, const XmlNetwork& network);

    // The key inside keyFromProfile (ascii or hex, either perhaps enciphered): its format, its
    // bytes (hex decoded, ascii unescaped unless it is a stored text) and the persistent flag.
    static XmlKeyRecord ReadKeyValue(const SharedXmlNode& keyFromProfile);
    // Always as a stored text with the persistent flag.
    static void WriteKeyValue(XmlParentBase& keyFromProfile, const XmlKeyRecord& key);
};
