#include "vel/ipcmsghandlers/NetworkStateEvent.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/connapi/NetworkStateBody.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

struct AdapterStateRow {
    std::int32_t adapterState;
    // Without and with the network's flagB.
    std::int32_t networkState;
    std::int32_t networkStateWithFlagB;
};

constexpr AdapterStateRow ADAPTER_STATE_TO_NETWORK_STATE[] = {
    {0, NetworkStateRecord::STOPPED, NetworkStateRecord::STOPPED},          // none
    {1, NetworkStateRecord::STOPPED, NetworkStateRecord::STOPPED},          // unbound
    {2, NetworkStateRecord::STOPPED, NetworkStateRecord::STOPPED},          // unmanaged
    {3, NetworkStateRecord::STOPPED, NetworkStateRecord::STOPPED},          // disconnected link down
    {4, NetworkStateRecord::STOPPED, NetworkStateRecord::STOPPED},          // disconnected link up
    {5, NetworkStateRecord::ASSOCIATING, NetworkStateRecord::ASSOCIATING},  // associating
    {6, NetworkStateRecord::ACQUIRING_IP_ADDRESS, NetworkStateRecord::AUTHENTICATING},  // associated
    {7, NetworkStateRecord::AUTHENTICATING, NetworkStateRecord::AUTHENTICATING},        // authenticating
    {8, NetworkStateRecord::ACQUIRING_IP_ADDRESS, NetworkStateRecord::ACQUIRING_IP_ADDRESS},  // authenticated
    {9, NetworkStateRecord::RETRYING_IP, NetworkStateRecord::RETRYING_IP},                    // no_ip
    {10, NetworkStateRecord::CONNECTED, NetworkStateRecord::CONNECTED},                       // connected
    {11, NetworkStateRecord::AUTHENTICATION_FAILED,
     NetworkStateRecord::AUTHENTICATION_FAILED},                                     // auth_failed
    {12, NetworkStateRecord::COUNTERMEASURES, NetworkStateRecord::COUNTERMEASURES},  // countermeasures
};

}  // namespace

std::int32_t NetworkStateEventImpl::networkStateOf(std::int32_t adapterState, bool flagB) {
    for (const AdapterStateRow& row : ADAPTER_STATE_TO_NETWORK_STATE) {
        if (row.adapterState == adapterState) return flagB ? row.networkStateWithFlagB : row.networkState;
    }
    logDebug("Unexpected Adapter State: %d", adapterState);
    LUM_ASSERT_TEXT(false, "Unexpected Adapter State");
    return NetworkStateRecord::STOPPED;
}

void NetworkStateEventImpl::writeBody(SoapBodyContext& context) {
    const NetworkDetails details = m_network.details();
    NetworkStateRecord record;
    record.groupName = m_groupName;
    record.networkName = m_network.networkName();
    record.networkState = networkStateOf(m_adapterState, details.flagB);
    if (details.association) {
        record.nadMacAddress = details.association->nadMacAddress;
        record.channel = details.association->channel;
        record.signalStrengthInDbm = details.association->signalStrengthInDbm;
        record.speedInMbps = details.association->speedInMbps;
    } else {
        logDebug("AssociationInfoProxy is empty");
    }
    if (details.adapter) {
        record.adapterName = details.adapter->adapterName;
        record.adapterMacAddress = details.adapter->adapterMacAddress;
    } else {
        logDebug("AdapterAttributesProxy is empty");
    }
    if (details.ipAddress) {
        record.ipAddress = *details.ipAddress;
    } else {
        logDebug("ConnectionInfoProxy is empty");
    }
    record.serverVerifiedName = details.serverVerifiedName;
    record.outerEapMethod = details.outerEapMethod;
    record.innerEapMethod = details.innerEapMethod;
    record.credentialFailure = details.credentialFailure;
    NetworkStateBody::write(context, record);
}

std::int32_t NetworkStateEventImpl::command() {
    return ConnApiMessages::NETWORK_STATE_EVENT;
}
