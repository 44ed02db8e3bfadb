#include "vel/configuration/VelStateMachine.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/configuration/Configuration.h"
#include "vel/reference/HandleOf.h"

using V = VelStateMachineImpl;

// The user events, in the system's order.
constexpr V::Row V::USER_EVENT_TABLE[] = {
    {STOPPED, START, &V::startNetworks, STARTED, SetState::BEFORE_ACTION},
    {STOPPED, STOP, &V::nothing, SAME, SetState::AFTER_ACTION},
    {STARTED, START, &V::nothing, SAME, SetState::AFTER_ACTION},
    {STARTED, STOP, &V::stopNetworks, STOPPED, SetState::AFTER_ACTION},
    {CONNECTING, START, &V::nothing, SAME, SetState::AFTER_ACTION},
    {CONNECTING, STOP, &V::stopNetworks, STOPPED, SetState::AFTER_ACTION},
    {CONNECTED, START, &V::nothing, SAME, SetState::AFTER_ACTION},
    {CONNECTED, STOP, &V::stopNetworks, STOPPED, SetState::AFTER_ACTION},
    {0, 0, nullptr, SAME, SetState::AFTER_ACTION},
};

// The access events by column: ACCESS_STOPPED; ACCESS_STARTED and ACCESS_ATTACHED; connecting
// (ACCESS_CONNECTING, ACCESS_ASSOCIATING, ACCESS_AUTHENTICATED); ACCESS_CONNECTED. The lists are
// already updated when a row runs.
constexpr V::Row V::ACCESS_EVENT_TABLE[] = {
    {STOPPED, STOPPED_ACCESS, &V::nothing, SAME, SetState::AFTER_ACTION},
    {STOPPED, IDLE_ACCESS, &V::shouldBeStopped, SAME, SetState::AFTER_ACTION},
    {STOPPED, CONNECTING_ACCESS, &V::shouldBeStopped, SAME, SetState::AFTER_ACTION},
    {STOPPED, CONNECTED_ACCESS, &V::shouldBeStopped, SAME, SetState::AFTER_ACTION},
    {STARTED, STOPPED_ACCESS, &V::nothing, SAME, SetState::AFTER_ACTION},
    {STARTED, IDLE_ACCESS, &V::nothing, SAME, SetState::AFTER_ACTION},
    {STARTED, CONNECTING_ACCESS, &V::nothing, CONNECTING, SetState::AFTER_ACTION},
    {STARTED, CONNECTED_ACCESS, &V::shouldHaveConnectedFirst, SAME, SetState::AFTER_ACTION},
    {CONNECTING, STOPPED_ACCESS, &V::startedWhenNoneConnecting, BY_ACTION, SetState::AFTER_ACTION},
    {CONNECTING, IDLE_ACCESS, &V::startedWhenNoneConnecting, BY_ACTION, SetState::AFTER_ACTION},
    {CONNECTING, CONNECTING_ACCESS, &V::nothing, SAME, SetState::AFTER_ACTION},
    {CONNECTING, CONNECTED_ACCESS, &V::nothing, CONNECTED, SetState::AFTER_ACTION},
    {CONNECTED, STOPPED_ACCESS, &V::leaveWhenNoneConnected, BY_ACTION, SetState::AFTER_ACTION},
    {CONNECTED, IDLE_ACCESS, &V::leaveWhenNoneConnected, BY_ACTION, SetState::AFTER_ACTION},
    {CONNECTED, CONNECTING_ACCESS, &V::connectingWhenNoneConnected, BY_ACTION, SetState::AFTER_ACTION},
    {CONNECTED, CONNECTED_ACCESS, &V::nothing, SAME, SetState::AFTER_ACTION},
    {0, 0, nullptr, SAME, SetState::AFTER_ACTION},
};

const char* VelStateMachineImpl::stateText(std::int32_t state) {
    switch (state) {
        case STOPPED:
            return "Configuration::STOPPED";
        case STARTED:
            return "Configuration::STARTED";
        case CONNECTING:
            return "Configuration::CONNECTING";
        case CONNECTED:
            return "Configuration::CONNECTED";
        default:
            return "<unknown>";
    }
}

const char* VelStateMachineImpl::userEventText(std::int32_t event) {
    switch (event) {
        case STOP:
            return "Configuration::STOP";
        case START:
            return "Configuration::START";
        default:
            return "<unknown>";
    }
}

const char* VelStateMachineImpl::accessEventText(std::int32_t event) {
    switch (event) {
        case ACCESS_STOPPED:
            return "Network::ACCESS_STOPPED";
        case ACCESS_STARTED:
            return "Network::ACCESS_STARTED";
        case ACCESS_CONNECTING:
            return "Network::ACCESS_CONNECTING";
        case ACCESS_CONNECTED:
            return "Network::ACCESS_CONNECTED";
        case ACCESS_ASSOCIATING:
            return "Network::ACCESS_ASSOCIATING";
        case ACCESS_ATTACHED:
            return "Network::ACCESS_ATTACHED";
        case ACCESS_AUTHENTICATED:
            return "Network::ACCESS_AUTHENTICATED";
        default:
            return "<unknown>";
    }
}

std::int32_t VelStateMachineImpl::columnOf(std::int32_t accessState) {
    switch (accessState) {
        case ACCESS_STOPPED:
            return STOPPED_ACCESS;
        case ACCESS_STARTED:
        case ACCESS_ATTACHED:
            return IDLE_ACCESS;
        case ACCESS_CONNECTING:
        case ACCESS_ASSOCIATING:
        case ACCESS_AUTHENTICATED:
            return CONNECTING_ACCESS;
        case ACCESS_CONNECTED:
            return CONNECTED_ACCESS;
        default:
            return 0;
    }
}

