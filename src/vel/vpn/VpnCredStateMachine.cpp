#include "vel/vpn/VpnCredStateMachine.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"

const char* VpnCredStateMachine::stateName(std::int32_t state) {
    switch (state) {
        case STATE_NONE:
            return "STATE_NONE";
        case STATE_CREDENTIAL_READY:
            return "STATE_CREDENTIAL_READY";
        case STATE_CREDENTIAL_NOT_READY:
            return "STATE_CREDENTIAL_NOT_READY";
        case STATE_WAITING_FOR_CREDENTIAL:
            return "STATE_WAITING_FOR_CREDENTIAL";
    }
    return "UNKNOWN";
}

const char* VpnCredStateMachine::eventName(std::int32_t event) {
    switch (event) {
        case NONE:
            return "NONE";
        case CLEAR_CREDENTIAL:
            return "CLEAR_CREDENTIAL";
        case CANCEL_REQUEST:
            return "CANCEL_REQUEST";
        case CREDENTIAL_REQUEST:
            return "CREDENTIAL_REQUEST";
        case CREDENTIAL_RESPONSE:
            return "CREDENTIAL_RESPONSE";
    }
    return "UNKNOWN";
}

void VpnCredStateMachine::handleEvent(std::int32_t event) {
    m_action = NO_ACTION;
    if (event == NONE) {
        logInfo(0, "VPN cred state machine handleEvent(NONE) - ignored");
        return;
    }
    logInfo(0, "VpnCredStateMachine::handleEvent(): current state = %s, event = %s", stateName(m_state),
            eventName(event));
    switch (m_state) {
        case STATE_CREDENTIAL_READY:
            m_behavior.credReady(*this, event);
            break;
        case STATE_CREDENTIAL_NOT_READY:
            m_behavior.credNotReady(*this, event);
            break;
        case STATE_WAITING_FOR_CREDENTIAL:
            m_behavior.waitingForCred(*this, event);
            break;
        default:
            LUM_ASSERT_TEXT(false, "m_state");
            return;
    }
    logInfo(0, "VpnCredStateMachine::handleEvent(): new state = %s", stateName(m_state));
}
