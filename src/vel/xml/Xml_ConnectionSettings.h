#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/xml/XmlConfigurationRecord.h"

// The administrator's connectionSettings: the behaviour at logon, the WPA handshake check and the
// default timeouts.
class Xml_ConnectionSettings {
public:
    static XmlConnectionSettingsRecord Read(const SharedXmlNode& node);
};
