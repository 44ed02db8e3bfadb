#pragma once
// Decides in which phase a network authenticates (as the machine before anybody logs on, or as
// the user) and carries the password changes of both phases. Its inputs are the configuration's
// user events, the network's access states, the logon component's single-sign-on requests and
// the authentication requests of the network's credential responder; all arrive on the
// event-queue thread. Each input logs one line on arrival and the new state when handled.
#include <cstdint>

#include "vel/network/NetworkConstants.h"
#include "vel/network/StateAnnouncement.h"

class NetworkStateMachineHost;

class NetworkStateMachineImpl {
public:
    explicit NetworkStateMachineImpl(NetworkStateMachineHost& network) : m_network(&network) {}

    std::int32_t state() const { return m_state; }

    void handleUserEvent(std::int32_t event);
    void handleAccessEvent(std::int32_t accessState);
    void handleSsoRequest(std::int32_t request);
    void handleAuthRequest(std::int32_t request);

private:
    void onUserEvent(std::int32_t event);
    void onAccessEvent(std::int32_t accessState);
    void onSsoRequest(std::int32_t request);
    void onAuthRequest(std::int32_t request);
    // START in STOPPED: the machine's or the user's phase, by the logon status.
    void decidePhase();
    // What SET_MACHINE_CREDS does in 16 and 17 (and by type in 5).
    void leaveForMachinePhase();
    void changePasswordRequested(const char* stateName, std::int32_t sendingState);
    void authenticationFailedDuringChange(std::int32_t nextState);
    // "new state ..." after the input numbered `input`, unless a nested input said it already.
    void logNewState(std::uint64_t input);

    std::int32_t m_state = NetworkConstants::STOPPED;
    NetworkStateMachineHost* m_network;
    StateAnnouncement m_announcement;
};
