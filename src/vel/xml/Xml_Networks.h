#pragma once

#include <vector>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetworkGroup.h"

// The networks element: groups and the global group, in document order.
class Xml_Networks {
public:
    // At least one group (not only the global one) is required.
    static std::vector<XmlNetworkGroup> Read(const SharedXmlNode& node);
    // Global groups first, then the others, each in list order.
    static void Write(XmlParentBase& parent, const std::vector<XmlNetworkGroup>& groups);
};
