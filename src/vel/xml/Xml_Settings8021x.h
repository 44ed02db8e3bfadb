#pragma once

#include "vel/configuration/Settings8021x.h"
#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"

// The setting802.1x element: authPeriod, heldPeriod, startPeriod and maxStart, each positive.
class Xml_Settings8021x {
public:
    static Settings8021x Read(const SharedXmlNode& node);
    static void Write(XmlParentBase& parent, const Settings8021x& settings);
};
