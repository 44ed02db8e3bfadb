#pragma once
// What one reading of the administrator file or the user file yields before the configuration
// model is built from it.
#include <cstdint>
#include <vector>

#include "vel/configuration/MetaConnection.h"
#include "vel/configuration/NetworkPolicy.h"
#include "vel/configuration/UserControlPolicy.h"
#include "vel/xml/XmlNetworkGroup.h"

// connectionSettings: the behaviour at logon (1 attempt before the user logs on, 3 after), the
// seconds to wait for a connection before logon, the WPA handshake check, and the default timeouts
// (0 keeps the service's).
struct XmlConnectionSettingsRecord {
    std::int32_t behaviorAtLogon = 0;
    std::int32_t secondsToWaitForConnection = 0;
    bool validateWpaHandshake = false;
    std::int32_t defaultAssociationTimeout = 0;
    std::int32_t defaultConnectionTimeout = 0;
};

struct XmlConfigurationRecord {
    std::int32_t majorVersion = 0;
    std::int32_t minorVersion = 0;
    std::int32_t developmentVersion = 0;
    NetworkPolicy networkPolicy;
    // The autoVpnSettings kind; 0 none.
    std::int32_t vpnSettingsType = 0;
    XmlConnectionSettingsRecord connectionSettings;
    UserControlPolicy userControlPolicy;
    // Always empty for the administrator file.
    std::vector<MetaConnection> metaConnections;
    std::vector<XmlNetworkGroup> groups;
};

struct XmlUserFileRecord {
    std::int32_t majorVersion = 0;
    std::int32_t minorVersion = 0;
    std::int32_t developmentVersion = 0;
    std::vector<XmlNetworkGroup> groups;
    std::vector<MetaConnection> metaConnections;
};
