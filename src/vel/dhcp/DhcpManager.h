#pragma once
// One address attempt of one adapter: the adapter makes a manager when it needs an address and
// drops it after the result, or when it disconnects, stops being managed or loses its port.
// Engine event-queue thread, but for the MAC address, which the attempt's worker asks.
#include <cstdint>

#include "runtime/multithread/RuntimeMutex.h"
#include "vel/dhcp/DhcpManagerSubscriber.h"
#include "vel/dhcp/DhcpStateMachine.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class DhcpManagerImpl : public ReferenceImpl {
public:
    // Takes a reference to the subscriber and takes over the machine's first reference.
    DhcpManagerImpl(DhcpManagerSubscriberInterface* subscriber, DhcpStateMachineImpl* machine);
    ~DhcpManagerImpl() override;

    // Gives the machine this manager, to which it posts its result.
    void attach();
    void start();
    // Releases the address first, then asks for a new one.
    void restart();
    void stop();
    // The attempt ends without a result; breaks the cycle between the manager and its machine.
    void stopAndDetach();
    // On the engine thread: the subscriber hears the result.
    void deliverResult(std::int32_t result);
    // Asked by the machine from the worker thread.
    Ascii macAddress();

    DhcpStateMachineImpl* machine() const { return m_machine; }

    // Stops and detaches the machine and drops the subscriber.
    void clearReferences() override;

private:
    // The subscriber with a reference of the caller's, or null after clearReferences.
    DhcpManagerSubscriberInterface* subscriber();

    DhcpStateMachineImpl* m_machine;
    // Null after clearReferences; read by the worker too, hence the lock.
    DhcpManagerSubscriberInterface* m_subscriber;
    RuntimeMutex m_subscriberLock;
};

class DhcpManager : public Reference {
public:
    // A manager with the library's attempt for the symbolic name, already attached.
    static DhcpManager create(DhcpManagerSubscriberInterface* subscriber, const Ascii& symbolicName);
    // The same with a machine of the caller's (its first reference moves into the manager).
    static DhcpManager create(DhcpManagerSubscriberInterface* subscriber, DhcpStateMachineImpl* machine);

    DhcpManager() = default;
    // Adds a reference.
    explicit DhcpManager(DhcpManagerImpl* p) : Reference(static_cast<ReferenceImpl*>(p)) {}

    void start() const { impl()->start(); }
    void restart() const { impl()->restart(); }
    void stop() const { impl()->stop(); }
    void stopAndDetach() const { impl()->stopAndDetach(); }
    std::int32_t result() const { return impl()->machine()->result(); }
    std::int32_t state() const { return impl()->machine()->state(); }

    DhcpManagerImpl* impl() const { return static_cast<DhcpManagerImpl*>(static_cast<ReferenceImpl*>(m)); }
};
