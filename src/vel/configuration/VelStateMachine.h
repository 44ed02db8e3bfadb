#pragma once
// The configuration's top state: the access states of all running networks summed up into one
// state. User events start and stop the networks; access events move the state by which networks
// are connecting and which are connected.
#include <cstdint>

#include "vel/network/Network.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/ReferenceImpl.h"

class ConfigurationImpl;

class VelStateMachineImpl : public ReferenceImpl {
public:
    enum State : std::int32_t { STOPPED = 1, STARTED = 2, CONNECTING = 3, CONNECTED = 4 };
    enum UserEvent : std::int32_t { STOP = 1, START = 2 };
    // Access events are the networks' access states.
    enum AccessEvent : std::int32_t {
        ACCESS_STOPPED = 1,
        ACCESS_STARTED = 2,
        ACCESS_CONNECTING = 3,
        ACCESS_CONNECTED = 4,
        ACCESS_ASSOCIATING = 5,
        ACCESS_ATTACHED = 6,
        ACCESS_AUTHENTICATED = 7,
    };

    explicit VelStateMachineImpl(ConfigurationImpl* configuration) : m_configuration(configuration) {}

    void handleUserEvent(std::int32_t event);
    void handleAccessEvent(std::int32_t accessState, const Network& network);

    std::int32_t state() const { return m_state; }
    // The first connected network, or an empty proxy.
    NetworkProxy connectedNetwork();
    // Back to STOPPED with both lists empty, telling no one.
    void clear();

    static const char* stateText(std::int32_t state);
    static const char* userEventText(std::int32_t event);
    static const char* accessEventText(std::int32_t event);

private:
    using Action = void (VelStateMachineImpl::*)();
    // Which column of the access table an access state falls in.
    enum Column : std::int32_t { STOPPED_ACCESS = 1, IDLE_ACCESS, CONNECTING_ACCESS, CONNECTED_ACCESS };
    // The row's next state: the same one, or the one the action chose.
    static constexpr std::int32_t SAME = 0;
    static constexpr std::int32_t BY_ACTION = -1;
    enum class SetState { BEFORE_ACTION, AFTER_ACTION };
    struct Row {
        std::int32_t state;
        std::int32_t event;  // a user event, or an access column
        Action action;
        std::int32_t next;
        SetState setState;
    };
    static const Row USER_EVENT_TABLE[];
    static const Row ACCESS_EVENT_TABLE[];

    static std::int32_t columnOf(std::int32_t accessState);
    // Runs the row of (state, event); false when the table has none.
    bool runRow(const Row* table, std::int32_t event);
    void checkInvariants();
    void updateLists(std::int32_t accessState, const Network& network);

    void nothing() {}
    void startNetworks();
    void stopNetworks();
    void shouldBeStopped();
    void shouldHaveConnectedFirst();
    void startedWhenNoneConnecting();
    void leaveWhenNoneConnected();
    void connectingWhenNoneConnected();

    std::int32_t m_state = STOPPED;
    ElementVector m_connectingNetworks = ElementVector::create();
    ElementVector m_connectedNetworks = ElementVector::create();
    ConfigurationImpl* m_configuration;
};
