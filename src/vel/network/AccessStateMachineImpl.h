#pragma once
// Follows one connection attempt of a network over the adapter the matchmaker gave it: attach,
// associate (wireless), connect and authenticate, and drops an attempt that takes too long. Its
// inputs are user events, the states of the attached adapter and the expiry of its two timers,
// all on the event-queue thread.
#include <cstdint>

#include "vel/network/NetworkConstants.h"
#include "vel/network/StateAnnouncement.h"
#include "vel/reference/Reference.h"

class AccessStateMachineHost;

class AccessStateMachineImpl {
public:
    // Adapter states.
    static constexpr std::int32_t ADAPTER_NONE = 0;
    static constexpr std::int32_t ADAPTER_UNBOUND = 1;
    static constexpr std::int32_t ADAPTER_UNMANAGED = 2;
    static constexpr std::int32_t ADAPTER_LINK_DOWN = 3;
    static constexpr std::int32_t ADAPTER_LINK_UP = 4;
    static constexpr std::int32_t ADAPTER_ASSOCIATING = 5;
    static constexpr std::int32_t ADAPTER_ASSOCIATED = 6;
    static constexpr std::int32_t ADAPTER_AUTHENTICATING = 7;
    static constexpr std::int32_t ADAPTER_AUTHENTICATED = 8;
    static constexpr std::int32_t ADAPTER_NO_IP = 9;
    static constexpr std::int32_t ADAPTER_CONNECTED = 10;
    static constexpr std::int32_t ADAPTER_AUTH_FAILED = 11;
    static constexpr std::int32_t ADAPTER_COUNTERMEASURES = 12;

    explicit AccessStateMachineImpl(AccessStateMachineHost& network) : m_network(&network) {}
    // Clears the timers through the network: the owner declares the machine as its last member.
    ~AccessStateMachineImpl();

    std::int32_t state() const { return m_state; }
    bool durationTimerRuns() const { return m_durationTimer != 0; }
    bool associationTimerRuns() const { return m_associationTimer != 0; }

    // The adapter is set for ATTACH_ADAPTER only. True when the state changed.
    bool handleUserEvent(std::int32_t event, const Reference& adapter = Reference());
    void handleAdapterState(std::int32_t adapterState, std::int32_t detail = 0);
    void timerExpired(std::int64_t timer);
    // Cancels both timers.
    void clearReferences();

private:
    void onUserEvent(std::int32_t event, const Reference& adapter);
    void onAdapterState(std::int32_t adapterState, std::int32_t detail);
    // "new state = ..." after the input numbered `input`, unless a nested input said it already.
    void logNewState(std::uint64_t input);
    // Takes the new state and tells the network when it changed.
    void enter(std::int32_t next);
    bool wired();

    void startDurationTimer();
    void startAssociationTimer(std::int32_t seconds);
    void clearDurationTimer();
    void clearAssociationTimer();
    void clearTimers();

    // The attempt ends: timers go, the adapter disconnects and goes back to the matchmaker.
    void dropAttempt(bool stopping);
    // The adapter went away (unbound: stay next) or left management (move on).
    void adapterLost(bool unbound);
    // The attempt is through: the duration timer stops.
    void reachConnected();
    // The adapter reassociates: wired attempts end, wireless ones wait for the association.
    void reassociating(bool fromConnected);

    AccessStateMachineHost* m_network;
    std::int32_t m_state = NetworkConstants::ACCESS_STOPPED;
    std::int64_t m_durationTimer = 0;
    std::int64_t m_associationTimer = 0;
    StateAnnouncement m_announcement;
};
