#include "vel/ipcmsghandlers/ChangeNetworkHandler.h"

#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/exception/FileIOException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/NetworkKeyRule.h"
#include "vel/ipcmsghandlers/NetworkVpnEntries.h"
#include "vel/ipcmsghandlers/SavableNetworkRule.h"
#include "vel/ipcmsghandlers/UserChangeUndo.h"
#include "vel/xml/UserAuthenticationSettings.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

const char* const HANDLER = "ChangeNetworkHandlerImpl";
constexpr std::int32_t NO_ENCRYPTION = 1;

// Which key a pair keeps: 1 a WEP key, 2 a pre-shared key of WPA, 0 none.
int keyFamilyOf(std::int32_t association, std::int32_t encryption) {
    if (!NetworkKeyRule::takesKey(association, encryption)) return 0;
    return encryption == NetworkKeyRule::ENCRYPTION_WEP ? 1 : 2;
}

bool changesAdministratorSettings(const ChangeNetworkRequestRecord& record) {
    const NetworkSettingsRecord& settings = record.settings;
    return record.newGroupName.length() > 0 || record.newNetworkName.length() > 0 ||
           record.priority != NetworkGroup::PRIORITY_NONE || record.media != 0 || settings.hasSsid ||
           settings.hasAssociation || settings.encryption != NO_ENCRYPTION ||
           settings.key.kind != StaticKeyRecord::KIND_NONE;
}

}  // namespace

std::int32_t ChangeNetworkHandlerImpl::handle(const SoapBodyContext& request, const SoapBodyContext& reply) {
    const ChangeNetworkRequestRecord record = NetworkBodies::readChangeNetworkRequest(request.body());
    Configuration configuration = ConnApiEngine::activeConfiguration();

    NetworkGroupProxy named = configuration.findGroup(record.groupName);
    if (!named.exists()) return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    // The group that holds the network: the named one, or the global group for a global network
    // reached through any group.
    NetworkGroup holder = named.networkGroup();
    Network network = holder.findNetwork(record.networkName);
    if (network.isNull()) {
        NetworkGroupProxy global = configuration.globalGroup();
        if (!global.exists()) return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
        holder = global.networkGroup();
        network = holder.findNetwork(record.networkName);
        if (network.isNull()) return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
    }
    const bool global = network.isGlobal();
    const Ascii oldVpnGroupName = NetworkVpnEntries::groupNameOf(network, holder.name());
    const std::vector<Reference> vpnEntries = configuration.vpnManager().metaConnections().snapshot();
    const NetworkSettingsSnapshot settings(network);
    const std::int32_t index = holder.indexOfNetwork(network.name());
    Moves moves;
    bool accessChanged = false;

    if (network.getOrigin() == NetworkImpl::ORIGIN_ADMINISTRATOR) {
        if (changesAdministratorSettings(record)) return ConnApiConstants::ERROR_DENIED_BY_POLICY;
    } else {
        if (std::int32_t code = checkUserChange(record, configuration, holder, network, moves)) return code;
        accessChanged = applyUserChange(record, configuration, holder, network, moves);
    }

    changeVpnEntry(record, configuration.vpnManager(), global, oldVpnGroupName);

    const Ascii networkName = record.newNetworkName.length() > 0 ? record.newNetworkName : record.networkName;
    NetworkBodies::writeChangeNetworkResponse(reply, record.groupName, record.newGroupName, networkName);
    try {
        ConnApiEngine::writeUserConfiguration();
    } catch (const FileIOException& e) {
        // The file still holds the network as it was: so does the configuration.
        e.report();
        if (!moves.target.isNull()) configuration.removeNetwork(moves.target.name(), network.name());
        settings.restore(accessChanged);
        if (!moves.target.isNull()) {
            UserChangeUndo::placeNetwork(configuration, holder.name(), network, index);
        } else if (index >= 0) {
            holder.networkVector().remove(network.m);
            holder.networkVector().insertIfAbsent(network.m, index);
        }
        NetworkVpnEntries::restore(configuration.vpnManager(), vpnEntries);
        return ConnApiConstants::ERROR_INTERNAL;
    }
    return 0;
}

