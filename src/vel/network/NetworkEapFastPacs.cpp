#include "vel/network/NetworkEapFastPacs.h"

#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/reference/HandleOf.h"

CredentialProxy NetworkEapFastPacs::find(ElementVector savedPacs, std::int32_t pacType, const ByteArray& aid,
                                         const Ascii& iid) {
    logInfo(3190, "Looking for matching pac with iid: %s", iid.text());
    for (int i = 0; i < savedPacs.length(); ++i) {
        Credential pac = handleOf<Credential>(savedPacs.get(i));
        if (pac.pacType() == pacType && pac.aid() == aid && pac.iid() == iid) return CredentialProxy(pac);
    }
    return CredentialProxy();
}

std::vector<std::int32_t> NetworkEapFastPacs::typesToRequest(const TypesQuery& query) {
    bool machineToo = false;
    switch (query.allowedConnectionTypes) {
        case 1:
            machineToo = true;
            break;
        case 2:
            break;
        case 3:
            machineToo =
                query.connectionType == AdapterConstants::CONNECTION_MACHINE || query.machinePacForUser;
            break;
        default:
            logError(3191, "Unexpected connectionType");
            return {};
    }
    if (!query.topUsesPac) {
        logInfo(3192, "Not requesting any PACs at this time");
        return {};
    }
    bool tunnelStored = query.stored && query.stored(TUNNEL);
    if (!machineToo) {
        if (tunnelStored) {
            logInfo(3193, "No PACs requested");
            return {};
        }
        logInfo(3194, "Requesting Tunnel PAC");
        return {TUNNEL};
    }
    bool machineStored = query.stored && query.stored(MACHINE);
    if (!tunnelStored && !machineStored) {
        logInfo(3195, "Requesting Tunnel and machine PAC");
        return {TUNNEL, MACHINE};
    }
    if (!tunnelStored) {
        logInfo(3196, "Requesting just a Tunnel PAC");
        return {TUNNEL};
    }
    if (!machineStored) {
        logInfo(3197, "Requesting just a machine PAC");
        return {MACHINE};
    }
    logInfo(3198, "Requesting no PACs now");
    return {};
}
