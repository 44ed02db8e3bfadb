#include "vel/vpn/VpnManagerBehavior.h"

#include <memory>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/ipcmsghandlers/GetVpnCredentialsRequest.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"
#include "vel/reference/HandleOf.h"
#include "vel/vpn/ScSofToken2.h"
#include "vel/vpn/VpnConstants.h"
#include "vel/vpn/VpnEngine.h"
#include "vel/vpn/VpnManager.h"

namespace {

using C = VpnConstants;
using Cred = VpnCredStateMachine;

bool softTokenAvailable() {
    return ScSofToken2Impl::Singleton.load() != nullptr && ScSofToken2().isAvailable();
}

// The VPN setting of the active configuration; none without one.
std::int32_t vpnSetting() {
    Configuration configuration;
    return VpnEngine::activeConfiguration(configuration) ? configuration.vpnSettingsType() : C::SETTING_NONE;
}

const char* nameOr(bool exists, const Ascii& name) {
    return exists ? name.text() : "does not exist";
}

}  // namespace

VpnManagerBehavior::VpnManagerBehavior(VpnManagerImpl& manager)
    : m_manager(manager),
      m_stateMachine(static_cast<ReferenceImpl*>(new VpnStateMachineImpl(*this)), Reference::TAKE_OVER) {}

VpnManagerBehavior::~VpnManagerBehavior() {
    // A running retry timer holds the machine, which must not call this object once it is gone.
    stateMachine().clearReferences();
}

VpnBehaviorMaker::Maker VpnManagerBehavior::install() {
    return VpnBehaviorMaker::set([](VpnManagerImpl& manager) {
        return std::unique_ptr<VpnBehaviorInterface>(std::make_unique<VpnManagerBehavior>(manager));
    });
}

void VpnManagerBehavior::clearReferences() {
    stateMachine().clearReferences();
}

bool VpnManagerBehavior::isAutomatedVpnCapable() {
    Configuration configuration;
    bool exists = VpnEngine::activeConfiguration(configuration);
    if (!LUM_ASSERT_TEXT(exists, "activeConfiguration.exists()")) return false;
    LUM_ASSERT_TEXT(configuration.policy().userControlPolicy().allowVpn(), "userPolicy.getAutoVpn()");
    TamselVpnClient client = currentVpnClient();
    if (client.isNull() || !client.isApiInitialized()) return false;
    if (client.getVpnProfiles().length() == 0) return false;
    switch (std::int32_t setting = configuration.vpnSettingsType()) {
        case C::SETTING_NONE:
            logError(0, "VPN is allowed by policy, but no autoVpnSettings are configured");
            return false;
        case C::SETTING_RSA_SECURID:
            logInfo(0, "%s is unsupported", VpnSettingToText(setting));
            return false;
        case C::SETTING_SOFTOKEN:
            return softTokenAvailable();
        case C::SETTING_PASSWORD:
        case C::SETTING_CERTIFICATE:
            return true;
        default:
            logInfo(0, "VpnManager: unrecognized autoVpnSetting in configuration");
            return false;
    }
}

MetaConnectionProxy VpnManagerBehavior::attemptVpn() {
    Configuration configuration;
    if (!LUM_ASSERT_TEXT(VpnEngine::activeConfiguration(configuration),
                         "ActiveConfiguration::Instance().exists()"))
        return MetaConnectionProxy();
    NetworkProxy networkProxy = configuration.connectedNetwork();
    NetworkGroupProxy groupProxy = configuration.activeGroup();
    bool haveNetwork = networkProxy.exists();
    bool haveGroup = groupProxy.exists();
    Network network = haveNetwork ? networkProxy.network() : Network();
    NetworkGroup group = haveGroup ? groupProxy.networkGroup() : NetworkGroup();
    if (haveNetwork && haveGroup) {
        Ascii groupKey = network.isGlobal() ? Ascii("") : group.name();
        Ascii networkName = network.name();
        for (const Reference& element : m_manager.metaConnections().snapshot()) {
            MetaConnection entry = handleOf<MetaConnection>(element.m);
            if (entry.groupName() == groupKey && entry.networkName() == networkName)
                return MetaConnectionProxy(entry);
        }
        return MetaConnectionProxy();
    }
    logInfo(0, "attemptVpn: No connected network exists");
    logInfo(0, "attemptVpn: group %s", nameOr(haveGroup, haveGroup ? group.name() : Ascii()));
    logInfo(0, "attemptVpn: network %s", nameOr(haveNetwork, haveNetwork ? network.name() : Ascii()));
    return MetaConnectionProxy();
}