std::int32_t ChangeNetworkHandlerImpl::checkUserChange(const ChangeNetworkRequestRecord& record,
                                                       const Configuration& configuration,
                                                       const NetworkGroup& holder, const Network& network,
                                                       Moves& moves) {
    const NetworkSettingsRecord& settings = record.settings;
    // A network keeps its media: the request cannot be carried out as asked.
    if (record.media != 0) {
        logInfo(0, "%s : the media of a network cannot be changed", HANDLER);
        return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
    }
    const Ascii resultingName =
        record.newNetworkName.length() > 0 ? record.newNetworkName : record.networkName;
    if (record.newGroupName.length() > 0) {
        NetworkGroupProxy target = configuration.findGroup(record.newGroupName);
        if (!target.exists()) return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
        moves.target = target.networkGroup();
        if (!moves.target.findNetwork(resultingName).isNull())
            return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
        // Into another group a network goes to the end or before the user's networks.
        moves.priority =
            record.priority == NetworkGroup::PRIORITY_NONE ? NetworkGroup::PRIORITY_BOTTOM : record.priority;
        if (moves.priority != NetworkGroup::PRIORITY_BOTTOM && moves.priority != NetworkGroup::PRIORITY_TOP) {
            logInfo(0, "%s : a network moves into another group at the bottom or the top", HANDLER);
            return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
        }
    } else {
        if (record.newNetworkName.length() > 0) {
            Network holding = holder.findNetwork(record.newNetworkName);
            if (!holding.isNull() && holding != network) return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
        }
        // Inside its group a network moves one place at a time.
        if (record.priority != NetworkGroup::PRIORITY_NONE &&
            record.priority != NetworkGroup::PRIORITY_INCREMENT &&
            record.priority != NetworkGroup::PRIORITY_DECREMENT) {
            logInfo(0, "%s : a network moves inside its group by one place", HANDLER);
            return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
        }
        moves.priority = record.priority;
    }
    if (settings.eapMethod != 0 && settings.credentialType == 0) {
        logInfo(0, "%s : an EAP method needs a credential type", HANDLER);
        return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
    }
    return checkResultingNetwork(settings, network, moves);
}

std::int32_t ChangeNetworkHandlerImpl::checkResultingNetwork(const NetworkSettingsRecord& settings,
                                                             const Network& network, Moves& moves) {
    SavableNetworkRule::Shape shape;
    shape.wireless = network.getMediaType() == AdapterConstants::MEDIA_TYPE_80211;
    const bool pairChanges = settings.hasAssociation && shape.wireless;
    shape.association = pairChanges ? settings.association : network.getAssociationMode();
    shape.encryption = pairChanges ? settings.encryption : network.getEncryption();
    shape.eapMethod = settings.eapMethod;
    shape.credentialType = settings.credentialType;
    if (shape.eapMethod == 0 && network.getFlagB()) {
        ElementVector methods =
            network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER).authenticationMethods();
        // A pair that takes no EAP method drops the one the network had.
        if (methods.length() > 0 &&
            (!shape.wireless || SavableNetworkRule::takesEapMethod(shape.association, shape.encryption))) {
            AuthenticationMethod method = AuthenticationMethod::at(methods, 0);
            shape.eapMethod = method.authenticationType();
            shape.credentialType = method.credentialType();
        } else {
            moves.dropEapMethod = true;
        }
    }
    // A held key stays while the pair keeps a key of its kind; a given one is taken where the pair
    // keeps one.
    const bool holdsKey = shape.wireless && NetworkKeyRule::holdsKey(network);
    const bool keyKept = holdsKey && shape.eapMethod == 0 &&
                         keyFamilyOf(shape.association, shape.encryption) != 0 &&
                         keyFamilyOf(shape.association, shape.encryption) ==
                             keyFamilyOf(network.getAssociationMode(), network.getEncryption());
    moves.storeKey = shape.wireless && settings.key.kind != StaticKeyRecord::KIND_NONE &&
                     NetworkKeyRule::takesKey(shape.association, shape.encryption);
    moves.dropKey = holdsKey && !keyKept && !moves.storeKey;
    shape.hasKey = moves.storeKey || keyKept;
    shape.wepKey = moves.storeKey ? settings.key.length != 0
                                  : keyFamilyOf(network.getAssociationMode(), network.getEncryption()) == 1;
    if (pairChanges) {
        if (std::int32_t code =
                NetworkKeyRule::check(HANDLER, settings.association, settings.encryption, shape.hasKey))
            return code;
    }
    return SavableNetworkRule::check(HANDLER, shape);
}

