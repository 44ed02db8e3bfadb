#include "vel/ipcmsghandlers/NetworkVpnEntries.h"

#include "vel/reference/HandleOf.h"

Ascii NetworkVpnEntries::groupNameOf(const Network& network, const Ascii& groupName) {
    return network.isGlobal() ? Ascii("") : groupName;
}

MetaConnection NetworkVpnEntries::find(const VpnManager& manager, const Ascii& groupName,
                                       const Ascii& networkName) {
    for (const Reference& element : manager.metaConnections().snapshot()) {
        MetaConnection entry = handleOf<MetaConnection>(element.m);
        if (entry.groupName() == groupName && entry.networkName() == networkName) return entry;
    }
    return MetaConnection();
}

void NetworkVpnEntries::restore(const VpnManager& manager, const std::vector<Reference>& entries) {
    const std::vector<Reference> now = manager.metaConnections().snapshot();
    auto holds = [](const std::vector<Reference>& list, const Reference& entry) {
        for (const Reference& held : list)
            if (held.m == entry.m) return true;
        return false;
    };
    for (const Reference& entry : now)
        if (!holds(entries, entry)) manager.removeNetworkVpn(handleOf<MetaConnection>(entry.m));
    for (const Reference& entry : entries)
        if (!holds(now, entry)) manager.addVpnForNetwork(handleOf<MetaConnection>(entry.m));
}
