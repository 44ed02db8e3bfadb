#pragma once
// The VPN entries the handlers read and change for one network: kept by the configuration's VPN
// manager under the network's group name, the empty name for a global network.
#include <vector>

#include "vel/configuration/MetaConnection.h"
#include "vel/network/Network.h"
#include "vel/string/Ascii.h"
#include "vel/vpn/VpnManager.h"

class NetworkVpnEntries {
public:
    // The group name a network's entry is kept under.
    static Ascii groupNameOf(const Network& network, const Ascii& groupName);
    // The entry of that group and network; an empty handle when there is none.
    static MetaConnection find(const VpnManager& manager, const Ascii& groupName, const Ascii& networkName);
    // The manager's entries back to those of the snapshot: newer ones removed, removed ones added.
    static void restore(const VpnManager& manager, const std::vector<Reference>& entries);
};
