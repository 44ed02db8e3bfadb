#include "vel/network/NetworkMachines.h"

#include <memory>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/ActiveConfiguration.h"
#include "vel/configuration/AuthenticationMethod.h"
#include "vel/configuration/NetworkSubscriberInterface.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/exception/FileIOException.h"
#include "vel/network/AdapterConnection.h"
#include "vel/network/NetworkMatchmaker.h"
#include "vel/phyinfo/WirelessPhyInfo.h"
#include "vel/string/TagMacAddr.h"
#include "vel/timer/TimerList.h"

namespace {

using C = NetworkConstants;

// The adapters' operations, which the engine installs before any network connects.
template <typename Call>
void withAdapterConnection(Call call) {
    Reference installed = InstalledAdapterConnection::get();
    if (LUM_ASSERT_TEXT(installed.m, "InstalledAdapterConnection::get().m"))
        call(InstalledAdapterConnection::of(installed));
}

bool activeConfigurationExists() {
    return ActiveConfigurationImpl::Singleton.load() != nullptr && ActiveConfiguration::Instance().exists();
}

bool isFipsMethod(std::int32_t type) {
    return type == AdapterConstants::EAP_TLS || type == AdapterConstants::EAP_PEAP ||
           type == AdapterConstants::EAP_FAST;
}

}  // namespace

void NetworkMachines::Follower::addRef() {
    m_owner.m_network.addRef();
}

void NetworkMachines::Follower::release() {
    m_owner.m_network.release();
}

void NetworkMachines::Follower::release2() {
    m_owner.m_network.release2();
}

NetworkMachines::NetworkMachines(NetworkImpl& network) : m_network(network) {}

NetworkMachines::~NetworkMachines() = default;

NetworkBehaviorMaker::Maker NetworkMachines::install() {
    return NetworkBehaviorMaker::set([](NetworkImpl& network) {
        return std::unique_ptr<NetworkBehaviorInterface>(new NetworkMachines(network));
    });
}

bool NetworkMachines::isStarted() {
    return m_networkMachine.state() != C::STOPPED && m_accessMachine.state() != C::ACCESS_STOPPED;
}

void NetworkMachines::clearReferences() {
    m_accessMachine.clearReferences();
    if (m_adapter.isNull()) return;
    // Shut-down: the adapter and the power events let go of the network, whatever its state.
    VelAdapter adapter = m_adapter;
    m_adapter = VelAdapter();
    adapter.removeSubscriber(&m_follower);
    if (ServicePowerImpl::Singleton.load() != nullptr) ServicePower().removeSubscriber(&m_follower);
}

void NetworkMachines::attachAdapter(const VelAdapter& adapter) {
    m_accessMachine.handleUserEvent(C::ATTACH_ADAPTER, adapter);
    m_accessMachine.handleUserEvent(C::CONNECT);
}

AuthenticationParameters NetworkMachines::currentParameters() {
    std::int32_t type = session().m_currentConnectionType;
    if (!session().checkConnectionType()) type = AdapterConstants::CONNECTION_USER;
    return self().getAuthenticationParameters(type);
}

void NetworkMachines::logTagged(std::int32_t id, const char* line) {
    TagMacAddr mac(m_adapter.impl()->macAddress(), id);
    logInfoTagged(Tags(mac), id, "%s", line);
}

void NetworkMachines::logForAdapter(const char* line) {
    if (!m_adapter.isNull()) logTagged(2820, line);
}

// ---- what the state machines ask of the network ----

void NetworkMachines::setMachineCredentials() {
    session().m_currentConnectionType = AdapterConstants::CONNECTION_MACHINE;
    if (!m_adapter.isNull()) logTagged(2821, "Getting credentials for machine authentication.");
    logInfo(2822, "Resetting fastSessionResumption on setMachineCredentials");
    session().reset();
}

void NetworkMachines::setUserCredentials() {
    logInfo(2823, "Resetting fastSessionResumption on setUserCredentials");
    session().reset();
    session().m_currentConnectionType = AdapterConstants::CONNECTION_USER;
}

void NetworkMachines::sendPasswordChangeResult(std::int32_t result) {
    logInfo(2824, "Sending password change result: %s", C::passwordChangeResultText(result));
    const std::int32_t attemptId = session().m_passwordChangeAttemptId;
    m_network.forEachSubscriber(
        [&](NetworkSubscriberInterface* s) { s->changePasswordResult(attemptId, result); });
}

