#pragma once
// What the VPN state machines ask of the engine: the configuration in force, and whether a user
// is logged on. The logon state machine is not part of the service yet, so no user is: the VPN
// starts nothing by itself until it is. Installed while the engine holder holds the VPN client.
#include <optional>

#include "vel/configuration/ActiveConfiguration.h"
#include "vel/vpn/VpnEngine.h"

class VpnActiveConfiguration : public VpnEngineInterface {
public:
    VpnActiveConfiguration() = default;
    ~VpnActiveConfiguration() { uninstall(); }
    VpnActiveConfiguration(const VpnActiveConfiguration&) = delete;
    VpnActiveConfiguration& operator=(const VpnActiveConfiguration&) = delete;

    void install(const ActiveConfiguration& active);
    // Removes it and lets the active configuration go.
    void uninstall();

    bool activeConfiguration(Configuration& configuration) override;
    std::int32_t logonStatus() override { return 0; }

private:
    std::optional<ActiveConfiguration> m_active;
};
