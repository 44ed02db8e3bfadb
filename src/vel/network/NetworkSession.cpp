#include "vel/network/NetworkSession.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/network/Network.h"

void NetworkSession::setAuthenticationState(std::int32_t state) {
    if (state == m_authenticationState) return;
    logInfo(2801, "Authentication state transition: %s -> %s",
            NetworkConstants::authenticationStateText(m_authenticationState),
            NetworkConstants::authenticationStateText(state));
    m_authenticationState = state;
}

bool NetworkSession::checkConnectionType() const {
    return LUM_ASSERT_TEXT(m_currentConnectionType == AdapterConstants::CONNECTION_USER ||
                               m_currentConnectionType == AdapterConstants::CONNECTION_MACHINE,
                           "m_currentConnectionType == AdapterConstants::CONNECTION_USER || "
                           "m_currentConnectionType == AdapterConstants::CONNECTION_MACHINE");
}

std::int32_t NetworkSession::currentCredentialSource() const {
    if (m_credentialSourceOverride != SOURCE_NONE) return m_credentialSourceOverride;
    if (!checkConnectionType()) return SOURCE_NONE;
    return Network(&m_network).getAuthenticationParameters(m_currentConnectionType).getCredentialType();
}

void NetworkSession::forceGuiSource() {
    logInfo(2802, "Enforcing credentials to be requested from GUI");
    m_credentialSourceOverride = SOURCE_GUI;
    m_network.m_credentialStorage = SOURCE_GUI;
}

void NetworkSession::revertToSso() {
    logInfo(2803, "Reverting back to credentials being requested from SSO");
    m_credentialSourceOverride = SOURCE_NONE;
    m_network.m_credentialStorage = 0;
}

void NetworkSession::reset() {
    m_fastReauthentication = false;
    m_sessionPacType = SESSION_PAC_NONE;
    clearSessionCredentials();
}

void NetworkSession::deriveIdentity(const Ascii& identity) {
    if (!checkConnectionType()) return;
    m_derivedIdentity = Credential::newIdentity(identity);
    m_derivedConnectionType = m_currentConnectionType;
    Network(&m_network).getAuthenticationParameters(m_currentConnectionType).setIdentity(m_derivedIdentity);
}

void NetworkSession::clearSessionCredentials() {
    if (m_derivedIdentity.isNull()) return;
    AuthenticationParameters parameters =
        Network(&m_network).getAuthenticationParameters(m_derivedConnectionType);
    CredentialProxy held = parameters.getIdentity();
    if (held.exists() && held.credential().m == m_derivedIdentity.m) parameters.releaseIdentity();
    m_derivedIdentity = Credential();
    m_derivedConnectionType = 0;
}

void NetworkSession::dropRejectedIdentity() {
    clearSessionCredentials();
    if (m_currentConnectionType != AdapterConstants::CONNECTION_USER &&
        m_currentConnectionType != AdapterConstants::CONNECTION_MACHINE)
        return;
    Network(&m_network).getAuthenticationParameters(m_currentConnectionType).releaseIdentity();
}

void NetworkSession::clearCredentials() {
    if (!checkConnectionType()) return;
    logInfo(2804, "In authenticationSessionFinishedAction, clearing credentials");
    AuthenticationParameters parameters =
        Network(&m_network).getAuthenticationParameters(m_currentConnectionType);
    parameters.releasePasswordOrKeyCredential();
    parameters.releaseCertificateCredential();
    parameters.releaseSmartCardPin();
    parameters.releasePac(AuthenticationParameters::TUNNEL_PAC);
}

void NetworkSession::resetPasswordChange() {
    logInfo(2805, "Resetting password change parameters for network %s", m_network.m_name.text());
    m_passwordChangeCredentialsPresent = false;
    m_passwordChangeTriggered = false;
    m_passwordChangeAttemptArmed = false;
    m_passwordChangeUser = Ascii();
    m_passwordChangeDomain = Ascii();
    m_passwordChangeOldPassword = Ascii();
    m_passwordChangeNewPassword = Ascii();
}