bool ChangeNetworkHandlerImpl::applyUserChange(const ChangeNetworkRequestRecord& record,
                                               const Configuration& configuration, const NetworkGroup& holder,
                                               const Network& network, const Moves& moves) {
    const NetworkSettingsRecord& settings = record.settings;
    if (!moves.target.isNull()) {
        configuration.removeNetwork(holder.name(), network.name());
        if (record.newNetworkName.length() > 0) network.impl()->m_name = record.newNetworkName;
        network.setGlobal(moves.target.isGlobal());
        // Added at the end (and started when its group runs), then raised when asked.
        configuration.addNetwork(moves.target.name(), network);
        if (moves.priority == NetworkGroup::PRIORITY_TOP)
            moves.target.changePriority(network, NetworkGroup::PRIORITY_TOP);
    } else if (record.newNetworkName.length() > 0) {
        network.impl()->m_name = record.newNetworkName;
    } else if (moves.priority != NetworkGroup::PRIORITY_NONE) {
        configuration.changeNetworkPriority(holder.name(), network, moves.priority);
    }

    bool accessChanged = false;
    if (settings.hasSsid) {
        network.setSsid(settings.ssid);
        accessChanged = true;
    }
    if (settings.hasAssociation && network.getMediaType() == AdapterConstants::MEDIA_TYPE_80211) {
        network.setAssociationMode(settings.association);
        network.setEncryption(settings.encryption);
        accessChanged = true;
    }
    AuthenticationParameters user = network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
    if (moves.dropKey) user.releasePasswordOrKeyCredential();
    if (moves.dropEapMethod) {
        user.clearAuthenticationMethods();
        network.setFlagB(false);
        accessChanged = true;
    }
    if (moves.storeKey) {
        NetworkKeyRule::store(network, settings.key);
        accessChanged = true;
    }
    if (settings.hasScript) network.setScript(settings.script);
    if (settings.eapMethod != 0) {
        user.clearAuthenticationMethods();
        network.setFlagB(true);
        createUserAuthenticationSettings(settings.eapMethod, settings.credentialType, network);
        accessChanged = true;
    }
    if (accessChanged) {
        network.refreshSsid();
        network.accessChanged();
    }
    return accessChanged;
}

void ChangeNetworkHandlerImpl::changeVpnEntry(const ChangeNetworkRequestRecord& record,
                                              const VpnManager& manager, bool global,
                                              const Ascii& oldVpnGroupName) {
    const NetworkSettingsRecord& settings = record.settings;
    Ascii connectionEntry = settings.connectionEntry;
    bool autoConnectVpn = settings.autoConnectVpn;
    bool hasEntry = settings.hasVpn;
    if (record.newGroupName.length() > 0 || record.newNetworkName.length() > 0) {
        MetaConnection kept = NetworkVpnEntries::find(manager, oldVpnGroupName, record.networkName);
        if (!kept.isNull()) {
            if (!settings.hasVpn) {
                connectionEntry = kept.connectionEntry();
                autoConnectVpn = kept.autoConnectVpn();
                hasEntry = true;
            }
            manager.removeNetworkVpn(kept);
        }
    }
    if (!hasEntry) return;
    Ascii groupName = "";
    if (!global) groupName = record.newGroupName.length() > 0 ? record.newGroupName : oldVpnGroupName;
    const Ascii networkName = record.newNetworkName.length() > 0 ? record.newNetworkName : record.networkName;
    manager.addVpnForNetwork(MetaConnection::create(groupName, networkName, connectionEntry, autoConnectVpn));
}

std::int32_t ChangeNetworkHandlerImpl::replyCommand() {
    return ConnApiMessages::CHANGE_NETWORK_RESPONSE;
}
