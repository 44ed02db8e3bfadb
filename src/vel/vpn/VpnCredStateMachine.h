#pragma once
// Whether the VPN manager holds the gateway's credentials, or waits for the tray program to give
// them: each event leaves the machine in a state and with the action the manager then takes.
#include <cstdint>

#include "vel/vpn/VpnCredStateBehavior.h"

class VpnCredStateMachine {
public:
    enum State : std::int32_t {
        STATE_NONE = 0,
        STATE_CREDENTIAL_READY = 1,
        STATE_CREDENTIAL_NOT_READY = 2,
        STATE_WAITING_FOR_CREDENTIAL = 3,
    };
    enum Event : std::int32_t {
        NONE = 0,
        CLEAR_CREDENTIAL = 1,
        CANCEL_REQUEST = 2,
        CREDENTIAL_REQUEST = 3,
        CREDENTIAL_RESPONSE = 4,
    };
    enum Action : std::int32_t {
        NO_ACTION = 0,
        CLEAR_CREDENTIAL_ACTION = 1,
        CANCEL_ACTION = 2,
        ASK_GUI_ACTION = 3,
        SEND_TO_VPN_ACTION = 4,
    };

    void handleEvent(std::int32_t event);

    std::int32_t state() const { return m_state; }
    // Set by the last event; the manager's credential step reads it.
    std::int32_t action() const { return m_action; }

    // The behaviours'.
    void setState(std::int32_t state) { m_state = state; }
    void setAction(std::int32_t action) { m_action = action; }

    static const char* stateName(std::int32_t state);
    static const char* eventName(std::int32_t event);

private:
    std::int32_t m_state = STATE_CREDENTIAL_NOT_READY;
    VpnCredStateBehavior m_behavior;
    std::int32_t m_action = NO_ACTION;
};
