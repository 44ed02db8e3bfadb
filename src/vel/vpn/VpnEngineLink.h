#pragma once
// Where the VPN client's events and the tray's VPN questions meet the engine: client events go to
// the VPN manager of the active configuration, a gateway's banner goes to the tray programs as a
// banner request that later clients are asked too, and the last VPN state is the active VPN
// manager's. The engine holder installs it while the VPN client lives. Engine thread only.
#include <cstdint>

#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/vpn/VpnEventReceiver.h"

class VpnEngineLink : public VpnEventReceiverInterface, public ConnApiVpnInterface {
public:
    // Installs it as the client's event receiver and the connection API's VPN.
    void install();
    void uninstall();

    void handleClientEvent(std::int32_t clientEvent) override;
    void handleBanner(const Ascii& banner) override;
    std::int32_t lastVpnState() override;
    // The VPN client's profiles; none while there is no VPN client.
    AsciiVector vpnProfiles() override;
};
