#pragma once

#include <vector>

#include "vel/configuration/MetaConnection.h"
#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/reference/ElementVector.h"

// The user file's metaConnections: which VPN connection entry belongs to which network of which
// group (a global network has an empty group name), and whether it connects by itself.
class Xml_MetaConnections {
public:
    static std::vector<MetaConnection> Read(const SharedXmlNode& node);
    static void Write(XmlParentBase& parent, const std::vector<MetaConnection>& metaConnections);
    // As the VPN manager takes them.
    static ElementVector toVector(const std::vector<MetaConnection>& metaConnections);
};
