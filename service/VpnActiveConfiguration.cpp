#include "service/VpnActiveConfiguration.h"

#include "vel/network/LogonStatus.h"

void VpnActiveConfiguration::install(const ActiveConfiguration& active) {
    m_active = active;
    VpnEngine::install(this);
}

void VpnActiveConfiguration::uninstall() {
    if (m_active) VpnEngine::install(nullptr);
    m_active.reset();
}

bool VpnActiveConfiguration::activeConfiguration(Configuration& configuration) {
    if (!m_active || m_active->isNull() || !m_active->exists()) return false;
    configuration = m_active->configuration();
    return true;
}

std::int32_t VpnActiveConfiguration::logonStatus() {
    return LogonStatus::getLogonContext();
}
