#pragma once
// The events a port's notifications become on the engine's queue. Each holds its port manager and
// tells the adapter through the manager's listener when it runs.
#include <cstdint>

#include "vel/location/LocationResponse.h"
#include "vel/multithread/MessageEvent.h"
#include "vel/port/PortManagerProxy.h"

// Posts an event of the port layer to the engine's queue, which must exist.
void postEvent(const MessageEvent& event);

class PortEventImpl : public MessageEventImpl {
protected:
    explicit PortEventImpl(PortManagerImpl* portManager) : m_portManager(portManager) {}
    PortManagerImpl* manager() const { return m_portManager.get(); }

    PortManagerProxy m_portManager;
};

class PortUpStatusEventImpl : public PortEventImpl {
public:
    PortUpStatusEventImpl(PortManagerImpl* portManager, std::int32_t linkMode, std::int32_t value)
        : PortEventImpl(portManager), m_linkMode(linkMode), m_value(value) {}
    void run() override;

private:
    std::int32_t m_linkMode;
    std::int32_t m_value;
};

class PortDownStatusEventImpl : public PortEventImpl {
public:
    explicit PortDownStatusEventImpl(PortManagerImpl* portManager) : PortEventImpl(portManager) {}
    void run() override;
};

class PortStateChangeEvent : public PortEventImpl {
public:
    PortStateChangeEvent(PortManagerImpl* portManager, std::int32_t state, std::int32_t status)
        : PortEventImpl(portManager), m_state(state), m_status(status) {}
    void run() override;

private:
    std::int32_t m_state;
    std::int32_t m_status;
};

class PortLocationNoticeEventImpl : public PortEventImpl {
public:
    PortLocationNoticeEventImpl(PortManagerImpl* portManager, const LocationResponse& response)
        : PortEventImpl(portManager), m_response(response) {}
    void run() override;

private:
    LocationResponse m_response;
};

class PortLocationErrorEventImpl : public PortEventImpl {
public:
    PortLocationErrorEventImpl(PortManagerImpl* portManager, std::int32_t requestNumber,
                               std::int32_t errorCode)
        : PortEventImpl(portManager), m_requestNumber(requestNumber), m_errorCode(errorCode) {}
    void run() override;

private:
    std::int32_t m_requestNumber;
    std::int32_t m_errorCode;
};

class EapStatusEvent : public PortEventImpl {
public:
    static constexpr std::int32_t EAP_STATUS_INVALID_PAC = 318;
    static constexpr std::int32_t EAP_STATUS_CLEARTEXT_FAILURE = 402;

    EapStatusEvent(PortManagerImpl* portManager, std::int32_t status)
        : PortEventImpl(portManager), m_status(status) {}
    void run() override;

private:
    std::int32_t m_status;
};

// The creators of the events that log their making.
class MessageEventFactory {
public:
    static MessageEvent CreatePortUpStatusEvent(PortManagerImpl* portManager, std::int32_t linkMode,
                                                std::int32_t value);
    static MessageEvent CreatePortDownStatusEvent(PortManagerImpl* portManager);
    static MessageEvent CreatePortStateChangeEvent(PortManagerImpl* portManager, std::int32_t state,
                                                   std::int32_t status);
    static MessageEvent CreateLocationNoticeEvent(PortManagerImpl* portManager,
                                                  const LocationResponse& response);
    static MessageEvent CreateLocationErrorEvent(PortManagerImpl* portManager, std::int32_t requestNumber,
                                                 std::int32_t errorCode);
    static MessageEvent CreateEapStatusEvent(PortManagerImpl* portManager, std::int32_t status);
};