void NetworkMachines::respondToValidCredRequest() {
    m_network.respondToValidCredRequest();
}

CredentialResponderInterface* NetworkMachines::credentialResponderForAdapter(const VelAdapter& adapter) {
    if (m_adapter.isNull() || m_adapter.m != adapter.m) return nullptr;
    return &m_network;
}

void NetworkMachines::requestPasswordChangeCredentials() {
    LUM_ASSERT_TEXT(!session().m_passwordChangeCredentialsPresent, "!m_passwordChangeCredentialsPresent");
    const std::int32_t source = session().currentCredentialSource();
    Network network = self();
    ElementVector none = ElementVector::create();
    m_network.forEachSubscriber([&](NetworkSubscriberInterface* s) {
        s->networkCredentialRequest(network, none, 2, source, 2, Ascii(""));
    });
}

void NetworkMachines::storeChangedPassword() {
    if (m_network.m_credentialStorage == C::CREDENTIAL_STORAGE_NOT_KEPT) return;
    currentParameters().setPasswordOrKeyCredential(
        Credential::newPassword(session().m_passwordChangeNewPassword));
}

// ---- what the access state machine asks of the network ----

void NetworkMachines::prepareAccess() {
    const std::int32_t mode = m_network.m_associationMode;
    if (mode == WirelessPhyInfoImpl::WPA_PERSONAL || mode == WirelessPhyInfoImpl::WPA2_PERSONAL)
        self().refreshSsid();
}

void NetworkMachines::announceStarted() {
    NetworkMatchmaker::insertNetwork(self());
}

void NetworkMachines::announceStopped() {
    LUM_ASSERT_TEXT(m_adapter.isNull(), "m_adapterProxy.empty()");
    NetworkMatchmaker::removeNetwork(self());
    endOfSessionActions();
}

void NetworkMachines::attachHeldAdapter(const Reference& adapter) {
    if (!LUM_ASSERT_TEXT(m_adapter.isNull(), "m_adapterProxy.empty()")) return;
    static_cast<Reference&>(m_adapter) = adapter;
    m_adapter.addSubscriber(&m_follower);
    if (ServicePowerImpl::Singleton.load() != nullptr) ServicePower().addSubscriber(&m_follower);
}

void NetworkMachines::detach(bool retry) {
    if (!LUM_ASSERT_TEXT(!m_adapter.isNull(), "m_adapterProxy.exists()")) return;
    VelAdapter adapter = m_adapter;
    adapter.removeSubscriber(&m_follower);
    if (retry) {
        NetworkMatchmaker::unmatchAndRetry(adapter, self());
    } else {
        NetworkMatchmaker::unmatch(adapter, self());
    }
    m_adapter = VelAdapter();
    if (ServicePowerImpl::Singleton.load() != nullptr) ServicePower().removeSubscriber(&m_follower);
}

bool NetworkMachines::isFipsCompliant() {
    if (m_network.m_encryption != WirelessPhyInfoImpl::ENCRYPTION_AES) return false;
    if (m_network.m_associationMode == WirelessPhyInfoImpl::WPA2_PERSONAL) return true;
    if (m_network.m_associationMode != WirelessPhyInfoImpl::WPA2_ENTERPRISE) return false;
    if (!session().checkConnectionType()) return false;
    ElementVector methods = currentParameters().authenticationMethods();
    if (methods.length() == 0) return false;
    for (std::int32_t i = 0; i < methods.length(); ++i)
        if (!isFipsMethod(AuthenticationMethod::at(methods, i).authenticationType())) return false;
    return true;
}

PhyInfo NetworkMachines::makePhyInfo() {
    switch (m_network.m_mediaType) {
        case AdapterConstants::MEDIA_TYPE_80211: {
            CredentialProxy key;
            if (session().checkConnectionType()) {
                CredentialProxy stored = currentParameters().getPasswordOrKeyCredential();
                if (stored.exists() && (stored.credential().type() == CredentialConstants::TYPE_ASCII_PSK ||
                                        stored.credential().type() == CredentialConstants::TYPE_HEX_PSK))
                    key = stored;
            }
            return PhyInfo::createWireless(Ascii::fromByteArray(m_network.m_ssid),
                                           m_network.m_associationMode, m_network.m_encryption, key);
        }
        case AdapterConstants::MEDIA_TYPE_8023:
        case AdapterConstants::MEDIA_TYPE_UNIT_TEST:
            return PhyInfo::createWired();
        default:
            LUM_ASSERT_TEXT(false, "false");
            return PhyInfo();
    }
}

