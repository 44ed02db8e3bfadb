#include "vel/network/AccessStateMachineImpl.h"

#include <algorithm>
#include <utility>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/network/AccessStateMachineHost.h"
#include "vel/timer/TimerConstants.h"

namespace {

using C = NetworkConstants;
using A = AccessStateMachineImpl;

}  // namespace

// A timer left running would fire into a machine that is gone. The owner is still whole here: the
// machine is its last member and goes first.
AccessStateMachineImpl::~AccessStateMachineImpl() {
    clearReferences();
}

void AccessStateMachineImpl::clearReferences() {
    if (m_durationTimer != 0 || m_associationTimer != 0) clearTimers();
}

bool AccessStateMachineImpl::wired() {
    return m_network->mediaType() == 0;
}

bool AccessStateMachineImpl::handleUserEvent(std::int32_t event, const Reference& adapter) {
    logInfo(2620, "Network %s: AccessStateMachine current state = %s, received userEvent = %s",
            m_network->networkName(), NetworkConstants::textOf(AccessStateToText, m_state),
            NetworkConstants::textOf(NetworkUserEventToText, event));
    std::int32_t previous = m_state;
    const std::uint64_t input = m_announcement.begin();
    onUserEvent(event, adapter);
    // An attempt that starts associating is announced by the association's own lines.
    if (m_state != C::ACCESS_ASSOCIATING) logNewState(input);
    return m_state != previous;
}

void AccessStateMachineImpl::handleAdapterState(std::int32_t adapterState, std::int32_t detail) {
    logInfo(2622, "Network %s: AccessStateMachine current state = %s, received adapterState = %s",
            m_network->networkName(), NetworkConstants::textOf(AccessStateToText, m_state),
            NetworkConstants::textOf(AdapterStateToText, adapterState));
    const std::uint64_t input = m_announcement.begin();
    onAdapterState(adapterState, detail);
    logNewState(input);
}

void AccessStateMachineImpl::logNewState(std::uint64_t input) {
    if (!m_announcement.announces(input, m_state)) return;
    logInfo(2621, "Network %s: AccessStateMachine new state = %s", m_network->networkName(),
            NetworkConstants::textOf(AccessStateToText, m_state));
}

// Rows that connect or re-authenticate enter their state before calling the adapter, whose
// answers arrive at once; rows that leave make their calls first, so the adapter's last states
// still find the machine attached.
void AccessStateMachineImpl::enter(std::int32_t next) {
    if (next == m_state) return;
    m_state = next;
    m_network->accessStateChanged(next);
}

void AccessStateMachineImpl::onUserEvent(std::int32_t event, const Reference& adapter) {
    switch (m_state) {
        case C::ACCESS_STOPPED:
            if (event == C::START) {
                m_network->prepareAccess();
                // The matchmaker may attach an adapter while it takes the network in.
                enter(C::ACCESS_STARTED);
                m_network->announceStarted();
            }
            return;
        case C::ACCESS_STARTED:
            if (event == C::STOP) {
                m_network->announceStopped();
                enter(C::ACCESS_STOPPED);
            } else if (event == C::ATTACH_ADAPTER) {
                if (!LUM_ASSERT_TEXT(adapter.m, "adapterProxy.exists()")) return;
                m_network->attachAdapter(adapter);
                enter(C::ACCESS_ATTACHED);
            }
            return;
        case C::ACCESS_ATTACHED:
            if (event == C::STOP) {
                m_network->detachAndMoveOn();
                m_network->announceStopped();
                enter(C::ACCESS_STOPPED);
            } else if (event == C::DETACH_ADAPTER || event == C::DISCONNECT) {
                m_network->detachAndMoveOn();
                enter(C::ACCESS_STARTED);
            } else if (event == C::CONNECT) {
                startDurationTimer();
                if (!wired()) startAssociationTimer(m_network->associationTimeout());
                enter(wired() ? C::ACCESS_CONNECTING : C::ACCESS_ASSOCIATING);
                m_network->connect();
            }
            return;
        case C::ACCESS_ASSOCIATING:
        case C::ACCESS_CONNECTING:
        case C::ACCESS_AUTHENTICATED:
        case C::ACCESS_CONNECTED:
            if (event == C::STOP || event == C::DISCONNECT) {
                dropAttempt(event == C::STOP);
            } else if (event == C::REAUTH && m_state != C::ACCESS_ASSOCIATING) {
                if (m_state == C::ACCESS_CONNECTED) startDurationTimer();
                enter(C::ACCESS_CONNECTING);
                m_network->reauthenticate();
            }
            return;
        default:
            LUM_ASSERT_TEXT(false, "handleEvent");
            return;
    }
}

