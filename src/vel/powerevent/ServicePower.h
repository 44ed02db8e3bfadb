#pragma once
// Power events on the engine's side: the control handler maps a broadcast and posts it, and on the
// engine event-queue thread every subscriber of the power singleton hears it (the networks, which
// re-authenticate or reassociate after a resume).
#include <atomic>
#include <cstdint>

#include "vel/multithread/MessageEvent.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class ServicePowerSubscriberInterface : public ElementInterface {
public:
    virtual void powerEvent(std::int32_t event) = 0;

protected:
    ~ServicePowerSubscriberInterface() = default;
};

class ServicePowerImpl : public ReferenceImpl {
public:
    ServicePowerImpl() : m_subscribers(ElementVector::create()) {}
    ~ServicePowerImpl() override;

    // Logs the count, then tells each subscriber in order; the list is read again after every
    // call, so one added or removed meanwhile counts.
    void notifySubscribers(std::int32_t event);
    void addSubscriber(ServicePowerSubscriberInterface* subscriber);
    void removeSubscriber(ServicePowerSubscriberInterface* subscriber);
    void clearReferences() override;

    static std::atomic<ServicePowerImpl*> Singleton;

private:
    ElementVector m_subscribers;
};

class ServicePower : public Reference {
public:
    // Makes the singleton ("Singleton == null"); the handle holds the creator's reference.
    static ServicePower create();
    // Binds to the singleton ("Singleton != null"); empty when there is none.
    ServicePower();

    void notifySubscribers(std::int32_t event) const;
    void addSubscriber(ServicePowerSubscriberInterface* subscriber) const;
    void removeSubscriber(ServicePowerSubscriberInterface* subscriber) const;
    // Empties the subscriber list.
    void clearReferences() const;

private:
    // Takes over the reference p carries; null leaves the handle empty.
    explicit ServicePower(ServicePowerImpl* p);
    ServicePowerImpl* impl() const { return static_cast<ServicePowerImpl*>(static_cast<ReferenceImpl*>(m)); }
};

class PowerEventImpl : public MessageEventImpl {
public:
    explicit PowerEventImpl(std::int32_t event) : m_event(event) {}
    void run() override;

private:
    std::int32_t m_event;
};

// A power event for the caller to post to the engine event queue.
MessageEvent makePowerEvent(std::int32_t event);
