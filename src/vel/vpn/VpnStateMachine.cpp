#include "vel/vpn/VpnStateMachine.h"

#include <iterator>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/BaseException.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"
#include "vel/timer/TimerList.h"
#include "vel/vpn/VpnBehavior.h"
#include "vel/vpn/VpnClientEvent.h"

namespace {

using M = VpnStateMachineImpl;
using C = VpnConstants;
using Row = VpnStateMachineImpl::Row;

constexpr std::int32_t DISCONNECTED = C::STATE_DISCONNECTED;
constexpr std::int32_t CONNECTED = C::STATE_CONNECTED;
constexpr std::int32_t CONNECTING = C::STATE_CONNECTING;
constexpr std::int32_t DISCONNECTING = C::STATE_DISCONNECTING;
constexpr std::int32_t NET_CONNECTED = VpnBehaviorInterface::NETWORK_CONNECTED;
constexpr std::int32_t NET_NOT_CONNECTED = VpnBehaviorInterface::NETWORK_NOT_CONNECTED;

// The next state of a row whose action does not move the machine is its own state.
constexpr Row stay(std::int32_t state, std::int32_t event, M::Action action = M::NOTHING) {
    return {state, event, action, state};
}

// clang-format off
constexpr Row USER_ROWS[] = {
    {DISCONNECTED,  C::USER_CONNECT,    M::OPEN_AND_CONNECT,  CONNECTING},
    stay(DISCONNECTED,  C::USER_DISCONNECT),
    stay(CONNECTED,     C::USER_CONNECT),
    {CONNECTED,     C::USER_DISCONNECT, M::DISCONNECT_CLIENT, DISCONNECTING},
    stay(CONNECTING,    C::USER_CONNECT),
    {CONNECTING,    C::USER_DISCONNECT, M::DISCONNECT_CLIENT, DISCONNECTING},
    stay(DISCONNECTING, C::USER_CONNECT),
    stay(DISCONNECTING, C::USER_DISCONNECT),
};

constexpr Row CLIENT_ROWS[] = {
    // Nothing reaches a disconnected tunnel.
    stay(DISCONNECTED, M::ANY_OTHER),

    stay(CONNECTED, CLIENT_CONNECTED),
    {CONNECTED, CLIENT_DISCONNECTED,  M::DISCONNECT_STEP,              DISCONNECTED},
    {CONNECTED, CLIENT_CONNECTING,    M::START_CONNECTING,             CONNECTING},
    stay(CONNECTED, CLIENT_CRED_REQUEST),
    {CONNECTED, CLIENT_CRED_FAILURE,  M::FAILURE_THEN_DISCONNECT_STEP, DISCONNECTED},
    {CONNECTED, M::ANY_OTHER,         M::FAILURE_THEN_DISCONNECT_STEP, DISCONNECTED},

    {CONNECTING, CLIENT_CONNECTED,    M::TUNNEL_UP,                     CONNECTED},
    stay(CONNECTING, CLIENT_DISCONNECTED),
    stay(CONNECTING, CLIENT_CONNECTING),
    stay(CONNECTING, CLIENT_CRED_REQUEST, M::CREDENTIAL_REQUEST),
    stay(CONNECTING, CLIENT_CRED_FAILURE, M::CREDENTIAL_FAILURE),
    stay(CONNECTING, M::ANY_OTHER,        M::FAILURE_WITH_RETRY_THEN_DISCONNECT_VPN),

    stay(DISCONNECTING, CLIENT_CONNECTED, M::UNEXPECTED_CONNECTED),
    {DISCONNECTING, CLIENT_DISCONNECTED, M::DISCONNECT_STEP,              DISCONNECTED},
    stay(DISCONNECTING, CLIENT_CONNECTING),
    stay(DISCONNECTING, CLIENT_CRED_REQUEST),
    {DISCONNECTING, CLIENT_CRED_FAILURE, M::FAILURE_THEN_DISCONNECT_STEP, DISCONNECTED},
    {DISCONNECTING, M::ANY_OTHER,        M::FAILURE_THEN_DISCONNECT_STEP, DISCONNECTED},
};

constexpr Row NETWORK_ROWS[] = {
    stay(DISCONNECTED, NET_CONNECTED, M::AUTO_CONNECT),
    stay(DISCONNECTED, NET_NOT_CONNECTED, M::FORGET_RETRY),
    stay(CONNECTED, NET_CONNECTED),
    {CONNECTED, NET_NOT_CONNECTED, M::LOST_NETWORK, DISCONNECTING},
    stay(CONNECTING, NET_CONNECTED),
    {CONNECTING, NET_NOT_CONNECTED, M::LOST_NETWORK, DISCONNECTING},
    stay(DISCONNECTING, NET_CONNECTED, M::RECONNECT_WHEN_DISCONNECTED),
    stay(DISCONNECTING, NET_NOT_CONNECTED, M::FORGET_RETRY),
};
// clang-format on

// Channel results that the tray programs hear of, with their status.
struct ChannelStatus {
    int result;
    std::int32_t status;
};
constexpr ChannelStatus CHANNEL_STATUSES[] = {
    {VpnClientConstants::AUTH_DENIED, C::STATUS_SERVICE_IN_USE},
    {VpnClientConstants::IPC_FAILURE, C::STATUS_CANNOT_CONNECT_TO_SERVICE},
    {VpnClientConstants::SERVICE_NOT_RUNNING, C::STATUS_SERVICE_NOT_RUNNING},
    {VpnClientConstants::SERVICE_SHUTTING_DOWN, C::STATUS_SERVICE_SHUTTING_DOWN},
};

// The texts of the log lines; an event the tables do not know has none and is dropped.
bool textOf(const char* (*toText)(std::int32_t), std::int32_t value, const char*& text) {
    try {
        text = toText(value);
        return true;
    } catch (const BaseException& e) {
        e.report();
        return false;
    }
}

}  // namespace

