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

void VpnManagerImpl::addVpnForNetwork(const MetaConnection& entry) {
    removeVpnForNetwork(entry);
    logInfo(0, "Adding VPN %s for network: %s, group: %s", entry.connectionEntry().text(),
            entry.networkName().text(), entry.groupName().text());
    m_entries.add(entry.m);
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

void VpnManagerImpl::removeVpnsOnChange(const AsciiVector& validEntries) {
    for (const Reference& element : m_entries.snapshot()) {
        MetaConnection kept = handleOf<MetaConnection>(element.m);
        bool valid = false;
        for (std::int32_t i = 0; i < validEntries.length() && !valid; ++i)
            valid = validEntries.get(i) == kept.connectionEntry();
        if (valid) continue;
        logInfo(0, "Removing VPN %s for network: %s, group: %s  due to change in vpn connection entry",
                kept.connectionEntry().text(), kept.networkName().text(), kept.groupName().text());
        m_entries.remove(kept.m);
    }
}

VpnManager VpnManager::create() {
    VpnManager manager;
    static_cast<Reference&>(manager) = Reference(new VpnManagerImpl, Reference::TAKE_OVER);
    return manager;
}
