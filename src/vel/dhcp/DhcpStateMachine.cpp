#include "vel/dhcp/DhcpStateMachine.h"

#include <cstdarg>

#include "platform/qxauth/qxAuth.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/dhcp/DhcpIpConnectivityEvent.h"
#include "vel/dhcp/DhcpManager.h"
#include "vel/dhcp/DhcpManagerResultEvent.h"
#include "vel/multithread/EventQueue.h"
#include "vel/multithread/WorkerQueue.h"
#include "vel/string/TagMacAddr.h"

namespace {

using C = DhcpConstants;

// What one event does in one state. A row with no next state changes nothing.
struct DhcpTransition {
    std::int32_t next;
    std::int32_t result;  // 0: unchanged
    bool pending;
    bool postAttempt;
};

constexpr DhcpTransition NOTHING = {0, 0, false, false};
constexpr DhcpTransition to(std::int32_t next, bool pending) {
    return {next, 0, pending, false};
}
constexpr DhcpTransition finish(std::int32_t result) {
    return {C::STATE_FINISHED, result, false, false};
}

constexpr DhcpTransition TABLE[5][5] = {
    // idle: start, stop, succeeded, failed, pending noticed
    {{C::STATE_RUNNING, 0, false, true}, finish(C::RESULT_STOPPED), NOTHING, NOTHING, NOTHING},
    // running
    {to(C::STATE_RESTART_PENDING, true), to(C::STATE_STOP_PENDING, true), finish(C::RESULT_ADDRESS),
     finish(C::RESULT_FAILED), NOTHING},
    // running with restart pending
    {NOTHING, to(C::STATE_STOP_PENDING, true), NOTHING, NOTHING, to(C::STATE_RUNNING, false)},
    // running with stop pending
    {to(C::STATE_RESTART_PENDING, true), NOTHING, NOTHING, NOTHING, finish(C::RESULT_STOPPED)},
    // finished: a new attempt needs a new manager
    {NOTHING, NOTHING, NOTHING, NOTHING, NOTHING},
};

void logErrorLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logErrorLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    logVMasked(LogConstants::LEVEL_ERROR, "ERR", nullptr, format, args);
    va_end(args);
}

}  // namespace

DhcpStateMachineImpl::DhcpStateMachineImpl(const Ascii& symbolicName) : m_symbolicName(symbolicName) {
    m_lock.open();
}

DhcpStateMachineImpl::~DhcpStateMachineImpl() {
    LUM_ASSERT_TEXT(m_manager == nullptr, "!m_dhcpManagerProxy.exists()");
    m_lock.close();
}

void DhcpStateMachineImpl::handleEvent(std::int32_t event) {
    RuntimeMutexLock lock(m_lock);
    std::int32_t state = m_state.load();
    logDebug("dhcp - %s handleEvent() called - state %d event %d", m_symbolicName.text(), state, event);
    if (!LUM_ASSERT_TEXT(state >= C::STATE_IDLE && state <= C::STATE_FINISHED, "handleEvent")) return;
    if (!LUM_ASSERT_TEXT(event >= C::EVENT_START && event <= C::EVENT_PENDING_NOTICED, "handleEvent")) return;
    const DhcpTransition& row = TABLE[state - 1][event - 1];
    if (row.next == 0) return;
    if (row.result != 0) m_result = row.result;
    m_state = row.next;
    m_pending = row.pending;
    if (row.postAttempt) {
        LUM_ASSERT_TEXT(m_manager != nullptr, "m_dhcpManagerProxy.exists()");
        postAttempt(m_releaseFirst);
        m_releaseFirst = false;
    }
}

void DhcpStateMachineImpl::attach(DhcpManagerImpl* manager) {
    RuntimeMutexLock lock(m_lock);
    if (!LUM_ASSERT_TEXT(m_manager == nullptr, "!m_dhcpManagerProxy.exists()")) return;
    manager->addRef();
    m_manager = manager;
}

void DhcpStateMachineImpl::stopAndDetach() {
    DhcpManagerImpl* manager = nullptr;
    {
        // Under the lock, so that a worker about to post its result either sees the stop or has
        // taken its own reference to the manager before it goes.
        RuntimeMutexLock lock(m_lock);
        m_stopped = true;
        m_pending = true;
        manager = m_manager;
        m_manager = nullptr;
    }
    ElementInterface::releaseIfSet(manager);
}

void DhcpStateMachineImpl::postAttempt(bool releaseFirst) {
    WorkerQueue queue = WorkerQueue::Instance();
    if (queue.isNull()) return;  // already asserted
    queue.post(MessageEvent(new DhcpIpConnectivityEventImpl(this, releaseFirst)));
}

void DhcpStateMachineImpl::runAttempt(bool releaseFirst) {
    if (releaseFirst) releaseAddress();
    do {
        if (m_stopped.load()) return;
        attemptStep();
    } while (m_result.load() == C::RESULT_NONE);
    postResult();
}

