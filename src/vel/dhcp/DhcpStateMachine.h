#pragma once
// One address attempt as a small state machine under its own lock: the engine starts, restarts
// and stops it; a worker thread runs the blocking library calls and reports success, failure or
// that it noticed a pending stop or restart. The outcome goes back to the manager on the engine
// event queue.
#include <atomic>
#include <cstdint>

#include "runtime/multithread/RuntimeMutex.h"
#include "vel/dhcp/DhcpConstants.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class DhcpManagerImpl;

class DhcpStateMachineImpl : public ReferenceImpl {
public:
    explicit DhcpStateMachineImpl(const Ascii& symbolicName);
    // Asserts that no manager is attached any more.
    ~DhcpStateMachineImpl() override;

    // One transition under the lock.
    void handleEvent(std::int32_t event);

    // Takes a reference to the manager; a second attach is a broken invariant.
    void attach(DhcpManagerImpl* manager);
    // Marks the attempt stopped and drops the manager, so that the worker ends without a result.
    void stopAndDetach();
    void setReleaseFirst() { m_releaseFirst = true; }

    // The worker's part: an optional release, then attempt steps until there is a result, which
    // is posted to the engine unless the attempt was stopped and detached meanwhile.
    void runAttempt(bool releaseFirst);

    // The port's address from the library as "%d.%d.%d.%d"; "0.0.0.0" when the library fails, its
    // code in *error.
    static Ascii ipAddressOf(const Ascii& symbolicName, int* error);

    // Library operations (the adapter's symbolic name is the port).
    virtual Ascii ipAddress();
    // Asks up to count times, while the attempt runs, whether the adapter has its address.
    virtual bool isConnected(std::int32_t count);
    virtual bool renewAddress();
    virtual bool releaseAddress();
    virtual bool reconnect();
    virtual bool isDhcpEnabled();
    // One series of reconnects; ends with handleEvent.
    virtual void attempt() = 0;

    std::int32_t result() const { return m_result.load(); }
    std::int32_t state() const { return m_state.load(); }
    bool pending() const { return m_pending.load(); }
    bool stopped() const { return m_stopped.load(); }
    bool releaseFirst() const { return m_releaseFirst; }
    const Ascii& symbolicName() const { return m_symbolicName; }

protected:
    // The MAC address of the attached adapter; false when detached.
    bool macAddressOfManager(Ascii* mac);

private:
    struct AddressRequest;
    bool request(const AddressRequest& request);
    void attemptStep();
    void postAttempt(bool releaseFirst);
    // Posts the result to the attached manager, unless the attempt was stopped and detached.
    void postResult();

    std::atomic<std::int32_t> m_result{DhcpConstants::RESULT_NONE};
    std::atomic<std::int32_t> m_state{DhcpConstants::STATE_IDLE};
    RuntimeMutex m_lock;
    std::atomic<bool> m_pending{false};
    Ascii m_symbolicName;
    // Holds a reference while attached; written only under the lock.
    DhcpManagerImpl* m_manager = nullptr;
    std::atomic<bool> m_stopped{false};
    bool m_releaseFirst = false;
};