void NetworkMachines::connectOverAdapter() {
    if (!LUM_ASSERT_TEXT(!m_adapter.isNull(), "m_adapterProxy.exists()")) return;
    logInfo(2830, "Attempting to connect using %sFIPS compliant profile", isFipsCompliant() ? "" : "non-");
    // Open, shared and ad-hoc networks without 802.1X connect with no authentication at all.
    const std::int32_t mode = m_network.m_associationMode;
    const std::int32_t authenticationType =
        mode >= 0 && mode <= WirelessPhyInfoImpl::ADHOC_SHARED && !m_network.m_flagB
            ? AdapterConstants::AUTHENTICATION_NOT_REQUIRED
            : 0;
    NetworkSession& s = session();
    if (s.m_passwordChangeCredentialsPresent && s.m_passwordChangeTriggered) {
        logInfo(2831, "Setting attempt password change once to true");
        s.m_passwordChangeAttemptArmed = true;
    }
    PhyInfo phyInfo = makePhyInfo();
    if (phyInfo.isNull()) return;
    VelAdapter adapter = m_adapter;
    Settings8021x settings = m_network.m_settings8021x;
    withAdapterConnection([&](AdapterConnectionInterface* connection) {
        connection->connect(adapter, phyInfo, settings, authenticationType);
    });
}

void NetworkMachines::disconnectAdapter() {
    if (!LUM_ASSERT_TEXT(!m_adapter.isNull(), "m_adapterProxy.exists()")) return;
    endOfSessionActions();
    session().setAuthenticationState(C::AUTH_STATE_NONE);
    logInfo(2832, "NetworkImpl::disconnect: Session State cleared on disconnect event. ");
    VelAdapter adapter = m_adapter;
    withAdapterConnection([&](AdapterConnectionInterface* connection) { connection->disconnect(adapter); });
}

void NetworkMachines::reauthenticateAdapter() {
    if (m_adapter.isNull()) {
        logInfo(2833, "NetworkImpl::reauthAccess: m_adapterProxy does not exist");
        return;
    }
    VelAdapter adapter = m_adapter;
    withAdapterConnection([&](AdapterConnectionInterface* connection) { connection->reAuth(adapter); });
}

void NetworkMachines::linkLost() {
    if (!LUM_ASSERT_TEXT(activeConfigurationExists(), "ActiveConfiguration::Instance().exists()")) return;
    Configuration configuration = ActiveConfiguration::Instance().configuration();
    VpnManager vpn = configuration.vpnManager();
    if (configuration.policy().userControlPolicy().allowVpn() && vpn.isAutomatedVpnCapable())
        vpn.handleNetworkEvent(VPN_NETWORK_NOT_CONNECTED);
}

void NetworkMachines::accessStateChanged(std::int32_t accessState) {
    m_networkMachine.handleAccessEvent(accessState);
    m_network.notifyAccessState(accessState);
}

std::int64_t NetworkMachines::startTimer(std::int32_t seconds) {
    const std::int64_t id = ++m_lastTimerId;
    m_timers[id] = TimerList::Instance().startTimer(seconds, &m_follower);
    return id;
}

void NetworkMachines::cancelTimer(std::int64_t id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end()) return;
    ThreadSafeTimer timer = it->second;
    m_timers.erase(it);
    TimerList::Instance().cancelTimer(timer);
}

void NetworkMachines::timerExpired(const ThreadSafeTimer& timer) {
    // An id the machine never had makes it report a ghost timer.
    std::int64_t id = -1;
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->second.m == timer.m) {
            id = it->first;
            m_timers.erase(it);
            break;
        }
    }
    m_accessMachine.timerExpired(id);
}

// ---- what the adapter and the power events tell the network ----

void NetworkMachines::adapterStateChanged(const VelAdapter& adapter, std::int32_t state,
                                          std::int32_t reason) {
    m_network.notifyAdapterState(state, adapter);
    m_accessMachine.handleAdapterState(state, reason);
}

