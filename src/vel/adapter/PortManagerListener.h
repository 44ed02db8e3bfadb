#pragma once
// How the port layer tells an adapter what its port reported: the adapter implements the
// interface, and the port manager reaches it through the value class.
#include <cstdint>

#include "vel/location/LocationResponse.h"
#include "vel/reference/ElementInterface.h"
#include "vel/reference/Reference.h"

class PortManagerListenerInterface : public ElementInterface {
public:
    // An EAP status the adapter acts on: 1 an invalid PAC, 2 a clear-text failure.
    virtual void event(std::int32_t event) = 0;
    // An adapter state-machine event with its value.
    virtual void stateEvent(std::int32_t adapterEvent, std::int32_t value) = 0;
    virtual void linkUpStatusEvent(std::int32_t value) = 0;
    virtual void linkDownStatusEvent() = 0;
    virtual void unboundStatusEvent() = 0;
    virtual void locationNoticeEvent(const LocationResponse& response) = 0;
    virtual void locationErrorEvent(std::int32_t requestNumber, std::int32_t errorCode) = 0;

protected:
    ~PortManagerListenerInterface() = default;
};

class PortManagerListener {
public:
    PortManagerListener() = default;
    // Adds a reference (listener may be null: then every operation does nothing).
    explicit PortManagerListener(PortManagerListenerInterface* listener)
        : m_listener(listener, Reference::NULLABLE) {}

    void event(std::int32_t event) const {
        if (auto* p = listener()) p->event(event);
    }
    void stateEvent(std::int32_t adapterEvent, std::int32_t value) const {
        if (auto* p = listener()) p->stateEvent(adapterEvent, value);
    }
    void linkUpStatusEvent(std::int32_t value) const {
        if (auto* p = listener()) p->linkUpStatusEvent(value);
    }
    void linkDownStatusEvent() const {
        if (auto* p = listener()) p->linkDownStatusEvent();
    }
    void unboundStatusEvent() const {
        if (auto* p = listener()) p->unboundStatusEvent();
    }
    void locationNoticeEvent(const LocationResponse& response) const {
        if (auto* p = listener()) p->locationNoticeEvent(response);
    }
    void locationErrorEvent(std::int32_t requestNumber, std::int32_t errorCode) const {
        if (auto* p = listener()) p->locationErrorEvent(requestNumber, errorCode);
    }

private:
    PortManagerListenerInterface* listener() const {
        return static_cast<PortManagerListenerInterface*>(m_listener.m);
    }

    Reference m_listener;
};
