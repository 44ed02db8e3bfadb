#pragma once
// Runs one address attempt on a worker thread.
#include "vel/dhcp/DhcpStateMachine.h"
#include "vel/multithread/MessageEvent.h"

class DhcpIpConnectivityEventImpl : public MessageEventImpl {
public:
    // Takes a reference to the machine.
    DhcpIpConnectivityEventImpl(DhcpStateMachineImpl* machine, bool releaseFirst);
    ~DhcpIpConnectivityEventImpl() override;

    void run() override;

private:
    DhcpStateMachineImpl* m_machine;
    bool m_releaseFirst;
};
