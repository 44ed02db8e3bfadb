#include "vel/vpn/VpnManager.h"

#include "runtime/lum/Log.h"
#include "vel/reference/HandleOf.h"

VpnManagerImpl::VpnManagerImpl() : m_behavior(VpnBehaviorMaker::make(*this)) {}

VpnManagerImpl::~VpnManagerImpl() = default;

void VpnManagerImpl::clearReferences() {
    m_behavior->clearReferences();
}

void VpnManagerImpl::setMetaConnections(ElementVector entries) {
    // A list of its own, so that removing an entry leaves the reader's list as it was.
    ElementVector copy = ElementVector::create();
    for (const Reference& entry : entries.snapshot()) copy.add(entry.m);
    m_entries = copy;
}

void VpnManagerImpl::removeVpnForNetwork(const MetaConnection& entry) {
    for (const Reference& element : m_entries.snapshot()) {
        MetaConnection kept = handleOf<MetaConnection>(element.m);
        if (!kept.isForSameNetwork(entry)) continue;
        logInfo(0, "Removing VPN %s for network: %s, group: %s", kept.connectionEntry().text(),
                kept.networkName().text(), kept.groupName().text());
        m_entries.remove(kept.m);
        return;
    }
}

VpnManager VpnManager::create() {
    VpnManager manager;
    static_cast<Reference&>(manager) = Reference(new VpnManagerImpl, Reference::TAKE_OVER);
    return manager;
}
