#include "vel/configuration/NetworkNameIndex.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/reference/HandleOf.h"

namespace {

std::string_view keyOf(const Ascii& name) {
    return {name.text(), static_cast<size_t>(name.length())};
}

}  // namespace

NetworkNameIndex::NetworkNameIndex(const NetworkGroup& group) {
    std::vector<Reference> networks = group.networkVector().snapshot();
    m_networks.reserve(networks.size());
    for (const Reference& element : networks) m_networks[keyOf(handleOf<Network>(element.m).name())] = element.m;
}

Network NetworkNameIndex::find(const Ascii& name) const {
    auto found = m_networks.find(keyOf(name));
    return found == m_networks.end() ? Network() : handleOf<Network>(found->second);
}

bool NetworkNameIndex::contains(const Ascii& name) const {
    return m_networks.count(keyOf(name)) != 0;
}

void NetworkNameIndex::add(const Network& network) {
    m_networks[keyOf(network.name())] = network.m;
}

void NetworkGroupMerge::catchUp() {
    const int length = m_groups.length();
    for (; m_indexed < length; ++m_indexed) {
        NetworkGroup group = handleOf<NetworkGroup>(m_groups.get(m_indexed));
        m_byName[keyOf(group.name())].push_back({group, std::nullopt});
    }
}

std::vector<NetworkGroupMerge::Indexed>* NetworkGroupMerge::groupsNamed(const Ascii& groupName) {
    catchUp();
    auto found = m_byName.find(keyOf(groupName));
    if (found == m_byName.end()) return nullptr;
    for (Indexed& entry : found->second)
        if (!entry.names) entry.names.emplace(entry.group);
    return &found->second;
}

bool NetworkGroupMerge::contains(const Ascii& groupName, const Ascii& name) {
    std::vector<Indexed>* groups = groupsNamed(groupName);
    if (groups == nullptr) return false;
    for (const Indexed& entry : *groups)
        if (entry.names->contains(name)) return true;
    return false;
}

void NetworkGroupMerge::add(const Ascii& groupName, const Network& network) {
    std::vector<Indexed>* groups = groupsNamed(groupName);
    if (groups == nullptr) {
        NetworkGroup group = NetworkGroup::create(groupName);
        group.appendNetwork(network);
        m_groups.add(group.m);
        return;
    }
    const Ascii name = network.name();
    for (Indexed& entry : *groups) {
        if (entry.names->contains(name)) {
            logError(0,
                     "Failed to add %s network to group %s.  A network with the same name already exists in "
                     "that group.",
                     name.text(), groupName.text());
            LUM_ASSERT_TEXT(false, "Trying to add duplicate network");
            entry.group.addNetwork(network);
        } else {
            // A name the group lacks cannot belong to a network object it holds.
            entry.group.appendNetwork(network);
        }
        entry.names->add(network);
    }
}