TamselVpnClient currentVpnClient() {
    if (TamselVpnClientImpl::Singleton.load() == nullptr) return TamselVpnClient();
    return TamselVpnClient::Instance();
}

VpnStateMachineImpl::VpnStateMachineImpl(VpnStateMachineOwnerInterface& owner) : m_owner(owner) {}

void VpnStateMachineImpl::clearReferences() {
    clearRetryTimer();
}

const Row* VpnStateMachineImpl::userRows(std::size_t* count) {
    *count = std::size(USER_ROWS);
    return USER_ROWS;
}
const Row* VpnStateMachineImpl::clientRows(std::size_t* count) {
    *count = std::size(CLIENT_ROWS);
    return CLIENT_ROWS;
}
const Row* VpnStateMachineImpl::networkRows(std::size_t* count) {
    *count = std::size(NETWORK_ROWS);
    return NETWORK_ROWS;
}

const Row* VpnStateMachineImpl::rowOf(const Row* rows, std::size_t count, std::int32_t state,
                                      std::int32_t event) {
    const Row* other = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        if (rows[i].state != state) continue;
        if (rows[i].event == event) return &rows[i];
        if (rows[i].event == ANY_OTHER && other == nullptr) other = &rows[i];
    }
    return other;
}

bool VpnStateMachineImpl::failureStatus(std::int32_t clientEvent, std::int32_t& status) {
    if (clientEvent == CLIENT_CRED_FAILURE) {
        status = C::STATUS_USER_AUTH_FAILED;
        return true;
    }
    bool mapped = (clientEvent >= CLIENT_CONNECT_ABORTED && clientEvent <= CLIENT_IKE_NEG_FAILED) ||
                  (clientEvent >= CLIENT_NO_CLIENT_EXTENSIONS && clientEvent <= CLIENT_BY_ADMIN_COMMAND) ||
                  (clientEvent >= CLIENT_SERVER_SHUTDOWN && clientEvent <= CLIENT_GENERAL_FAILURE);
    if (mapped) status = clientEvent - C::CLIENT_EVENT_TO_STATUS;
    return mapped;
}