void AccessStateMachineImpl::dropAttempt(bool stopping) {
    // A connected attempt has no timer left to clear.
    if (m_state != C::ACCESS_CONNECTED) clearTimers();
    m_network->disconnect();
    m_network->detachAndMoveOn();
    if (stopping) m_network->announceStopped();
    enter(stopping ? C::ACCESS_STOPPED : C::ACCESS_STARTED);
}

void AccessStateMachineImpl::adapterLost(bool unbound) {
    if (m_state == C::ACCESS_ASSOCIATING) {
        clearTimers();
    } else {
        clearDurationTimer();
        m_network->disconnect();
    }
    if (unbound) {
        m_network->detachAndStayNext();
    } else {
        m_network->detachAndMoveOn();
    }
    enter(C::ACCESS_STARTED);
}

void AccessStateMachineImpl::reachConnected() {
    clearDurationTimer();
    enter(C::ACCESS_CONNECTED);
}

void AccessStateMachineImpl::reassociating(bool fromConnected) {
    if (wired()) {
        if (!fromConnected) clearDurationTimer();
        m_network->disconnect();
        m_network->detachAndStayNext();
        enter(C::ACCESS_STARTED);
        return;
    }
    if (fromConnected) startDurationTimer();
    // Reassociating takes longer than a first association, but no longer than a timer can run: a
    // file may give an association timeout up to that longest time.
    startAssociationTimer(std::min(2 * m_network->associationTimeout(), TimerConstants::MAX_TIMEOUT_S));
    enter(C::ACCESS_ASSOCIATING);
}

void AccessStateMachineImpl::onAdapterState(std::int32_t adapterState, std::int32_t detail) {
    if (m_state == C::ACCESS_STOPPED || m_state == C::ACCESS_STARTED) {
        LUM_ASSERT_TEXT(false, "Should not receive adapter state when no adapter is attached");
        return;
    }
    if (m_state < C::ACCESS_STOPPED || m_state > C::ACCESS_AUTHENTICATED) {
        LUM_ASSERT_TEXT(false, "Unexpected Access state");
        return;
    }
    if (adapterState == A::ADAPTER_UNBOUND || adapterState == A::ADAPTER_UNMANAGED) {
        if (m_state == C::ACCESS_ATTACHED) {
            if (adapterState == A::ADAPTER_UNBOUND) {
                m_network->detachAndStayNext();
            } else {
                m_network->detachAndMoveOn();
            }
            enter(C::ACCESS_STARTED);
            return;
        }
        adapterLost(adapterState == A::ADAPTER_UNBOUND);
        return;
    }
    switch (m_state) {
        case C::ACCESS_ATTACHED:
            if (adapterState == A::ADAPTER_LINK_DOWN) {
                // A wired adapter without link cannot carry the network; the network stays first
                // in line for when the cable comes back.
                if (wired()) {
                    m_network->disconnect();
                    m_network->detachAndStayNext();
                    enter(C::ACCESS_STARTED);
                }
            } else if (adapterState != A::ADAPTER_LINK_UP) {
                LUM_ASSERT_TEXT(false, "Unexpected adapter state in the ATTACHED state");
            }
            return;
        case C::ACCESS_ASSOCIATING:
            if (adapterState == A::ADAPTER_ASSOCIATED) {
                clearAssociationTimer();
                enter(C::ACCESS_CONNECTING);
            } else if (adapterState == A::ADAPTER_NONE ||
                       (adapterState >= A::ADAPTER_AUTHENTICATING &&
                        adapterState <= A::ADAPTER_AUTH_FAILED) ||
                       adapterState > A::ADAPTER_COUNTERMEASURES) {
                logInfo(2623, "unexpected state = %d", adapterState);
                LUM_ASSERT_TEXT(false, "Unexpected adapter state in the ASSOCIATING state");
            }
            return;
        case C::ACCESS_CONNECTING:
            switch (adapterState) {
                case A::ADAPTER_ASSOCIATING:
                    reassociating(false);
                    return;
                case A::ADAPTER_AUTHENTICATED:
                    m_network->authenticationSucceeded();
                    enter(C::ACCESS_AUTHENTICATED);
                    return;
                case A::ADAPTER_CONNECTED:
                    reachConnected();
                    return;
                case A::ADAPTER_AUTH_FAILED:
                    m_network->authenticationFailed(detail);
                    return;
                case A::ADAPTER_COUNTERMEASURES:
                    startAssociationTimer(m_network->associationTimeout());
                    enter(C::ACCESS_ASSOCIATING);
                    return;
                case A::ADAPTER_LINK_DOWN:
                case A::ADAPTER_LINK_UP:
                case A::ADAPTER_ASSOCIATED:
                case A::ADAPTER_AUTHENTICATING:
                case A::ADAPTER_NO_IP:
                    return;
                default:
                    LUM_ASSERT_TEXT(false, "Unexpected adapter state in the CONNECTING state");
                    return;
            }
        case C::ACCESS_AUTHENTICATED:
            switch (adapterState) {
                case A::ADAPTER_LINK_DOWN:
                case A::ADAPTER_LINK_UP:
                    return;
                case A::ADAPTER_ASSOCIATING:
                    reassociating(false);
                    return;
                case A::ADAPTER_ASSOCIATED:
                case A::ADAPTER_AUTHENTICATING:
                case A::ADAPTER_NO_IP:
                case A::ADAPTER_COUNTERMEASURES:
                    enter(C::ACCESS_CONNECTING);
                    return;
                case A::ADAPTER_AUTHENTICATED:
                    m_network->authenticationSucceeded();
                    return;
                case A::ADAPTER_CONNECTED:
                    reachConnected();
                    return;
                case A::ADAPTER_AUTH_FAILED:
                    m_network->authenticationFailed(detail);
                    enter(C::ACCESS_CONNECTING);
                    return;
                default:
                    LUM_ASSERT_TEXT(false, "Unexpected adapter state in the CONNECTED state");
                    return;
            }
        case C::ACCESS_CONNECTED:
            switch (adapterState) {
                case A::ADAPTER_LINK_DOWN:
                case A::ADAPTER_LINK_UP:
                    m_network->linkLost();
                    return;
                case A::ADAPTER_ASSOCIATING:
                    reassociating(true);
                    m_network->linkLost();
                    return;
                case A::ADAPTER_ASSOCIATED:
                case A::ADAPTER_NO_IP:
                case A::ADAPTER_COUNTERMEASURES:
                    startDurationTimer();
                    enter(C::ACCESS_CONNECTING);
                    return;
                case A::ADAPTER_AUTH_FAILED:
                    m_network->authenticationFailed(detail);
                    startDurationTimer();
                    enter(C::ACCESS_CONNECTING);
                    return;
                case A::ADAPTER_AUTHENTICATED:
                    m_network->authenticationSucceeded();
                    return;
                case A::ADAPTER_AUTHENTICATING:
                case A::ADAPTER_CONNECTED:
                    return;
                default:
                    LUM_ASSERT_TEXT(false, "Unexpected adapter state in the CONNECTED state");
                    return;
            }
        default:
            return;
    }
}

