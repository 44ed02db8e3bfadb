#include "vel/network/NetworkStateMachineImpl.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/network/LogonStatus.h"
#include "vel/network/NetworkStateMachineHost.h"

namespace {

using C = NetworkConstants;

bool isConnected(std::int32_t accessState) {
    return accessState == C::ACCESS_CONNECTING || accessState == C::ACCESS_CONNECTED ||
           accessState == C::ACCESS_AUTHENTICATED;
}

// What an access event does in a state that has no password change in flight: the new state by
// whether access left (not connected), is connecting, or is connected; 0 keeps the state.
struct AccessRow {
    std::int32_t state;
    std::int32_t onNotConnected;
    std::int32_t onConnecting;
    std::int32_t onConnected;
};

constexpr AccessRow ACCESS_TABLE[] = {
    {C::MACHINE_T_DISCONNECTED, 0, C::MACHINE_T_NOT_DISCONNECTED, C::MACHINE_T_NOT_DISCONNECTED},
    {C::MACHINE_T_NOT_DISCONNECTED, C::MACHINE_T_DISCONNECTED, 0, 0},
    {C::USER_T_DISCONNECTED, 0, C::USER_T_NOT_DISCONNECTED, C::USER_T_NOT_DISCONNECTED},
    {C::USER_T_NOT_DISCONNECTED, C::USER_T_DISCONNECTED, 0, 0},
    {C::USER_ND_PWD_CHG_DONE, C::USER_T_DISCONNECTED, 0, 0},
};

}  // namespace

void NetworkStateMachineImpl::handleUserEvent(std::int32_t event) {
    logInfo(2601, "Network %s: NetworkStateMachine current state %s, received user event %s",
            m_network->networkName(), NetworkConstants::textOf(NetworkStateToText, m_state),
            NetworkConstants::textOf(NetworkUserEventToText, event));
    const std::uint64_t input = m_announcement.begin();
    onUserEvent(event);
    logNewState(input);
}

void NetworkStateMachineImpl::handleAccessEvent(std::int32_t accessState) {
    logInfo(2602, "Network %s: NetworkStateMachine current state %s, received access event %s",
            m_network->networkName(), NetworkConstants::textOf(NetworkStateToText, m_state),
            NetworkConstants::textOf(AccessStateToText, accessState));
    const std::uint64_t input = m_announcement.begin();
    onAccessEvent(accessState);
    logNewState(input);
}

void NetworkStateMachineImpl::handleSsoRequest(std::int32_t request) {
    logInfo(2603, "Network %s: NetworkStateMachine current state %s, received sso request %s",
            m_network->networkName(), NetworkConstants::textOf(NetworkStateToText, m_state),
            NetworkConstants::textOf(NetworkSsoRequestToText, request));
    const std::uint64_t input = m_announcement.begin();
    onSsoRequest(request);
    logNewState(input);
}

void NetworkStateMachineImpl::handleAuthRequest(std::int32_t request) {
    logInfo(2604, "Network %s: NetworkStateMachine current state %s, received auth request %s",
            m_network->networkName(), NetworkConstants::textOf(NetworkStateToText, m_state),
            NetworkConstants::textOf(NetworkAuthRequestToText, request));
    const std::uint64_t input = m_announcement.begin();
    onAuthRequest(request);
    logNewState(input);
}

void NetworkStateMachineImpl::logNewState(std::uint64_t input) {
    if (!m_announcement.announces(input, m_state)) return;
    logInfo(2605, "Network %s: NetworkStateMachine new state %s", m_network->networkName(),
            NetworkConstants::textOf(NetworkStateToText, m_state));
}

