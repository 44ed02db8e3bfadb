#pragma once
// What an address attempt tells its adapter. The result comes on the engine event-queue thread;
// the MAC address is asked from the worker thread that runs the attempt, to tag its log lines.
#include <cstdint>

#include "vel/reference/ElementInterface.h"
#include "vel/string/Ascii.h"

class DhcpManager;

class DhcpManagerSubscriberInterface : public ElementInterface {
public:
    // The outcome (DhcpConstants::Result) of the attempt of this manager.
    virtual void dhcpResult(const DhcpManager& manager, std::int32_t result) = 0;
    // Twelve digits, or empty.
    virtual Ascii dhcpMacAddress() = 0;

protected:
    ~DhcpManagerSubscriberInterface() = default;
};