void VpnManagerBehavior::startVpn(const Ascii& entry, bool automatic) {
    if (VpnEngine::logonStatus() != C::LOGON_STATUS_USER) {
        logInfo(0, "Not attempting VPN now because there is no user - system in machine context");
        return;
    }
    logInfo(0, "Attempting VPN connection: %s", entry.text());
    if (automatic) stateMachine().setRetriesLeft(C::AUTOMATIC_RETRIES);
    stateMachine().handleUserEvent(C::USER_CONNECT, entry);
}

void VpnManagerBehavior::connectVpn() {
    MetaConnectionProxy proxy = attemptVpn();
    if (!proxy.exists()) {
        logError(0, "VPN not configured for currently connected network");
        return;
    }
    Ascii entry = proxy.metaConnection().connectionEntry();
    if (entry.length() > 0) startVpn(entry, false);
}

void VpnManagerBehavior::autoConnectVpn() {
    MetaConnectionProxy proxy = attemptVpn();
    if (!proxy.exists()) {
        logInfo(0, "VPN not configured for currently connected network");
        return;
    }
    MetaConnection entry = proxy.metaConnection();
    if (!entry.autoConnectVpn()) return;
    logInfo(0, "AutoVPN enabled for group: %s, network: %s", entry.groupName().text(),
            entry.networkName().text());
    if (entry.connectionEntry().length() > 0) {
        startVpn(entry.connectionEntry(), true);
    } else {
        logError(0, "VPN entry does not exist for group: %s, network: %s", entry.groupName().text(),
                 entry.networkName().text());
    }
}

bool VpnManagerBehavior::connectedEntryAutoConnects() {
    MetaConnectionProxy proxy = attemptVpn();
    return proxy.exists() && proxy.metaConnection().autoConnectVpn();
}

void VpnManagerBehavior::handleUserLogon() {
    Configuration configuration;
    if (!LUM_ASSERT_TEXT(VpnEngine::activeConfiguration(configuration),
                         "ActiveConfiguration::Instance().exists()"))
        return;
    if (configuration.connectedNetwork().exists()) {
        autoConnectVpn();
    } else {
        logInfo(0, "handleUserLogon: No network connection, so no VPN will be attempted now.");
    }
}

void VpnManagerBehavior::disconnectVpn() {
    logInfo(0, "Disconnecting VPN connection");
    stateMachine().handleUserEvent(C::USER_DISCONNECT, Ascii());
    credentialEvent(Cred::CANCEL_REQUEST);
}

void VpnManagerBehavior::handleNetworkEvent(std::int32_t event) {
    Configuration configuration;
    if (!LUM_ASSERT_TEXT(VpnEngine::activeConfiguration(configuration),
                         "ActiveConfiguration::Instance().exists()"))
        return;
    stateMachine().handleNetworkEvent(event);
}

void VpnManagerBehavior::handleClientEvent(std::int32_t clientEvent) {
    stateMachine().handleClientEvent(clientEvent);
}

void VpnManagerBehavior::credentialRequest() {
    logInfo(0, "Received credential request from VPN client");
    credentialEvent(Cred::CREDENTIAL_REQUEST);
}

void VpnManagerBehavior::sendCredentials(const Ascii& user, const Ascii& password) {
    // An answer without one of them keeps an empty text, never an empty holder.
    m_vpnUsername = CredentialProxy(Credential::newIdentity(user.isNull() ? Ascii("") : user));
    m_vpnPassword = CredentialProxy(Credential::newPassword(password.isNull() ? Ascii("") : password));
    credentialEvent(Cred::CREDENTIAL_RESPONSE);
}

void VpnManagerBehavior::resetAndDisconnect() {
    credentialEvent(Cred::CLEAR_CREDENTIAL);
    disconnectVpn();
}

void VpnManagerBehavior::bannerResponse(bool accepted) {
    TamselVpnClient client = currentVpnClient();
    if (!client.isNull()) client.acknowledgeBanner(accepted);
}

