#include "vel/ipcmsghandlers/ConnApiEngine.h"

#include "runtime/lum/Assert.h"

bool ConnApiEngine::configurationExists() {
    ConnApiConfigurationInterface* configuration = ConnApiSeam<ConnApiConfigurationInterface>::installed();
    return configuration != nullptr && configuration->exists();
}

bool ConnApiEngine::activeGroupName(Ascii& name) {
    ConnApiConfigurationInterface* configuration = ConnApiSeam<ConnApiConfigurationInterface>::installed();
    return configuration != nullptr && configuration->activeGroupName(name);
}

Configuration ConnApiEngine::configuration() {
    ConnApiConfigurationInterface* configuration = ConnApiSeam<ConnApiConfigurationInterface>::installed();
    return configuration != nullptr ? configuration->configuration() : Configuration();
}

Configuration ConnApiEngine::activeConfiguration() {
    Configuration configuration = ConnApiEngine::configuration();
    LUM_ASSERT_TEXT(!configuration.isNull(), "ActiveConfiguration::exists()");
    return configuration;
}

void ConnApiEngine::writeUserConfiguration() {
    ConnApiConfigurationInterface* configuration = ConnApiSeam<ConnApiConfigurationInterface>::installed();
    if (configuration != nullptr) configuration->writeUserConfiguration();
}

void ConnApiEngine::writeInternalConfiguration() {
    ConnApiConfigurationInterface* configuration = ConnApiSeam<ConnApiConfigurationInterface>::installed();
    if (configuration != nullptr) configuration->writeInternalConfiguration();
}

bool ConnApiEngine::isRadioOn() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    return matchmaker == nullptr || matchmaker->isRadioOn();
}

void ConnApiEngine::resetAdapters() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    if (matchmaker != nullptr) matchmaker->resetAdapters();
}

void ConnApiEngine::turnOffRadio() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    if (matchmaker != nullptr) matchmaker->turnOffRadio();
}

void ConnApiEngine::turnOnRadio() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    if (matchmaker != nullptr) matchmaker->turnOnRadio();
}

void ConnApiEngine::disableClient() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    if (matchmaker != nullptr) matchmaker->disableClient();
}

void ConnApiEngine::enableClient() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    if (matchmaker != nullptr) matchmaker->enableClient();
}

bool ConnApiEngine::isClientEnabled() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    return matchmaker == nullptr || matchmaker->isClientEnabled();
}

std::vector<ConnApiAdapter> ConnApiEngine::adapters() {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    return matchmaker != nullptr ? matchmaker->adapters() : std::vector<ConnApiAdapter>{};
}

std::int32_t ConnApiEngine::currentLogonAttemptId() {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    return logon != nullptr ? logon->currentLogonAttemptId() : 0;
}

std::int32_t ConnApiEngine::getLogonStatus() {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    return logon != nullptr ? logon->getLogonStatus() : 0;
}

void ConnApiEngine::beginSsoCredentialRequest(const ConnApiNetwork& network) {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    if (logon != nullptr) logon->beginSsoCredentialRequest(network);
}

std::int32_t ConnApiEngine::lastVpnState() {
    ConnApiVpnInterface* vpn = ConnApiSeam<ConnApiVpnInterface>::installed();
    return vpn != nullptr ? vpn->lastVpnState() : VPN_STATE_DISCONNECTED;
}

ConnApiAdapter ConnApiEngine::adapterOf(const Network& network) {
    ConnApiMatchmakerInterface* matchmaker = ConnApiSeam<ConnApiMatchmakerInterface>::installed();
    return matchmaker != nullptr ? matchmaker->adapterOf(network) : ConnApiAdapter();
}

ConnApiNetworkProxy ConnApiEngine::ssoCredentialNetwork() {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    return logon != nullptr ? logon->ssoCredentialNetwork() : ConnApiNetworkProxy();
}

void ConnApiEngine::setSsoCredentialRequestPending() {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    if (logon != nullptr) logon->setSsoCredentialRequestPending();
}

void ConnApiEngine::endSsoCredentialRequest() {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    if (logon != nullptr) logon->endSsoCredentialRequest();
}

void ConnApiEngine::setPrelogonActions(std::int32_t logonAttemptId) {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    if (logon != nullptr) logon->setPrelogonActions(logonAttemptId);
}

void ConnApiEngine::setUserSessionActions(std::int32_t userTokenHandle, std::int32_t userLogonProcessId) {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    if (logon != nullptr) logon->setUserSessionActions(userTokenHandle, userLogonProcessId);
}

void ConnApiEngine::handleSsoRequest(std::int32_t request) {
    ConnApiLogonInterface* logon = ConnApiSeam<ConnApiLogonInterface>::installed();
    if (logon != nullptr) logon->handleSsoRequest(request);
}

AsciiVector ConnApiEngine::vpnProfiles() {
    ConnApiVpnInterface* vpn = ConnApiSeam<ConnApiVpnInterface>::installed();
    return vpn != nullptr ? vpn->vpnProfiles() : AsciiVector();
}
