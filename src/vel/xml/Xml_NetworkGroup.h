#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetworkGroup.h"

// A group element, or the global group's globalNetworks, with its networks in document order.
class Xml_NetworkGroup {
public:
    // The global group has neither a name nor allowUserToSeeScanlist (false).
    static XmlNetworkGroup Read(const SharedXmlNode& node, bool global);
    static void Write(XmlParentBase& parent, const XmlNetworkGroup& group);
};