void DhcpStateMachineImpl::postResult() {
    // Decided and posted under the lock: once stopAndDetach has returned, no result of this
    // attempt can be on its way any more.
    RuntimeMutexLock lock(m_lock);
    if (m_stopped.load() || m_manager == nullptr) return;
    DhcpManagerResultEventImpl::post(m_manager, m_result.load());
}

void DhcpStateMachineImpl::attemptStep() {
    if (m_pending.load())
        handleEvent(C::EVENT_PENDING_NOTICED);
    else
        attempt();
    if (m_result.load() != C::RESULT_ADDRESS) return;
    Ascii mac;
    if (!macAddressOfManager(&mac)) return;
    Ascii address = ipAddress();
    TagMacAddr tag(mac, 78);
    logInfoTagged(Tags(tag), 78, "%s: IP Address Received: %s", m_symbolicName.text(), address.text());
}

bool DhcpStateMachineImpl::macAddressOfManager(Ascii* mac) {
    DhcpManagerImpl* manager = nullptr;
    {
        RuntimeMutexLock lock(m_lock);
        if (m_manager == nullptr) return false;
        manager = m_manager;
        manager->addRef();
    }
    *mac = manager->macAddress();
    manager->release();
    return true;
}

Ascii DhcpStateMachineImpl::ipAddressOf(const Ascii& symbolicName, int* error) {
    QX_IP_CONFIG config = {};
    *error = qxIpGetConfig(symbolicName.text(), &config);
    if (*error != QX_OK) return Ascii("0.0.0.0");
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", config.address[0], config.address[1], config.address[2],
                  config.address[3]);
    return Ascii(text);
}

Ascii DhcpStateMachineImpl::ipAddress() {
    int error = QX_OK;
    Ascii address = ipAddressOf(m_symbolicName, &error);
    if (error != QX_OK)
        logDebug("dhcp - %s unable to get IP address - %d{error}", m_symbolicName.text(), error);
    return address;
}

bool DhcpStateMachineImpl::isConnected(std::int32_t count) {
    logDebug("dhcp - %s connected - count %d", m_symbolicName.text(), count);
    for (std::int32_t i = 0; i < count && m_state.load() == C::STATE_RUNNING; ++i) {
        int connected = 0;
        int error = qxIpIsConnected(m_symbolicName.text(), &connected);
        if (error != QX_OK) {
            logErrorLine("DHCP qxIpIsConnected failure => %d{error}", error);
            continue;
        }
        if (connected != 0) return true;
    }
    return false;
}

bool DhcpStateMachineImpl::isDhcpEnabled() {
    int enabled = 0;
    int error = qxIpDhcpIsEnabled(m_symbolicName.text(), &enabled);
    if (error != QX_OK) {
        logErrorLine("DHCP ipDhcpIsEnabled failure => %d(error)", error);
        return false;
    }
    return enabled != 0;
}

// One of the library's address requests with its message and log lines; reconnect, renew and
// release go the same way.
struct DhcpStateMachineImpl::AddressRequest {
    int (*send)(const char* portName);
    std::int32_t message;
    const char* sending;  // the tagged message, with the symbolic name
    const char* failed;   // the error line, with the library's code
    const char* done;     // the debug line, with the symbolic name and the address
};

bool DhcpStateMachineImpl::request(const AddressRequest& request) {
    Ascii mac;
    if (macAddressOfManager(&mac)) {
        TagMacAddr tag(mac, request.message);
        logInfoTagged(Tags(tag), request.message, request.sending, m_symbolicName.text());
    }
    int error = request.send(m_symbolicName.text());
    if (error != QX_OK) {
        logErrorLine(request.failed, error);
        return false;
    }
    logDebug(request.done, m_symbolicName.text(), ipAddress().text());
    return true;
}

bool DhcpStateMachineImpl::reconnect() {
    return request({qxIpReconnect, 546, "%s: DHCP: Sending DHCP reconnect.",
                    "DHCP ipReconnect failure => %d(error)", "dhcp - %s ipReconnect IP address - %s"});
}

bool DhcpStateMachineImpl::renewAddress() {
    if (!isDhcpEnabled()) {
        logDebug("DHCP is not enabled, DHCP renew will do nothing");
        return true;
    }
    return request({qxIpDhcpRenew, 542, "%s: DHCP: Sending DHCP renew.", "DHCP renew failure => %d{error}",
                    "dhcp - %s renew IP address - %s"});
}

bool DhcpStateMachineImpl::releaseAddress() {
    if (!isDhcpEnabled()) {
        logDebug("DHCP is not enabled, DHCP release will do nothing");
        return true;
    }
    return request({qxIpDhcpRelease, 541, "%s: DHCP: Sending DHCP release.",
                    "DHCP release failure => %d{error}", "dhcp - %s release IP address - %s"});
}