void AccessStateMachineImpl::startDurationTimer() {
    if (!LUM_ASSERT_TEXT(m_durationTimer == 0, "m_durationTimerProxy.empty()")) return;
    std::int32_t seconds = m_network->connectionTimeout();
    logInfo(2624, "Network %s: Starting the connection duration timer. Timeout = %d seconds",
            m_network->networkName(), seconds);
    m_durationTimer = m_network->startTimer(seconds);
}

void AccessStateMachineImpl::startAssociationTimer(std::int32_t seconds) {
    if (!LUM_ASSERT_TEXT(m_associationTimer == 0, "m_associationTimerProxy.empty()")) return;
    logInfo(2625, "Network %s: Starting the association timer. Timeout = %d seconds",
            m_network->networkName(), seconds);
    m_associationTimer = m_network->startTimer(seconds);
}

void AccessStateMachineImpl::clearDurationTimer() {
    logInfo(2626, "Network %s: Clearing the connection duration timer", m_network->networkName());
    if (m_durationTimer != 0) m_network->cancelTimer(std::exchange(m_durationTimer, 0));
}

void AccessStateMachineImpl::clearAssociationTimer() {
    logInfo(2627, "Network %s: Clearing the association timer", m_network->networkName());
    if (m_associationTimer != 0) m_network->cancelTimer(std::exchange(m_associationTimer, 0));
}

void AccessStateMachineImpl::clearTimers() {
    clearDurationTimer();
    clearAssociationTimer();
}

void AccessStateMachineImpl::timerExpired(std::int64_t timer) {
    if (timer != 0 && timer == m_durationTimer) {
        m_durationTimer = 0;
        logInfo(2628, "Network %s: The connection duration timer expired", m_network->networkName());
    } else if (timer != 0 && timer == m_associationTimer) {
        m_associationTimer = 0;
        logInfo(2629, "Network %s: The association timer expired", m_network->networkName());
    } else {
        LUM_ASSERT_TEXT(false, "Access State Machine: ghost timer expired");
        return;
    }
    // The attempt took too long: the adapter goes back to the matchmaker, which moves on.
    handleUserEvent(C::DISCONNECT);
    handleUserEvent(C::DETACH_ADAPTER);
}
