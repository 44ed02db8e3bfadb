#pragma once
// What the VPN state machines ask of the engine: the configuration in force, and whether a user
// is logged on, as the logon state machine the engine holder installs knows it (nobody, when none
// is installed). Installed while the engine holder holds the VPN client.
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
    std::int32_t logonStatus() override;

private:
    std::optional<ActiveConfiguration> m_active;
};