// Every change of state below is made before access is started, stopped or re-authenticated:
// access answers at once, and the access event it sends back must find the state it moves on.
void NetworkStateMachineImpl::onUserEvent(std::int32_t event) {
    switch (m_state) {
        case C::STOPPED:
            if (event == C::START) decidePhase();
            return;
        case C::MACHINE_T_DISCONNECTED:
        case C::USER_T_DISCONNECTED:
            if (event == C::STOP) {
                m_state = C::STOPPED;
                m_network->stopAccess();
            }
            return;
        case C::MACHINE_T_NOT_DISCONNECTED:
        case C::USER_T_NOT_DISCONNECTED:
            if (event == C::STOP) {
                m_state = C::STOPPED;
                m_network->stopAccess();
            } else if (event == C::ACCESS_CHANGED) {
                m_network->stopAccess();
                m_network->startAccess();
            }
            return;
        case C::MACHINE_ND_PWD_CHG_FROM_SERVER:
        case C::USER_ND_PWD_CHG_FROM_SERVER:
        case C::USER_ND_PWD_CHG_DONE:
            if (event != C::STOP) {
                logInfo(2606, "Network %s: Ignoring %d user event", m_network->networkName(), event);
                return;
            }
            {
                // The new password never reached the server: the subscribers hear it once, not
                // also as a failed change when access reports that it stopped.
                bool changeInFlight = m_state != C::USER_ND_PWD_CHG_DONE;
                m_state = C::STOPPED;
                m_network->stopAccess();
                if (changeInFlight) m_network->sendPasswordChangeResult(C::AUTH_CHANNEL_SETUP_FAILED);
            }
            return;
        default:
            LUM_ASSERT_TEXT(false, "handleEvent unknown state");
            return;
    }
}

void NetworkStateMachineImpl::decidePhase() {
    std::int32_t types = m_network->connectionTypes();
    switch (LogonStatus::getLogonContext()) {
        case LogonStatusInterface::NO_USER_SESSION:
            if (m_network->extendedUserConnectionActive()) {
                // The user's connection outlives the logoff: the user credentials stay.
                m_state = C::USER_T_DISCONNECTED;
                m_network->startAccess();
                return;
            }
            m_state = C::MACHINE_T_DISCONNECTED;
            // A user-only network waits without access until the user's credentials arrive.
            if (types == C::CONNECTION_TYPES_USER) return;
            m_network->setMachineCredentials();
            m_network->startAccess();
            return;
        case LogonStatusInterface::USER_SESSION:
            m_state = C::USER_T_DISCONNECTED;
            if (types == C::CONNECTION_TYPES_MACHINE) {
                m_network->setMachineCredentials();
            } else if (types == C::CONNECTION_TYPES_USER || types == C::CONNECTION_TYPES_BOTH) {
                m_network->setUserCredentials();
            } else {
                LUM_ASSERT_TEXT(false, "false");
                return;
            }
            m_network->startAccess();
            return;
        default:
            LUM_ASSERT_TEXT(false, "false");
            return;
    }
}

void NetworkStateMachineImpl::onAccessEvent(std::int32_t accessState) {
    if (accessState < C::ACCESS_STOPPED || accessState > C::ACCESS_AUTHENTICATED) {
        LUM_ASSERT_TEXT(false, "handleEvent unknown event");
        return;
    }
    bool connecting = accessState == C::ACCESS_CONNECTING;
    bool connected = isConnected(accessState) && !connecting;
    bool left = !isConnected(accessState);
    switch (m_state) {
        case C::STOPPED:
            LUM_ASSERT_TEXT(accessState == C::ACCESS_STOPPED, "handleEvent - Access should be STOPPED");
            return;
        case C::MACHINE_ND_PWD_CHG_FROM_SERVER:
            if (left) {
                m_network->sendPasswordChangeResult(C::PASSWORD_CHANGE_FAILED);
                m_state = C::MACHINE_T_DISCONNECTED;
            } else if (connected) {
                m_network->sendPasswordChangeResult(C::PASSWORD_CHANGE_SUCCEEDED);
                m_state = C::MACHINE_T_NOT_DISCONNECTED;
            }
            return;
        case C::USER_ND_PWD_CHG_FROM_SERVER:
            if (left) {
                m_network->sendPasswordChangeResult(C::PASSWORD_CHANGE_FAILED);
                m_state = C::USER_T_DISCONNECTED;
            } else if (connected) {
                if (m_network->credentialSource() == C::CREDENTIAL_SOURCE_LOGON) {
                    m_network->sendPasswordChangeResult(C::PASSWORD_CHANGE_SUCCEEDED);
                    m_state = C::USER_ND_PWD_CHG_DONE;
                } else {
                    m_network->storeChangedPassword();
                    m_state = C::USER_T_NOT_DISCONNECTED;
                }
            }
            return;
        default:
            break;
    }
    for (const AccessRow& row : ACCESS_TABLE) {
        if (row.state != m_state) continue;
        std::int32_t next = left ? row.onNotConnected : connecting ? row.onConnecting : row.onConnected;
        if (next != 0) m_state = next;
        return;
    }
    LUM_ASSERT_TEXT(false, "handleEvent unknown state");
}

