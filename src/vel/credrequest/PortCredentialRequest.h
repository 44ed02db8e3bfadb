#pragma once
// The base of the events a port posts for the authentication library's credential requests: what
// every such event carries to the network that answers it.
#include "vel/credrequest/CredentialRequest.h"
#include "vel/multithread/MessageEvent.h"

class PortCredentialRequestImpl : public MessageEventImpl {
public:
    // generation: the port's generation when the event was posted; data: the request's own values.
    PortCredentialRequestImpl(const VelAdapter& adapter, CredentialAnswersInterface* portManager,
                              int generation, const CredentialRequest& request, int data0 = 0, int data1 = 0,
                              int data2 = 0, int data3 = 0)
        : m_adapter(adapter),
          m_portManagerReference(portManager),
          m_portManager(portManager),
          m_generation(generation),
          m_request(request),
          m_data{data0, data1, data2, data3} {}

protected:
    VelAdapter m_adapter;
    Reference m_portManagerReference;  // keeps m_portManager alive
    CredentialAnswersInterface* m_portManager;
    int m_generation;
    CredentialRequest m_request;
    int m_data[4];
};
