#pragma once
// What the access state machine reads of its network and the operations it asks of it: the
// network object holds the adapter, talks to the matchmaker and runs the authentication session.
// Timers are started and cancelled through it, so that the machine can be driven without a clock.
#include <cstdint>

class Reference;

class AccessStateMachineHost {
public:
    virtual ~AccessStateMachineHost() = default;

    virtual const char* networkName() = 0;
    // 0 wired; every other value counts as wireless.
    virtual std::int32_t mediaType() = 0;
    virtual std::int32_t connectionTimeout() = 0;
    virtual std::int32_t associationTimeout() = 0;

    // Prepares the pre-shared key of a personal association for the authentication library.
    virtual void prepareAccess() = 0;
    // The network joins, or leaves, its media type's networks to match.
    virtual void announceStarted() = 0;
    virtual void announceStopped() = 0;
    virtual void attachAdapter(const Reference& adapter) = 0;
    // Lets the adapter go back to the matchmaker, which moves on to the next network...
    virtual void detachAndMoveOn() = 0;
    // ...or tries this network first again.
    virtual void detachAndStayNext() = 0;
    virtual void connect() = 0;
    virtual void disconnect() = 0;
    virtual void reauthenticate() = 0;
    virtual void authenticationSucceeded() = 0;
    virtual void authenticationFailed(std::int32_t detail) = 0;
    // A connected link went down or up: an automatic VPN hears the network is not connected.
    virtual void linkLost() = 0;
    // The machine entered a new access state.
    virtual void accessStateChanged(std::int32_t accessState) = 0;

    // A one-shot timer whose expiry comes back as AccessStateMachineImpl::timerExpired(id); ids
    // are never 0.
    virtual std::int64_t startTimer(std::int32_t seconds) = 0;
    virtual void cancelTimer(std::int64_t id) = 0;
};
