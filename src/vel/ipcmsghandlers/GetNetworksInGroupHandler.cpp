#include "vel/ipcmsghandlers/GetNetworksInGroupHandler.h"

#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/connapi/NetworkBodies.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/InvalidGroupException.h"
#include "vel/exception/XmlException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/NetworkVpnEntries.h"
#include "vel/reference/HandleOf.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

// The settings of the connection type the network runs as: machine or user by its allowed types,
// by the logon for one that allows both; none for any other.
bool connectionTypeOf(const Network& network, std::int32_t& connectionType) {
    switch (network.getConnectionTypes()) {
        case NetworkImpl::CONNECTION_TYPES_MACHINE:
            connectionType = AdapterConstants::CONNECTION_MACHINE;
            return true;
        case NetworkImpl::CONNECTION_TYPES_USER:
            connectionType = AdapterConstants::CONNECTION_USER;
            return true;
        case NetworkImpl::CONNECTION_TYPES_BOTH:
            switch (ConnApiEngine::getLogonStatus()) {
                case ConnApiEngine::LOGON_STATUS_MACHINE:
                    connectionType = AdapterConstants::CONNECTION_MACHINE;
                    return true;
                case ConnApiEngine::LOGON_STATUS_USER:
                    connectionType = AdapterConstants::CONNECTION_USER;
                    return true;
                default:
                    return false;
            }
        default:
            return false;
    }
}

NetworkListEntry entryOf(const Network& network, const Ascii& groupName, const VpnManager& vpnManager) {
    NetworkListEntry entry;
    entry.networkName = network.name();
    entry.creator = network.getOrigin();
    entry.media = network.getNetworkMedia();
    entry.isGlobal = network.isGlobal();
    if (network.getMediaType() == AdapterConstants::MEDIA_TYPE_80211) {
        entry.ssid = network.getSsid();
        entry.association = network.getAssociationMode();
        entry.encryption = network.getEncryption();
    }
    entry.script = network.getScript();
    MetaConnection vpn = NetworkVpnEntries::find(
        vpnManager, NetworkVpnEntries::groupNameOf(network, groupName), network.name());
    if (!vpn.isNull()) {
        entry.hasVpn = true;
        entry.connectionEntry = vpn.connectionEntry();
        entry.autoConnectVpn = vpn.autoConnectVpn();
    }
    std::int32_t connectionType = 0;
    if (network.getFlagB() && connectionTypeOf(network, connectionType)) {
        ElementVector methods = network.getAuthenticationParameters(connectionType).authenticationMethods();
        if (methods.length() > 0) {
            AuthenticationMethod method = AuthenticationMethod::at(methods, 0);
            entry.eapMethod = method.authenticationType();
            if (method.credentialType() != 0) entry.credentialType = method.credentialType();
        }
    }
    return entry;
}

}  // namespace

std::int32_t GetNetworksInGroupHandlerImpl::handle(const SoapBodyContext& request,
                                                   const SoapBodyContext& reply) {
    const Ascii groupName = NetworkBodies::readGroupName(request.body());
    Configuration configuration = ConnApiEngine::activeConfiguration();
    std::vector<Reference> networks;
    try {
        networks = configuration.networksInGroup(groupName).snapshot();
    } catch (const InvalidGroupException&) {
        return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    }
    if (networks.size() > MAX_NETWORKS) {
        logInfo(0, "Not enough memory allocated for all networks");
        logInfo(0, "Sending the first %d networks", static_cast<int>(MAX_NETWORKS));
        networks.resize(MAX_NETWORKS);
    }
    try {
        std::vector<NetworkListEntry> entries;
        for (const Reference& element : networks)
            entries.push_back(entryOf(handleOf<Network>(element.m), groupName, configuration.vpnManager()));
        NetworkBodies::writeNetworksInGroup(reply, groupName, entries);
    } catch (const ConversionException& e) {
        e.report();
        return ConnApiConstants::ERROR_INTERNAL;
    } catch (const XmlException& e) {
        e.report();
        return ConnApiConstants::ERROR_INTERNAL;
    }
    return 0;
}

std::int32_t GetNetworksInGroupHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_NETWORKS_IN_GROUP_RESPONSE;
}
