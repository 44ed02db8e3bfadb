#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/xml/XmlNetwork.h"

// The settings every network element has: displayName, connectionTimeout and
// runScriptAfterConnection.
class Xml_NetworkExtension {
public:
    // The four further settings keep their initial values.
    static XmlNetworkCommon Read(const SharedXmlNode& node);
    static void Write(XmlParentBase& parent, const XmlNetworkCommon& common);
};
