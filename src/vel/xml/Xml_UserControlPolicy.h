#pragma once

#include "vel/configuration/UserControlPolicy.h"
#include "vel/libxml2/SharedXmlNode.h"

// The administrator's userControlPolicy: the allowed media, and whether a VPN and a script after
// connecting are allowed (false when not said).
class Xml_UserControlPolicy {
public:
    static UserControlPolicy Read(const SharedXmlNode& node);
};