bool VelStateMachineImpl::runRow(const Row* table, std::int32_t event) {
    for (const Row* row = table; row->action != nullptr; ++row) {
        if (row->state != m_state || row->event != event) continue;
        bool fixedNext = row->next != SAME && row->next != BY_ACTION;
        if (fixedNext && row->setState == SetState::BEFORE_ACTION) m_state = row->next;
        (this->*row->action)();
        if (fixedNext && row->setState == SetState::AFTER_ACTION) m_state = row->next;
        return true;
    }
    return false;
}

void VelStateMachineImpl::handleUserEvent(std::int32_t event) {
    logInfo(0, "Start  VelStateMachineImpl::handleEvent user event %s in state %s", userEventText(event),
            stateText(m_state));
    std::int32_t before = m_state;
    if (!runRow(USER_EVENT_TABLE, event)) {
        LUM_ASSERT_TEXT(m_state >= STOPPED && m_state <= CONNECTED, "handleEvent unknown state");
        LUM_ASSERT_TEXT(event == START || event == STOP, "handleEvent unknown event");
    }
    logInfo(0, "Finish VelStateMachineImpl::handleEvent user event %s %s: %s", userEventText(event),
            m_state == before ? "no state change" : "in the new state", stateText(m_state));
    // Told after every user event, so that a second start still reaches every follower.
    m_configuration->notifyConfigurationEvent(m_state);
}

void VelStateMachineImpl::handleAccessEvent(std::int32_t accessState, const Network& network) {
    logInfo(0, "Start  VelStateMachineImpl::handleEvent access %s in %s state", accessEventText(accessState),
            stateText(m_state));
    std::int32_t before = m_state;
    std::int32_t column = columnOf(accessState);
    if (!LUM_ASSERT_TEXT(column != 0, "handleEvent unknown event")) {
        logInfo(0, "Finish VelStateMachineImpl::handleEvent access %s %s: %s", accessEventText(accessState),
                "no state change", stateText(m_state));
        return;
    }
    checkInvariants();
    updateLists(accessState, network);
    if (!runRow(ACCESS_EVENT_TABLE, column)) LUM_ASSERT_TEXT(false, "handleEvent unknown state");
    logInfo(0, "Finish VelStateMachineImpl::handleEvent access %s %s: %s", accessEventText(accessState),
            m_state == before ? "no state change" : "in the new state", stateText(m_state));
    if (m_state != before) m_configuration->notifyConfigurationEvent(m_state);
}

void VelStateMachineImpl::checkInvariants() {
    int connecting = m_connectingNetworks.length();
    int connected = m_connectedNetworks.length();
    switch (m_state) {
        case STOPPED:
        case STARTED:
            LUM_ASSERT_TEXT(connecting == 0 && connected == 0,
                            "m_connectingNetworks.length() == 0 && m_connectedNetworks.length() == 0");
            break;
        case CONNECTING:
            LUM_ASSERT_TEXT(connected == 0 && connecting != 0,
                            "m_connectedNetworks.length() == 0 && m_connectingNetworks.length() != 0");
            break;
        case CONNECTED:
            LUM_ASSERT_TEXT(connected != 0, "m_connectedNetworks.length() != 0");
            break;
        default:
            break;
    }
}

void VelStateMachineImpl::updateLists(std::int32_t accessState, const Network& network) {
    if (columnOf(accessState) == CONNECTING_ACCESS) {
        m_connectingNetworks.addIfAbsent(network.m);
    } else {
        m_connectingNetworks.remove(network.m);
    }
    logInfo(0, "Number of networks in connecting state = %d", m_connectingNetworks.length());
    if (accessState == ACCESS_CONNECTED) {
        m_connectedNetworks.addIfAbsent(network.m);
    } else {
        m_connectedNetworks.remove(network.m);
    }
}

NetworkProxy VelStateMachineImpl::connectedNetwork() {
    if (m_connectedNetworks.length() == 0) return NetworkProxy();
    return NetworkProxy(handleOf<Network>(m_connectedNetworks.get(0)));
}

void VelStateMachineImpl::clear() {
    m_state = STOPPED;
    m_connectingNetworks.clear();
    m_connectedNetworks.clear();
}

void VelStateMachineImpl::startNetworks() {
    m_configuration->startNetworks();
}

void VelStateMachineImpl::stopNetworks() {
    m_configuration->stopNetworks();
}

void VelStateMachineImpl::shouldBeStopped() {
    LUM_ASSERT_TEXT(false, "handleEvent - Network should be STOPPED");
}

void VelStateMachineImpl::shouldHaveConnectedFirst() {
    LUM_ASSERT_TEXT(false, "handleEvent - Network should have transitioned through CONNECTING");
}

void VelStateMachineImpl::startedWhenNoneConnecting() {
    if (m_connectingNetworks.length() == 0) m_state = STARTED;
}

void VelStateMachineImpl::leaveWhenNoneConnected() {
    if (m_connectedNetworks.length() == 0)
        m_state = m_connectingNetworks.length() != 0 ? CONNECTING : STARTED;
}

void VelStateMachineImpl::connectingWhenNoneConnected() {
    if (m_connectedNetworks.length() == 0) m_state = CONNECTING;
}
