#pragma once
// What the VPN state machines ask of engine parts that own them or watch the user: the active
// configuration (whose connected network, active group, policy and VPN setting decide an attempt)
// and the logon state machine's status. The engine holder installs the parts it has; nothing
// installed answers as a service without them: no configuration, no user logged on.
// Engine thread only, like everything that calls these.
#include <atomic>
#include <cstdint>

#include "vel/configuration/Configuration.h"

class VpnEngineInterface {
public:
    // The active configuration, when one is loaded.
    virtual bool activeConfiguration(Configuration& configuration) = 0;
    // The logon state machine's status; VpnConstants::LOGON_STATUS_USER while a user is logged on.
    virtual std::int32_t logonStatus() = 0;

protected:
    ~VpnEngineInterface() = default;
};

class VpnEngine {
public:
    // Null removes it; the installed object outlives its installation.
    static void install(VpnEngineInterface* engine) { holder().store(engine); }

    static bool activeConfiguration(Configuration& configuration);
    static std::int32_t logonStatus();

private:
    static std::atomic<VpnEngineInterface*>& holder() {
        static std::atomic<VpnEngineInterface*> engine{nullptr};
        return engine;
    }
};