void NetworkStateMachineImpl::onSsoRequest(std::int32_t request) {
    if (request == C::SET_MACHINE_CREDS)
        m_network->logForAdapter("Requesting machine authentication pre-logon.");
    if (request == C::SET_USER_CREDS) m_network->logForAdapter("Requesting user authentication pre-logon.");

    if (request == C::SET_MACHINE_CREDS && m_network->extendUserConnectionBeyondLogoff()) {
        logInfo(2607, "Extending user connection beyond logoff");
        m_network->setExtendedUserConnectionActive(true);
        return;
    }
    if (request == C::SET_USER_CREDS && m_network->extendedUserConnectionActive()) {
        logInfo(2608, "User logon during extended user connection");
        m_network->setExtendedUserConnectionActive(false);
        m_network->resetSession();
    }

    std::int32_t types = m_network->connectionTypes();
    bool userAllowed = types == C::CONNECTION_TYPES_USER || types == C::CONNECTION_TYPES_BOTH;
    switch (m_state) {
        case C::STOPPED:
        case C::USER_D_PWD_CHG_DONE:
            return;
        case C::MACHINE_T_DISCONNECTED:
            if (request == C::SET_USER_CREDS) {
                m_state = C::USER_T_DISCONNECTED;
                if (types == C::CONNECTION_TYPES_USER) {
                    m_network->setUserCredentials();
                    m_network->startAccess();
                } else if (types == C::CONNECTION_TYPES_BOTH) {
                    m_network->setUserCredentials();
                    m_network->reauthenticateAccess();
                }
            } else if (request == C::SSO_CHANGE_PASSWORD_REQUEST) {
                m_state = C::USER_T_DISCONNECTED;
                if (userAllowed) {
                    m_network->setUserCredentials();
                    logInfo(2609, "Starting access for password change");
                    m_network->startAccess();
                }
            }
            return;
        case C::MACHINE_T_NOT_DISCONNECTED:
            if (request == C::SET_USER_CREDS) {
                m_state = C::USER_T_NOT_DISCONNECTED;
                if (types == C::CONNECTION_TYPES_BOTH) {
                    m_network->setUserCredentials();
                    m_network->reauthenticateAccess();
                }
            } else if (request == C::SSO_CHANGE_PASSWORD_REQUEST) {
                if (types == C::CONNECTION_TYPES_BOTH) m_network->setUserCredentials();
                m_state = C::USER_T_NOT_DISCONNECTED;
            }
            return;
        case C::USER_T_DISCONNECTED:
            if (request == C::SET_MACHINE_CREDS) {
                m_network->setMachineCredentials();
                m_state = C::MACHINE_T_DISCONNECTED;
                if (types == C::CONNECTION_TYPES_USER) m_network->stopAccess();
            } else if (request == C::SSO_CHANGE_PASSWORD_REQUEST && userAllowed) {
                m_network->setUserCredentials();
            }
            return;
        case C::USER_T_NOT_DISCONNECTED:
            if (request == C::SET_USER_CREDS) {
                if (m_network->is8021x() && userAllowed) m_network->reauthenticateAccess();
            } else if (request == C::SET_MACHINE_CREDS) {
                leaveForMachinePhase();
            } else if (request == C::SSO_CHANGE_PASSWORD_REQUEST && userAllowed) {
                m_network->setUserCredentials();
            }
            return;
        case C::MACHINE_ND_PWD_CHG_FROM_SERVER:
            if (request == C::SET_USER_CREDS) {
                if (types == C::CONNECTION_TYPES_BOTH) m_network->setUserCredentials();
                m_state = C::USER_T_NOT_DISCONNECTED;
                if (types == C::CONNECTION_TYPES_BOTH) m_network->reauthenticateAccess();
            }
            return;
        case C::USER_ND_PWD_CHG_FROM_SERVER:
        case C::USER_ND_PWD_CHG_DONE:
            if (request == C::SET_USER_CREDS ||
                (request == C::SSO_LOGON_CREDENTIALS_CHANGED_REQUEST && m_state == C::USER_ND_PWD_CHG_DONE)) {
                m_state = C::USER_T_NOT_DISCONNECTED;
                m_network->reauthenticateAccess();
            } else if (request == C::SET_MACHINE_CREDS) {
                leaveForMachinePhase();
            }
            return;
        default:
            LUM_ASSERT_TEXT(false, "handleEvent unknown state");
            return;
    }
}

