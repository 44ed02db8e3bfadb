#include "vel/adapter/AdapterStateMachine.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterStateBehavior.h"
#include "vel/enumtostring/EnumConversions.h"

namespace {

const char* const EVENT_NAMES[] = {"NONE",
                                   "ADAPTER_ERROR",
                                   "UNMANAGE",
                                   "BOUND",
                                   "UNBOUND",
                                   "MANAGE",
                                   "DISCONNECT",
                                   "CONNECT",
                                   "LINK_DOWN",
                                   "LINK_UP",
                                   "COUNTERMEASURES_STOP",
                                   "COUNTERMEASURES_START",
                                   "HELD_TIMER_EXPIRED",
                                   "AUTH_REQUEST",
                                   "AUTH_SUCCESS",
                                   "IP_CONNECTIVITY",
                                   "IP_CONNECTIVITY_FAILS",
                                   "AUTH_FAIL"};

const char* const ACTION_NAMES[] = {"NO_ACTION",
                                    "ADAPTER_ERROR_ACTION",
                                    "UNMANAGE_ACTION",
                                    "BOUND_ACTION",
                                    "UNBOUND_ACTION",
                                    "MANAGE_ACTION",
                                    "DISCONNECT_ACTION",
                                    "CONNECT_ACTION",
                                    "LINK_DOWN_ACTION",
                                    "LINK_UP_ACTION",
                                    "COUNTERMEASURES_STOP_ACTION",
                                    "COUNTERMEASURES_START_ACTION",
                                    "HELD_TIMER_EXPIRED_ACTION",
                                    "AUTH_NOT_REQUIRED_ACTION",
                                    "AUTH_REQUEST_ACTION",
                                    "AUTH_SUCCESS_ACTION",
                                    "IP_CONNECTIVITY_ACTION",
                                    "IP_CONNECTIVITY_FAILS_ACTION",
                                    "AUTH_FAIL_ACTION",
                                    "DISCONNECT_LINK_CHANGED_ACTION"};

}  // namespace

AdapterStateMachine::AdapterStateMachine(const Ascii& adapterName)
    : m_behavior(new AdapterStateBehavior), m_adapterName(adapterName) {}

AdapterStateMachine::~AdapterStateMachine() {
    delete m_behavior;
}

const char* AdapterStateMachine::eventName(std::int32_t event) {
    if (!LUM_ASSERT_TEXT(event >= NONE && event < EVENT_COUNT, "event")) return "?";
    return EVENT_NAMES[event];
}

const char* AdapterStateMachine::actionName(std::int32_t action) {
    if (!LUM_ASSERT_TEXT(action >= NO_ACTION && action <= DISCONNECT_LINK_CHANGED_ACTION, "unknown action"))
        return "?";
    return ACTION_NAMES[action];
}

void AdapterStateMachine::handleEvent(std::int32_t event) {
    m_action = NO_ACTION;
    const char* name = m_adapterName.text();
    if (event == NONE) {
        logInfo(0, "%s: adapter state machine handleEvent(NONE) - ignored", name);
        return;
    }
    logInfo(0, "%s: AdapterStateMachine::handleEvent(): current state = %s, event = %s", name,
            AdapterStateToText(m_state), eventName(event));
    switch (m_state) {
        case STATE_UNBOUND:
            m_behavior->unbound(*this, event);
            break;
        case STATE_UNMANAGED:
            m_behavior->unmanaged(*this, event);
            break;
        case STATE_DISCONNECTED_LINK_DOWN:
            m_behavior->disconnectedLinkDown(*this, event);
            break;
        case STATE_DISCONNECTED_LINK_UP:
            m_behavior->disconnectedLinkUp(*this, event);
            break;
        case STATE_ASSOCIATING:
            m_behavior->associating(*this, event);
            break;
        case STATE_ASSOCIATED:
            m_behavior->associated(*this, event);
            break;
        case STATE_AUTHENTICATING:
            m_behavior->authenticating(*this, event);
            break;
        case STATE_AUTHENTICATED:
            m_behavior->authenticated(*this, event);
            break;
        case STATE_NO_IP:
            m_behavior->noIp(*this, event);
            break;
        case STATE_CONNECTED:
            m_behavior->connected(*this, event);
            break;
        case STATE_AUTH_FAILED:
            m_behavior->authFailed(*this, event);
            break;
        case STATE_COUNTERMEASURES:
            m_behavior->countermeasures(*this, event);
            break;
        default:
            LUM_ASSERT_TEXT(false, "m_state");
            return;
    }
    logInfo(0, "%s: AdapterStateMachine::handleEvent(): new state = %s", name, AdapterStateToText(m_state));
}
