#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetwork.h"

// A sharedKeyNetwork element: machineConnection or userConnection, holding the key.
class Xml_SharedKeyNetwork {
public:
    // Fills the connection kind, the key, and the association and encryption the key gives.
    static void Read(const SharedXmlNode& node, const XmlNetwork& network);
    static void Write(XmlParentBase& parent, const XmlNetwork& network);
};
