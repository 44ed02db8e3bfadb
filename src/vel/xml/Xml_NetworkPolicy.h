#pragma once

#include "vel/configuration/NetworkPolicy.h"
#include "vel/libxml2/SharedXmlNode.h"

// The administrator's networkPolicy: the allowed association modes and EAP methods, each an empty
// element named by its text. Both lists may be empty.
class Xml_NetworkPolicy {
public:
    // An entry read as "open1xDynamicWep" is marked as such: it shares its pair with static WEP.
    static NetworkPolicy Read(const SharedXmlNode& node);
};
