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