void VpnStateMachineImpl::handleUserEvent(std::int32_t event, const Ascii& entry) {
    const char* eventText = nullptr;
    if (!textOf(VpnUserEventToText, event, eventText)) return;
    logInfo(0, "VpnStateMachine current state = %s, received userEvent = %s", VpnStateToText(m_state),
            eventText);
    std::size_t count = 0;
    const Row* rows = userRows(&count);
    const Row* row = rowOf(rows, count, m_state, event);
    if (!LUM_ASSERT_TEXT(row != nullptr, "handleEvent")) return;
    act(*row, event, entry);
}

void VpnStateMachineImpl::handleClientEvent(std::int32_t clientEvent) {
    if (clientEvent == CLIENT_NONE) return;
    const char* eventText = nullptr;
    if (!textOf(VpnClientEventToText, clientEvent, eventText)) return;
    logInfo(0, "VpnStateMachine current state = %s, received vpnClientEvent = %s", VpnStateToText(m_state),
            eventText);
    std::size_t count = 0;
    const Row* rows = clientRows(&count);
    const Row* row = rowOf(rows, count, m_state, clientEvent);
    if (!LUM_ASSERT_TEXT(row != nullptr, "handleClientEvent")) return;
    act(*row, clientEvent, Ascii());
}

void VpnStateMachineImpl::handleNetworkEvent(std::int32_t event) {
    const char* eventText = nullptr;
    if (!textOf(VpnNetworkEventToText, event, eventText)) return;
    logInfo(0, "VpnStateMachine current state = %s, received networkEvent = %s", VpnStateToText(m_state),
            eventText);
    std::size_t count = 0;
    const Row* rows = networkRows(&count);
    const Row* row = rowOf(rows, count, m_state, event);
    if (!LUM_ASSERT_TEXT(row != nullptr, "handleNetworkEvent")) return;
    act(*row, event, Ascii());
}

void VpnStateMachineImpl::act(const Row& row, std::int32_t event, const Ascii& entry) {
    switch (row.action) {
        case NOTHING:
            return;
        case OPEN_AND_CONNECT:
            if (openAndConnect(entry)) changeState(row.next);
            return;
        case DISCONNECT_CLIENT:
            disconnectClientOrStep(row.next);
            return;
        case START_CONNECTING:
            changeState(row.next);
            return;
        case TUNNEL_UP:
            changeState(row.next);
            m_retriesLeft = 0;
            return;
        case DISCONNECT_STEP:
            disconnectStep();
            return;
        case FAILURE_THEN_DISCONNECT_STEP:
            if (failure(event, false)) disconnectStep();
            return;
        case FAILURE_WITH_RETRY_THEN_DISCONNECT_VPN:
            if (failure(event, true)) m_owner.disconnectVpn();
            return;
        case CREDENTIAL_REQUEST:
            m_owner.credentialRequest();
            return;
        case CREDENTIAL_FAILURE:
            reportStatus(C::STATUS_USER_AUTH_FAILED);
            m_owner.resetAndDisconnect();
            m_retriesLeft = 0;
            return;
        case UNEXPECTED_CONNECTED:
            logInfo(0, "Unexpected CLIENT_CONNECTED event in DISCONNECTING state");
            return;
        case AUTO_CONNECT:
            m_owner.autoConnectVpn();
            return;
        case LOST_NETWORK:
            logInfo(0, "Disconnecting VPN because we lost network connection");
            forgetRetry();
            disconnectClientOrStep(row.next);
            return;
        case FORGET_RETRY:
            forgetRetry();
            return;
        case RECONNECT_WHEN_DISCONNECTED:
            if (m_owner.connectedEntryAutoConnects()) m_reconnectPending = true;
            return;
    }
    LUM_ASSERT_TEXT(false, "action");
}

void VpnStateMachineImpl::changeState(std::int32_t state) {
    if (state == m_state) return;
    m_state = state;
    notify();
}

void VpnStateMachineImpl::reportStatus(std::int32_t status) {
    m_status = status;
    notify();
}

void VpnStateMachineImpl::notify() {
    const char* statusText = nullptr;
    if (textOf(VpnStatusToText, m_status, statusText)) {
        logInfo(0, "VpnStateMachine new state = %s, status = %s", VpnStateToText(m_state), statusText);
        sendVpnStateEvent(m_state, m_status).send();
    }
    m_status = C::STATUS_NONE;
}

