#pragma once
// The state of one adapter: its inputs (bound and unbound notices, manage and connect requests,
// link changes, authentication results, DHCP results) as events, one state out of thirteen and
// one action out of twenty-one, which the adapter performs after the transition. Engine
// event-queue thread only.
#include <cstdint>

#include "vel/string/Ascii.h"

class AdapterStateBehavior;

class AdapterStateMachine {
public:
    enum State : std::int32_t {
        STATE_NONE = 0,
        STATE_UNBOUND = 1,
        STATE_UNMANAGED = 2,
        STATE_DISCONNECTED_LINK_DOWN = 3,
        STATE_DISCONNECTED_LINK_UP = 4,
        STATE_ASSOCIATING = 5,
        STATE_ASSOCIATED = 6,
        STATE_AUTHENTICATING = 7,
        STATE_AUTHENTICATED = 8,
        STATE_NO_IP = 9,
        STATE_CONNECTED = 10,
        STATE_AUTH_FAILED = 11,
        STATE_COUNTERMEASURES = 12,
    };

    enum Event : std::int32_t {
        NONE = 0,
        ADAPTER_ERROR = 1,
        UNMANAGE = 2,
        BOUND = 3,
        UNBOUND = 4,
        MANAGE = 5,
        DISCONNECT = 6,
        CONNECT = 7,
        LINK_DOWN = 8,
        LINK_UP = 9,
        COUNTERMEASURES_STOP = 10,
        COUNTERMEASURES_START = 11,
        HELD_TIMER_EXPIRED = 12,
        AUTH_REQUEST = 13,
        AUTH_SUCCESS = 14,
        IP_CONNECTIVITY = 15,
        IP_CONNECTIVITY_FAILS = 16,
        AUTH_FAIL = 17,
        EVENT_COUNT = 18,
    };

    enum Action : std::int32_t {
        NO_ACTION = 0,
        ADAPTER_ERROR_ACTION = 1,
        UNMANAGE_ACTION = 2,
        BOUND_ACTION = 3,
        UNBOUND_ACTION = 4,
        MANAGE_ACTION = 5,
        DISCONNECT_ACTION = 6,
        CONNECT_ACTION = 7,
        LINK_DOWN_ACTION = 8,
        LINK_UP_ACTION = 9,
        COUNTERMEASURES_STOP_ACTION = 10,
        COUNTERMEASURES_START_ACTION = 11,
        HELD_TIMER_EXPIRED_ACTION = 12,
        AUTH_NOT_REQUIRED_ACTION = 13,
        AUTH_REQUEST_ACTION = 14,
        AUTH_SUCCESS_ACTION = 15,
        IP_CONNECTIVITY_ACTION = 16,
        IP_CONNECTIVITY_FAILS_ACTION = 17,
        AUTH_FAIL_ACTION = 18,
        DISCONNECT_LINK_CHANGED_ACTION = 19,
        // Performed by the adapter's connect only; it has no text.
        CONNECT_LINK_UP_ACTION = 20,
    };

    // Starts "unbound" with no action; the name prefixes its log lines.
    explicit AdapterStateMachine(const Ascii& adapterName);
    ~AdapterStateMachine();
    AdapterStateMachine(const AdapterStateMachine&) = delete;
    AdapterStateMachine& operator=(const AdapterStateMachine&) = delete;

    // One transition; read the result back with state() and action().
    void handleEvent(std::int32_t event);

    std::int32_t state() const { return m_state; }
    std::int32_t action() const { return m_action; }
    const Ascii& adapterName() const { return m_adapterName; }

    // For the behaviour only.
    void setState(std::int32_t state) { m_state = state; }
    void setAction(std::int32_t action) { m_action = action; }

    // "NONE" ... "AUTH_FAIL"; a value of 18 or more is a broken invariant ("?").
    static const char* eventName(std::int32_t event);
    // "NO_ACTION" ... "DISCONNECT_LINK_CHANGED_ACTION"; above 19 a broken invariant ("?").
    static const char* actionName(std::int32_t action);

private:
    std::int32_t m_state = STATE_UNBOUND;
    AdapterStateBehavior* m_behavior;
    std::int32_t m_action = NO_ACTION;
    Ascii m_adapterName;
};