std::int32_t VpnManagerBehavior::lastVpnStatus() {
    return stateMachine().state();
}

void VpnManagerBehavior::credentialEvent(std::int32_t event) {
    m_credStateMachine.handleEvent(event);
    credentialStep();
}

void VpnManagerBehavior::credentialStep() {
    switch (m_credStateMachine.action()) {
        case Cred::CLEAR_CREDENTIAL_ACTION: {
            Configuration configuration;
            LUM_ASSERT_TEXT(VpnEngine::activeConfiguration(configuration),
                            "ActiveConfiguration::Instance().exists()");
            m_vpnUsername = CredentialProxy();
            m_vpnPassword = CredentialProxy();
            return;
        }
        case Cred::NO_ACTION:
        case Cred::CANCEL_ACTION:
            return;
        case Cred::ASK_GUI_ACTION:
            askGui();
            return;
        case Cred::SEND_TO_VPN_ACTION:
            sendToVpn();
            return;
    }
    LUM_ASSERT_TEXT(false, "m_action");
}

void VpnManagerBehavior::askGui() {
    logInfo(0, "VpnManager sent request to GUI");
    std::int32_t setting = vpnSetting();
    Ascii usernamePrompt = m_usernamePrompt.length() > 0 ? m_usernamePrompt : Ascii("Username");
    Ascii passwordPrompt = m_passwordPrompt;
    if (passwordPrompt.length() == 0) {
        if (setting == C::SETTING_RSA_SECURID || setting == C::SETTING_SOFTOKEN)
            passwordPrompt = "PIN";
        else if (setting == C::SETTING_PASSWORD)
            passwordPrompt = "Password";
        else
            passwordPrompt = "";
    }
    SoapOutgoingMessage(new GetVpnCredentialsRequestImpl(usernamePrompt, passwordPrompt)).send();
}

void VpnManagerBehavior::sendToVpn() {
    logInfo(0, "VpnManager sending credentials to TamselVpnClient");
    bool haveUser = m_vpnUsername.exists();
    bool havePassword = m_vpnPassword.exists();
    LUM_ASSERT_TEXT(haveUser, "m_vpnUsername.exists()");
    LUM_ASSERT_TEXT(havePassword, "m_vpnPassword.exists()");
    if (!haveUser || !havePassword) return;
    Ascii user = m_vpnUsername.credential().identity();
    Ascii secret = m_vpnPassword.credential().password();
    TamselVpnClient client = currentVpnClient();

    if (vpnSetting() == C::SETTING_SOFTOKEN) {
        logInfo(0, "SEND_TO_VPN_ACTION: Attempting to generate SofToken-II passcode");
        // Without a token there is no passcode: the attempt fails as a failed generation does,
        // rather than waiting in "connecting" for an answer that never comes.
        Ascii passcode;
        int generated = softTokenAvailable() ? ScSofToken2().generate(user, secret, passcode)
                                             : ScSofToken2Constants::NOT_INITIALIZED;
        if (generated == ScSofToken2Constants::GENERATED) {
            logInfo(0, "Generated SofToken-II passcode");
            if (client.isNull() || client.sendCredentials(user, passcode) != VpnClientConstants::DONE) {
                stateMachine().reportStatus(C::STATUS_USER_AUTH_FAILED);
                stateMachine().setRetriesLeft(0);
            }
            return;
        }
        if (generated == ScSofToken2Constants::PIN_EXPIRED) {
            logError(0, "SofToken-II PIN has expired");
            softTokenFailed(C::STATUS_PIN_EXPIRED);
        } else {
            logError(0, "Unable to generate SofToken-II passcode");
            softTokenFailed(C::STATUS_USER_AUTH_FAILED);
        }
        return;
    }

    logInfo(0, "Sending username password to VPN client");
    if (client.isNull() || client.sendCredentials(user, secret) != VpnClientConstants::DONE)
        stateMachine().reportStatus(C::STATUS_USER_AUTH_FAILED);
}

void VpnManagerBehavior::softTokenFailed(std::int32_t status) {
    stateMachine().setRetriesLeft(0);
    credentialEvent(Cred::CLEAR_CREDENTIAL);
    stateMachine().reportStatus(status);
    disconnectVpn();
}