bool VpnStateMachineImpl::openAndConnect(const Ascii& entry) {
    TamselVpnClient client = currentVpnClient();
    if (client.isNull()) return false;
    int opened = client.openChannel();
    if (opened != VpnClientConstants::DONE) {
        // Without the VPN library nothing was attempted; every attempt that goes nowhere tells the
        // trays why, an automatic one too.
        if (opened == VpnClientConstants::API_NOT_INITIALIZED ||
            opened == VpnClientConstants::LIBRARY_NOT_LOADED)
            return false;
        std::int32_t status = C::STATUS_UNKNOWN_ERROR;
        for (const ChannelStatus& known : CHANNEL_STATUSES) {
            if (known.result == opened) status = known.status;
        }
        reportStatus(status);
        return false;
    }
    m_connectionEntry = entry;
    if (client.connect(entry) != VpnClientConstants::DONE) {
        client.closeChannel();
        reportStatus(C::STATUS_UNKNOWN_ERROR);
        return false;
    }
    clearRetryTimer();
    return true;
}

bool VpnStateMachineImpl::disconnectClient() {
    TamselVpnClient client = currentVpnClient();
    return !client.isNull() && client.disconnect() == VpnClientConstants::DONE;
}

void VpnStateMachineImpl::disconnectClientOrStep(std::int32_t next) {
    // A client that cannot disconnect still holds its channel: the disconnect step closes it, or
    // the next attempt would find it open on a service that may have gone since.
    if (disconnectClient()) {
        changeState(next);
    } else {
        disconnectStep();
    }
}

void VpnStateMachineImpl::forgetRetry() {
    clearRetryTimer();
    m_retriesLeft = 0;
    m_reconnectPending = false;
}

void VpnStateMachineImpl::disconnectStep() {
    TamselVpnClient client = currentVpnClient();
    if (!client.isNull()) client.closeChannel();
    changeState(DISCONNECTED);
    if (m_reconnectPending) {
        m_reconnectPending = false;
        m_owner.connectVpn();
    }
}

bool VpnStateMachineImpl::failure(std::int32_t clientEvent, bool retry) {
    std::int32_t status = C::STATUS_NONE;
    if (!failureStatus(clientEvent, status)) {
        logInfo(0, "VpnStateMachine ignored vpnClientEvent = %s", VpnClientEventToText(clientEvent));
        return false;
    }
    m_status = status;
    if (retry && m_retriesLeft > 0) {
        --m_retriesLeft;
        startRetryTimer();
        m_status = C::STATUS_NONE;
    } else {
        notify();
    }
    return true;
}

void VpnStateMachineImpl::startRetryTimer() {
    if (!LUM_ASSERT_TEXT(m_vpnConnectionRetryTimerProxy.empty(), "m_vpnConnectionRetryTimerProxy.empty()"))
        clearRetryTimer();
    logInfo(0, "Starting the VPN connection retry attempt timer");
    TimerList timers = TimerList::Instance();
    if (timers.isNull()) return;  // already asserted
    m_vpnConnectionRetryTimerProxy = timers.startTimer(C::RETRY_TIMER_S, this);
}

void VpnStateMachineImpl::clearRetryTimer() {
    if (m_vpnConnectionRetryTimerProxy.empty()) return;
    logInfo(0, "Clearing the VPN connection retry attempt timer");
    ThreadSafeTimer timer = m_vpnConnectionRetryTimerProxy.threadSafeTimer();
    m_vpnConnectionRetryTimerProxy.clear();
    TimerList timers = TimerList::Instance();
    if (!timers.isNull()) timers.cancelTimer(timer);
}

void VpnStateMachineImpl::timerExpired(const ThreadSafeTimer& timer) {
    bool ours = !m_vpnConnectionRetryTimerProxy.empty() &&
                m_vpnConnectionRetryTimerProxy.threadSafeTimer().m == timer.m;
    if (!LUM_ASSERT_TEXT(ours, "Invalid Timer expired")) return;
    logInfo(0, "VPN connection retry attempt timer expired");
    clearRetryTimer();
    handleUserEvent(C::USER_CONNECT, m_connectionEntry);
}
