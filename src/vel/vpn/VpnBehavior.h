#pragma once
// What the VPN manager does beyond keeping its entries: whether it can start a tunnel by itself,
// and what it does when a network connects or loses its link. The VPN state machines install
// themselves here through the process-wide maker; until then a manager is never capable.
#include <cstdint>
#include <functional>
#include <memory>

#include "vel/reference/Installed.h"

class IdleVpnBehavior;
class VpnManagerImpl;

class VpnBehaviorInterface {
public:
    // Network events.
    static constexpr std::int32_t NETWORK_CONNECTED = 1;
    static constexpr std::int32_t NETWORK_NOT_CONNECTED = 2;

    virtual ~VpnBehaviorInterface() = default;

    virtual bool isAutomatedVpnCapable() = 0;
    virtual void handleNetworkEvent(std::int32_t event) = 0;
    // Drops what the behaviour holds of other objects (timers), to break cycles.
    virtual void clearReferences() = 0;
};

class IdleVpnBehavior : public VpnBehaviorInterface {
public:
    bool isAutomatedVpnCapable() override { return false; }
    void handleNetworkEvent(std::int32_t) override {}
    void clearReferences() override {}
};

// The maker whose behaviour every VPN manager created from now on takes.
using VpnBehaviorMaker = InstalledMaker<VpnBehaviorInterface, VpnManagerImpl, IdleVpnBehavior>;
