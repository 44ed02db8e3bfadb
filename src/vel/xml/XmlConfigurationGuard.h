#pragma once

#include "vel/configuration/Configuration.h"

// Clears a configuration that a reader gives up on, unless it is kept: its networks and VPN
// machines may hold what holds it.
class XmlConfigurationGuard {
public:
    explicit XmlConfigurationGuard(const Configuration& configuration) : m_configuration(configuration) {}
    ~XmlConfigurationGuard() {
        if (!m_kept) m_configuration.impl()->clearReferences();
    }
    XmlConfigurationGuard(const XmlConfigurationGuard&) = delete;
    XmlConfigurationGuard& operator=(const XmlConfigurationGuard&) = delete;

    void keep() { m_kept = true; }

private:
    Configuration m_configuration;
    bool m_kept = false;
};
