#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"

// The administrator's autoVpnSettings: authMechanism holding one element named by the VPN setting
// kind (rsaSecurId 1, secureComputingSofTokenII 2, password 3, certificate 4).
class Xml_AutoVpnSettings {
public:
    static std::int32_t Read(const SharedXmlNode& node);
};