void NetworkMachines::eapStatus(const VelAdapter&, std::int32_t status) {
    if (status == EAP_STATUS_INVALID_PAC) {
        switch (session().m_sessionPacType) {
            case NetworkSession::SESSION_PAC_MACHINE:
                logInfo(2840, "Invalid machine pac");
                deletePac(AuthenticationParameters::MACHINE_PAC);
                logInfo(2841, "Deleted machine pac");
                break;
            case NetworkSession::SESSION_PAC_TUNNEL:
                logInfo(2842, "Invalid tunnel pac");
                deletePac(AuthenticationParameters::TUNNEL_PAC);
                logInfo(2843, "Deleted tunnel pac");
                break;
            default:
                logInfo(2844, "Invalid - no pac");
                break;
        }
    } else if (status == EAP_STATUS_CLEARTEXT_FAILURE) {
        logInfo(2845, "Received cleartext EAP-Failure without the inner method's EAP-Failure");
        authenticationFailed(DETAIL_CLEARTEXT_FAILURE);
    }
}

void NetworkMachines::deletePac(std::int32_t pacType) {
    if (!session().checkConnectionType()) return;
    AuthenticationParameters parameters = currentParameters();
    CredentialProxy held = parameters.getPac(pacType);
    if (!held.exists()) return;
    Credential pac = held.credential();
    parameters.releasePac(pacType);
    ElementVector saved = m_network.m_savedPacs;
    for (std::int32_t i = 0; i < saved.length(); ++i) {
        Credential entry;
        static_cast<Reference&>(entry) = saved.getAt(i);
        if (entry.pacType() == pac.pacType() && entry.aid() == pac.aid() && entry.iid() == pac.iid()) {
            saved.removeAt(i);
            break;
        }
    }
    if (!activeConfigurationExists()) return;
    try {
        ActiveConfiguration::Instance().writeInternalConfiguration();
    } catch (const FileIOException& e) {
        // The PAC is gone from memory; the file keeps it until the next save that works.
        e.report();
    }
}

void NetworkMachines::powerEvent(std::int32_t event) {
    if (event != POWER_EVENT_RESUME || m_accessMachine.state() != C::ACCESS_CONNECTED || m_adapter.isNull())
        return;
    if (m_network.m_networkMedia == NetworkImpl::MEDIA_WIRED && m_network.m_flagB) {
        logInfo(2850, "Network %s: initiating Wake-On-LAN wired re-authentication", networkName());
        reauthenticateAccess();
    } else if (m_network.m_networkMedia == NetworkImpl::MEDIA_WIRELESS) {
        logInfo(2851, "Network %s: forcing reassociation on wireless adapter", networkName());
        if (!LUM_ASSERT_TEXT(!m_adapter.isNull(), "m_adapterProxy.exists()") ||
            !LUM_ASSERT_TEXT(m_network.m_mediaType == AdapterConstants::MEDIA_TYPE_80211,
                             "m_mediaType == AdapterConstants::MEDIA_TYPE_80211"))
            return;
        VelAdapter adapter = m_adapter;
        PhyInfo phyInfo = makePhyInfo();
        withAdapterConnection(
            [&](AdapterConnectionInterface* connection) { connection->restartConnection(adapter, phyInfo); });
    }
}

// ---- the ends of an authentication session ----

void NetworkMachines::authenticationSucceeded() {
    logInfo(2860, "fastReauth set to %s on success", session().m_fastReauthentication ? "enable" : "disable");
    if (isFipsCompliant()) logInfo(2861, "FIPS mode is on with a FIPS compliant network profile");
    session().setAuthenticationState(C::AUTH_STATE_SUCCESS);
}

void NetworkMachines::rejectionActions() {
    NetworkSession& s = session();
    s.dropRejectedIdentity();
    // A password the server refused is not kept for another try: an account locks after a few.
    // The profile's own password is the administrator's and stays.
    const std::int32_t source = s.currentCredentialSource();
    if ((source == NetworkSession::SOURCE_GUI || source == NetworkSession::SOURCE_LOGON) &&
        currentParameters().getPasswordOrKeyCredential().exists()) {
        logInfo(2864, "Refused password is forgotten");
        currentParameters().releasePasswordOrKeyCredential();
        if (m_network.m_credentialStorage == C::CREDENTIAL_STORAGE_FOREVER)
            NetworkCredentialResponder::writeKeptCredentials();
    }
    if (s.m_passwordChangeAttemptArmed) logInfo(2862, "Password change failed due to bad old password");
    if (s.currentCredentialSource() == NetworkSession::SOURCE_LOGON) {
        ++s.m_prelogonFailures;
        logInfo(2863, "Failed to authenticate with prelogon credentials after %d attempt(s).",
                s.m_prelogonFailures);
        s.m_prelogonFailures = 0;
        s.forceGuiSource();
    }
}

