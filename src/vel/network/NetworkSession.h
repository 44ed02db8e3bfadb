#pragma once
// What a network knows of its authentication sessions: whose credentials it uses (machine or
// user) and where they come from, the state the running session has reached, the values a new
// session resets, the password change in progress and the library's request waiting for an
// answer. Held by the network object; engine thread only.
#include <cstdint>

#include "vel/credmgr/Credential.h"
#include "vel/credrequest/CredentialRequestProxy.h"
#include "vel/network/NetworkConstants.h"
#include "vel/string/Ascii.h"

class NetworkImpl;

class NetworkSession {
public:
    // Credential sources.
    static constexpr std::int32_t SOURCE_NONE = 0;
    static constexpr std::int32_t SOURCE_GUI = 2;
    static constexpr std::int32_t SOURCE_LOGON = 3;
    // The session's PAC: 1 machine, 2 tunnel, 3 none.
    static constexpr std::int32_t SESSION_PAC_MACHINE = 1;
    static constexpr std::int32_t SESSION_PAC_TUNNEL = 2;
    static constexpr std::int32_t SESSION_PAC_NONE = 3;

    explicit NetworkSession(NetworkImpl& network) : m_network(network) {}

    // Logs "Authentication state transition: old -> new" on every change.
    void setAuthenticationState(std::int32_t state);
    std::int32_t authenticationState() const { return m_authenticationState; }

    // 1 machine, 2 user; asserts that one was chosen.
    bool checkConnectionType() const;
    // The override when set, else the credential type of the current connection type's parameters.
    std::int32_t currentCredentialSource() const;
    // Credentials are asked of the user from now on, and none are kept.
    void forceGuiSource();
    // Back to the method's own source.
    void revertToSso();

    // A new session: fast reauthentication off, no PAC, the per-session credential data gone.
    void reset();
    // Gives the current parameters an identity the session worked out itself (from a certificate,
    // the computer's name or the password-change texts), which clearSessionCredentials drops again.
    void deriveIdentity(const Ascii& identity);
    // Drops the identity the session derived, when the parameters still hold it. An identity the
    // user gave or the saved configuration restored stays: it outlives sessions by its storage.
    void clearSessionCredentials();
    // A rejected identity is not offered again, wherever it came from.
    void dropRejectedIdentity();
    // The credentials of the current connection type that a session may not keep.
    void clearCredentials();
    // Forgets the password change of the last attempt.
    void resetPasswordChange();

    std::int32_t m_currentConnectionType = 0;
    std::int32_t m_credentialSourceOverride = SOURCE_NONE;
    std::int32_t m_prelogonFailures = 0;
    std::int32_t m_sessionPacType = SESSION_PAC_NONE;
    bool m_fastReauthentication = false;
    bool m_extendedUserConnectionActive = false;
    // Password change: credentials given, change demanded by the server, attempt armed at connect.
    bool m_passwordChangeCredentialsPresent = false;
    bool m_passwordChangeTriggered = false;
    bool m_passwordChangeAttemptArmed = false;
    std::int32_t m_passwordChangeAttemptId = 0;
    Ascii m_passwordChangeUser;
    Ascii m_passwordChangeDomain;
    Ascii m_passwordChangeOldPassword;
    Ascii m_passwordChangeNewPassword;
    // The library's request waiting for the GUI or the logon component.
    CredentialRequestProxy m_credentialRequest;

private:
    NetworkImpl& m_network;
    std::int32_t m_authenticationState = NetworkConstants::AUTH_STATE_NONE;
    // The identity deriveIdentity gave, and the connection type whose parameters took it.
    Credential m_derivedIdentity;
    std::int32_t m_derivedConnectionType = 0;
};
