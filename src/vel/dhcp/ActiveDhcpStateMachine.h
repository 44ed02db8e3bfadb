#pragma once
#include "vel/dhcp/DhcpStateMachine.h"

// The attempt that asks the library for an address: a static address counts as obtained at once,
// otherwise up to five reconnects, each of which gives way to a pending stop or restart.
class ActiveDhcpStateMachineImpl : public DhcpStateMachineImpl {
public:
    explicit ActiveDhcpStateMachineImpl(const Ascii& symbolicName) : DhcpStateMachineImpl(symbolicName) {}

    void attempt() override;
};