void NetworkMachines::closeAdapterPort() {
    if (!m_adapter.isNull()) m_adapter.closePort();
}

void NetworkMachines::authenticationFailed(std::int32_t detail) {
    NetworkSession& s = session();
    const std::int32_t state = s.authenticationState();
    if (detail == 2 || detail == 3) {
        switch (state) {
            case C::AUTH_STATE_STARTED:
                logInfo(2870, "Authentication failed before unprotected identity was sent");
                break;
            case C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION:
                logInfo(2871, "%s rejected, authentication failed.", "Unprotected identity");
                rejectionActions();
                break;
            case C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FAST_REAUTHENTICATION:
                logInfo(2872,
                        "Unprotected identity rejected while trying fast reauthentication, authentication "
                        "failed.");
                break;
            case C::AUTH_STATE_UNPROTECTED_IDENTITY_ACCEPTED:
                logInfo(2873, "%s identity accepted, authentication failed before credential was sent.",
                        "Unprotected");
                break;
            case C::AUTH_STATE_PROTECTED_IDENTITY_SENT:
                logInfo(2874, "%s rejected, authentication failed.", "Protected identity");
                rejectionActions();
                break;
            case C::AUTH_STATE_PROTECTED_IDENTITY_ACCEPTED:
                logInfo(2875, "%s identity accepted, authentication failed before credential was sent.",
                        "Protected");
                break;
            case C::AUTH_STATE_CREDENTIAL_SENT:
            case C::AUTH_STATE_CREDENTIAL_REJECTED:
                logInfo(2876, "%s rejected, authentication failed.", "Credential");
                rejectionActions();
                break;
            case C::AUTH_STATE_NEW_CREDENTIAL_SENT:
                logInfo(2877,
                        "Identity and old password accepted but new password rejected, password change and "
                        "authentication failed.");
                break;
            case C::AUTH_STATE_CREDENTIAL_ACCEPTED:
                logInfo(2878, "Identity and credential accepted but authentication failed.");
                break;
            case C::AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS:
                logInfo(2879,
                        "Identity and credential accepted, authentication failed as expected due to EAP-FAST "
                        "unauthenticated provisioning.");
                break;
            case C::AUTH_STATE_SUCCESS:
                LUM_ASSERT_TEXT(false, "Authentication failed in unexpected state");
                break;
            default:
                break;
        }
    }
    // Unauthenticated provisioning fails by design: the session's credentials serve the next one.
    if (state != C::AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS) s.clearSessionCredentials();
    m_networkMachine.handleAuthRequest(C::AUTHENTICATION_FAILED);
    s.setAuthenticationState(C::AUTH_STATE_FAILURE);
    endOfSessionActions();
}

void NetworkMachines::endOfSessionActions() {
    NetworkSession& s = session();
    logInfo(2880, "In NetworkImpl::authenticationSessionFinishedActions");
    if (s.m_currentConnectionType == AdapterConstants::CONNECTION_MACHINE ||
        s.m_currentConnectionType == AdapterConstants::CONNECTION_USER) {
        const std::int32_t source = s.currentCredentialSource();
        const bool logonCredentialsEnd =
            source == NetworkSession::SOURCE_LOGON && !m_network.m_extendUserConnectionBeyondLogoff;
        const bool guiSource = source == NetworkSession::SOURCE_GUI;
        if (logonCredentialsEnd ||
            (guiSource && m_network.m_credentialStorage == C::CREDENTIAL_STORAGE_NOT_KEPT))
            s.clearCredentials();
        if (logonCredentialsEnd ||
            (guiSource && m_network.m_smartCardPinStorage == C::CREDENTIAL_STORAGE_NOT_KEPT))
            currentParameters().releaseSmartCardPin();
    }
    s.m_credentialRequest.clear();
    s.m_fastReauthentication = false;
    if (s.m_passwordChangeAttemptArmed) s.resetPasswordChange();
}
