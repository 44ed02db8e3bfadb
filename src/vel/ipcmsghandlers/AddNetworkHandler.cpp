#include "vel/ipcmsghandlers/AddNetworkHandler.h"

#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/connapi/NetworkBodies.h"
#include "vel/exception/FileIOException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/NetworkKeyRule.h"
#include "vel/ipcmsghandlers/NetworkVpnEntries.h"
#include "vel/ipcmsghandlers/SavableNetworkRule.h"
#include "vel/xml/UserAuthenticationSettings.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

const char* const HANDLER = "AddNetworkHandlerImpl";

}  // namespace

std::int32_t AddNetworkHandlerImpl::handle(const SoapBodyContext& request, const SoapBodyContext& reply) {
    const AddNetworkRequestRecord record = NetworkBodies::readAddNetworkRequest(request.body());
    const NetworkSettingsRecord& settings = record.settings;
    Configuration configuration = ConnApiEngine::activeConfiguration();

    Network network = Network::create(record.networkName);
    network.setGlobal(false);
    network.setConnectionTypes(NetworkImpl::CONNECTION_TYPES_USER);
    network.setOrigin(NetworkImpl::ORIGIN_USER);
    if (settings.hasScript) network.setScript(settings.script);
    switch (record.media) {
        case NetworkImpl::MEDIA_WIRED:
            network.setMediaType(AdapterConstants::MEDIA_TYPE_8023);
            break;
        case NetworkImpl::MEDIA_WIRELESS:
            network.setMediaType(AdapterConstants::MEDIA_TYPE_80211);
            break;
        default:
            logInfo(0, "Unknown media type in AddNetworkHandlerImpl : %d", record.media);
            return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
    }

    if (record.media == NetworkImpl::MEDIA_WIRELESS) {
        network.setAssociationMode(settings.association);
        network.setEncryption(settings.encryption);
        const bool hasKey = settings.key.kind != StaticKeyRecord::KIND_NONE;
        if (std::int32_t code =
                NetworkKeyRule::check(HANDLER, settings.association, settings.encryption, hasKey))
            return code;
        if (hasKey && NetworkKeyRule::takesKey(settings.association, settings.encryption))
            NetworkKeyRule::store(network, settings.key);
        if (settings.ssid.length() == 0) {
            logInfo(0, "No SSID set for wireless media");
            return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
        }
        network.setSsid(settings.ssid);
    }

    if (settings.eapMethod != 0 && settings.credentialType == 0) {
        logInfo(0, "%s : an EAP method needs a credential type", HANDLER);
        return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
    }
    SavableNetworkRule::Shape shape;
    shape.wireless = record.media == NetworkImpl::MEDIA_WIRELESS;
    shape.association = settings.association;
    shape.encryption = settings.encryption;
    shape.hasKey = shape.wireless && settings.key.kind != StaticKeyRecord::KIND_NONE &&
                   NetworkKeyRule::takesKey(settings.association, settings.encryption);
    shape.wepKey = settings.key.length != 0;
    shape.eapMethod = settings.eapMethod;
    shape.credentialType = settings.credentialType;
    if (std::int32_t code = SavableNetworkRule::check(HANDLER, shape)) return code;

    if (settings.eapMethod != 0) {
        // The user file keeps the network as an 802.1X network by this flag.
        network.setFlagB(true);
        createUserAuthenticationSettings(settings.eapMethod, settings.credentialType, network);
    }

    if (!ConfigurationImpl::checkNetworkAgainstPolicy(configuration.settingsRecord(), network)) {
        logInfo(0, "The network failed the check against the admin policy");
        return ConnApiConstants::ERROR_DENIED_BY_POLICY;
    }
    NetworkGroupProxy group = configuration.findGroup(record.groupName);
    if (!group.exists()) {
        logInfo(0, "The group %s does not exist.", record.groupName.text());
        return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    }
    if (!group.networkGroup().findNetwork(record.networkName).isNull()) {
        logInfo(0, "The network %s already exists.", record.networkName.text());
        return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
    }

    configuration.addNetwork(record.groupName, network);
    MetaConnection vpn;
    if (settings.hasVpn) {
        vpn = MetaConnection::create(record.groupName, record.networkName, settings.connectionEntry,
                                     settings.autoConnectVpn);
        configuration.vpnManager().addVpnForNetwork(vpn);
    }
    try {
        ConnApiEngine::writeUserConfiguration();
    } catch (const FileIOException& e) {
        // A network the file does not hold would be gone after the next start: it goes now, and
        // the user is told.
        e.report();
        configuration.removeNetwork(record.groupName, record.networkName);
        if (!vpn.isNull()) configuration.vpnManager().removeNetworkVpn(vpn);
        return ConnApiConstants::ERROR_INTERNAL;
    }
    NetworkBodies::writeGroupAndNetwork(reply, record.groupName, record.networkName);
    return 0;
}

std::int32_t AddNetworkHandlerImpl::replyCommand() {
    return ConnApiMessages::ADD_NETWORK_RESPONSE;
}
