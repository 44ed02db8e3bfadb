#pragma once
// What the VPN manager does beyond keeping its entries: whether it can start a tunnel by itself,
// what it does when a network connects or loses its link, the tunnel operations of the tray and
// the logon, and the VPN client's events. The VPN state machines install themselves here through
// the process-wide maker; until then a manager is never capable, attempts nothing and stays
// disconnected.
#include <cstdint>
#include <functional>
#include <memory>

#include "vel/configuration/MetaConnection.h"
#include "vel/reference/Installed.h"
#include "vel/string/Ascii.h"

class IdleVpnBehavior;
class VpnManagerImpl;

class VpnBehaviorInterface {
public:
    // Network events.
    static constexpr std::int32_t NETWORK_CONNECTED = 1;
    static constexpr std::int32_t NETWORK_NOT_CONNECTED = 2;
    // The state reported while nothing runs.
    static constexpr std::int32_t VPN_STATE_DISCONNECTED = 1;

    virtual ~VpnBehaviorInterface() = default;

    virtual bool isAutomatedVpnCapable() = 0;
    virtual void handleNetworkEvent(std::int32_t event) = 0;
    // Drops what the behaviour holds of other objects (timers), to break cycles.
    virtual void clearReferences() = 0;

    // The VPN entry of the connected network, or an empty proxy.
    virtual MetaConnectionProxy attemptVpn() = 0;
    virtual void connectVpn() = 0;
    virtual void autoConnectVpn() = 0;
    virtual void disconnectVpn() = 0;
    virtual void handleUserLogon() = 0;
    // A VpnClientEvent of the VPN client.
    virtual void handleClientEvent(std::int32_t clientEvent) = 0;
    virtual void credentialRequest() = 0;
    // The tray program's answer to a VPN credentials request.
    virtual void sendCredentials(const Ascii& user, const Ascii& password) = 0;
    virtual void resetAndDisconnect() = 0;
    virtual void bannerResponse(bool accepted) = 0;
    // The tunnel's current state (1 disconnected to 4 disconnecting).
    virtual std::int32_t lastVpnStatus() = 0;
};

class IdleVpnBehavior : public VpnBehaviorInterface {
public:
    bool isAutomatedVpnCapable() override { return false; }
    void handleNetworkEvent(std::int32_t) override {}
    void clearReferences() override {}
    MetaConnectionProxy attemptVpn() override { return MetaConnectionProxy(); }
    void connectVpn() override {}
    void autoConnectVpn() override {}
    void disconnectVpn() override {}
    void handleUserLogon() override {}
    void handleClientEvent(std::int32_t) override {}
    void credentialRequest() override {}
    void sendCredentials(const Ascii&, const Ascii&) override {}
    void resetAndDisconnect() override {}
    void bannerResponse(bool) override {}
    std::int32_t lastVpnStatus() override { return VPN_STATE_DISCONNECTED; }
};

// The maker whose behaviour every VPN manager created from now on takes.
using VpnBehaviorMaker = InstalledMaker<VpnBehaviorInterface, VpnManagerImpl, IdleVpnBehavior>;