void NetworkStateMachineImpl::leaveForMachinePhase() {
    std::int32_t types = m_network->connectionTypes();
    m_network->setMachineCredentials();
    if (types == C::CONNECTION_TYPES_USER) {
        // A user-only network has nothing to authenticate the machine with: access stops, and
        // with it the network waits disconnected.
        m_state = C::MACHINE_T_DISCONNECTED;
        m_network->stopAccess();
        return;
    }
    m_state = C::MACHINE_T_NOT_DISCONNECTED;
    if (types == C::CONNECTION_TYPES_BOTH) m_network->reauthenticateAccess();
}

void NetworkStateMachineImpl::onAuthRequest(std::int32_t request) {
    switch (m_state) {
        case C::MACHINE_T_NOT_DISCONNECTED:
        case C::USER_T_NOT_DISCONNECTED: {
            bool machine = m_state == C::MACHINE_T_NOT_DISCONNECTED;
            const char* name = machine ? "MACHINE_T_NOT_DISCONNECTED" : "USER_T_NOT_DISCONNECTED";
            if (request == C::CHANGE_PASSWORD) {
                changePasswordRequested(
                    name, machine ? C::MACHINE_ND_PWD_CHG_FROM_SERVER : C::USER_ND_PWD_CHG_FROM_SERVER);
            } else if (request == C::AUTHENTICATION_FAILED && m_network->passwordChangeAttemptArmed()) {
                m_network->sendPasswordChangeResult(C::PASSWORD_CHANGE_FAILED);
            }
            return;
        }
        case C::MACHINE_ND_PWD_CHG_FROM_SERVER:
            if (request == C::AUTHENTICATION_FAILED)
                authenticationFailedDuringChange(C::MACHINE_T_NOT_DISCONNECTED);
            return;
        case C::USER_ND_PWD_CHG_FROM_SERVER:
            if (request == C::AUTHENTICATION_FAILED)
                authenticationFailedDuringChange(C::USER_T_NOT_DISCONNECTED);
            return;
        case C::STOPPED:
        case C::MACHINE_T_DISCONNECTED:
        case C::USER_T_DISCONNECTED:
        case C::USER_ND_PWD_CHG_DONE:
            return;
        default:
            LUM_ASSERT_TEXT(false, "handleEvent unknown state");
            return;
    }
}

void NetworkStateMachineImpl::changePasswordRequested(const char* stateName, std::int32_t sendingState) {
    if (m_network->passwordChangeCredentialsPresent()) {
        logInfo(2610, "%s NetworkStateMachine sending credentials to server", stateName);
        m_state = sendingState;
        m_network->respondToValidCredRequest();
    } else {
        logInfo(2611, "%s NetworkStateMachine sending pwdChgReqToSsoOrGui", stateName);
        m_network->requestPasswordChangeCredentials();
    }
}

void NetworkStateMachineImpl::authenticationFailedDuringChange(std::int32_t nextState) {
    if (m_network->passwordChangeAttemptArmed()) {
        // An EAP-FAST provisioning ends its exchange with a failure although the new password
        // was taken.
        bool provisioned = m_network->authenticationState() == C::AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS;
        m_network->sendPasswordChangeResult(provisioned ? C::PASSWORD_CHANGE_SUCCEEDED
                                                        : C::PASSWORD_CHANGE_FAILED);
    }
    m_state = nextState;
}
