#pragma once
// The tunnel's state machine: user, client and network events move it between disconnected,
// connecting, connected and disconnecting over the VPN client; every change of state goes to the
// tray programs with the status of what happened. An automatic attempt that fails is tried again
// after a while. Engine thread only.
#include <cstdint>

#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/timer/ThreadSafeTimerProxy.h"
#include "vel/timer/TimerSubscriber.h"
#include "vel/vpn/TamselVpnClient.h"
#include "vel/vpn/VpnConstants.h"

// The VPN manager's operations that the machine runs.
class VpnStateMachineOwnerInterface {
public:
    virtual void connectVpn() = 0;
    virtual void autoConnectVpn() = 0;
    virtual void disconnectVpn() = 0;
    virtual void resetAndDisconnect() = 0;
    virtual void credentialRequest() = 0;
    // True when the connected network has a VPN entry that connects by itself.
    virtual bool connectedEntryAutoConnects() = 0;

protected:
    ~VpnStateMachineOwnerInterface() = default;
};

class VpnStateMachineImpl : public ReferenceImpl, public TimerSubscriberInterface {
public:
    enum Action : std::uint8_t {
        NOTHING,
        // User events.
        OPEN_AND_CONNECT,   // on success the row's next state; on failure it stays
        DISCONNECT_CLIENT,  // on success the row's next state; on failure the disconnect step
        // Client events.
        START_CONNECTING,
        TUNNEL_UP,
        DISCONNECT_STEP,
        FAILURE_THEN_DISCONNECT_STEP,
        FAILURE_WITH_RETRY_THEN_DISCONNECT_VPN,
        CREDENTIAL_REQUEST,
        CREDENTIAL_FAILURE,
        UNEXPECTED_CONNECTED,
        // Network events.
        AUTO_CONNECT,
        LOST_NETWORK,  // FORGET_RETRY and DISCONNECT_CLIENT after its line
        RECONNECT_WHEN_DISCONNECTED,
        FORGET_RETRY,  // no automatic attempt over a network that is gone
    };
    // A row for every event the row's table does not name.
    static constexpr std::int32_t ANY_OTHER = -1;

    struct Row {
        std::int32_t state;
        std::int32_t event;
        Action action;
        std::int32_t next;
    };

    explicit VpnStateMachineImpl(VpnStateMachineOwnerInterface& owner);

    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }
    // Clears the retry timer, which holds the machine.
    void clearReferences() override;

    void handleUserEvent(std::int32_t event, const Ascii& entry);
    void handleClientEvent(std::int32_t clientEvent);
    void handleNetworkEvent(std::int32_t event);
    void timerExpired(const ThreadSafeTimer& timer) override;

    std::int32_t state() const { return m_state; }
    std::int32_t status() const { return m_status; }
    std::int32_t retriesLeft() const { return m_retriesLeft; }
    void setRetriesLeft(std::int32_t retries) { m_retriesLeft = retries; }
    bool retryTimerRunning() { return !m_vpnConnectionRetryTimerProxy.empty(); }
    // Sets the status and tells the tray programs with the current state.
    void reportStatus(std::int32_t status);

    // The tables, in the system's order, for the tests that read them.
    static const Row* userRows(std::size_t* count);
    static const Row* clientRows(std::size_t* count);
    static const Row* networkRows(std::size_t* count);
    // The row of the state and event in the table, or null.
    static const Row* rowOf(const Row* rows, std::size_t count, std::int32_t state, std::int32_t event);
    // The status a client failure event reports; false when the event is not a failure.
    static bool failureStatus(std::int32_t clientEvent, std::int32_t& status);

private:
    void act(const Row& row, std::int32_t event, const Ascii& entry);
    void changeState(std::int32_t state);
    // Logs the state and status, sends them to the tray programs and resets the status.
    void notify();
    bool openAndConnect(const Ascii& entry);
    bool disconnectClient();
    void disconnectClientOrStep(std::int32_t next);
    void disconnectStep();
    // Clears the retry timer, the retries left and a pending reconnect.
    void forgetRetry();
    // False when the event is not a failure: nothing changed.
    bool failure(std::int32_t clientEvent, bool retry);
    void startRetryTimer();
    void clearRetryTimer();

    VpnStateMachineOwnerInterface& m_owner;
    std::int32_t m_state = VpnConstants::STATE_DISCONNECTED;
    std::int32_t m_status = VpnConstants::STATUS_NONE;
    bool m_reconnectPending = false;
    std::int32_t m_retriesLeft = 0;
    Ascii m_connectionEntry;
    ThreadSafeTimerProxy m_vpnConnectionRetryTimerProxy;
};

// The process's VPN client, or an empty handle where none was created.
TamselVpnClient currentVpnClient();
