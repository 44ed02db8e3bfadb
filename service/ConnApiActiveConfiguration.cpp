#include "service/ConnApiActiveConfiguration.h"

void ConnApiActiveConfiguration::install(const ActiveConfiguration& active) {
    m_active = active;
    ConnApiSeam<ConnApiConfigurationInterface>::install(this);
}

void ConnApiActiveConfiguration::uninstall() {
    if (ConnApiSeam<ConnApiConfigurationInterface>::installed() == this)
        ConnApiSeam<ConnApiConfigurationInterface>::install(nullptr);
    m_active.reset();
}

bool ConnApiActiveConfiguration::exists() {
    return m_active && !m_active->isNull() && m_active->exists();
}

bool ConnApiActiveConfiguration::activeGroupName(Ascii& name) {
    if (!exists()) return false;
    NetworkGroupProxy group = m_active->configuration().activeGroup();
    if (!group.exists()) return false;
    name = group.networkGroup().name();
    return true;
}

Configuration ConnApiActiveConfiguration::configuration() {
    return exists() ? m_active->configuration() : Configuration();
}

void ConnApiActiveConfiguration::writeUserConfiguration() {
    if (exists()) m_active->writeUserConfiguration();
}

void ConnApiActiveConfiguration::writeInternalConfiguration() {
    if (exists()) m_active->writeInternalConfiguration();
}
