#include "vel/vpn/VpnEngine.h"

bool VpnEngine::activeConfiguration(Configuration& configuration) {
    VpnEngineInterface* engine = holder().load();
    return engine != nullptr && engine->activeConfiguration(configuration);
}

std::int32_t VpnEngine::logonStatus() {
    VpnEngineInterface* engine = holder().load();
    return engine != nullptr ? engine->logonStatus() : 0;
}
