#include "vel/configuration/UserFileMerge.h"

#include <algorithm>

#include "runtime/lum/Log.h"
#include "vel/configuration/NetworkNameIndex.h"
#include "vel/reference/HandleOf.h"

void UserFileMerge::addGroup(const NetworkGroup& userGroup) {
    m_items.push_back({userGroup.name(), Network()});
    for (const Reference& network : userGroup.networkVector().snapshot()) {
        m_items.push_back({userGroup.name(), handleOf<Network>(network.m)});
        ++m_networks;
    }
}

int UserFileMerge::stepNetworks() const {
    return std::max(MIN_STEP_NETWORKS, (m_networks + STEPS - 1) / STEPS);
}

bool UserFileMerge::step(const Configuration& active) {
    NetworkGroupMerge merge(active.groups());
    for (int merged = 0; m_next < m_items.size() && merged < stepNetworks(); ++m_next) {
        const Item& item = m_items[m_next];
        if (item.network.isNull()) {
            if (!active.findGroup(item.groupName).exists())
                active.addGroup(NetworkGroup::create(item.groupName));
            continue;
        }
        const Ascii name = item.network.name();
        if (merge.contains(item.groupName, name)) {
            // A client added one of that name between two steps: the file's network gives way.
            logInfo(0, "Cannot add network \"%s\" in group \"%s\". The network already exists.", name.text(),
                    item.groupName.text());
            item.network.impl()->clearReferences();
            continue;
        }
        item.network.setOrigin(NetworkImpl::ORIGIN_USER);
        merge.add(item.groupName, item.network);
        ++merged;
    }
    return !pending();
}

void UserFileMerge::run(const Configuration& active) {
    while (!step(active)) {
    }
}

void UserFileMerge::finish(const Configuration& active) {
    active.vpnManager().setMetaConnections(m_metaConnections);
    active.metaConnections();
}

void UserFileMerge::cancel() {
    // Not in any configuration yet: nothing but this merge holds them.
    for (; m_next < m_items.size(); ++m_next)
        if (!m_items[m_next].network.isNull()) m_items[m_next].network.impl()->clearReferences();
    m_items.clear();
    m_next = 0;
}
