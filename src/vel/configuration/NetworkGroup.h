#pragma once
// A named group of networks in priority order (first = highest). The one group flagged global
// holds the networks that run whichever group the user works in.
#include <cstdint>

#include "vel/network/Network.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/HandleOf.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class NetworkGroupImpl : public ReferenceImpl {
public:
    explicit NetworkGroupImpl(const Ascii& name) : m_name(name) {}

    // Empties the network vector.
    void clearReferences() override { m_networks.clear(); }

    Ascii m_name;
    // The group's allowUserToSeeScanlist.
    std::uint8_t m_flag = 1;
    ElementVector m_networks = ElementVector::create();
    std::uint8_t m_global = 0;
};

class NetworkGroup : public Reference {
public:
    // How changePriority moves a network.
    static constexpr std::int32_t PRIORITY_NONE = 0;
    static constexpr std::int32_t PRIORITY_BOTTOM = 1;
    static constexpr std::int32_t PRIORITY_TOP = 2;
    static constexpr std::int32_t PRIORITY_INCREMENT = 3;
    static constexpr std::int32_t PRIORITY_DECREMENT = 4;

    NetworkGroup() = default;
    static NetworkGroup create(const Ascii& name);

    Ascii name() const { return impl()->m_name; }
    // Byte-wise equality of the names.
    bool hasSameName(const NetworkGroup& other) const { return name() == other.name(); }
    bool isGlobal() const { return impl()->m_global != 0; }
    void setGlobal(bool global) const { impl()->m_global = global; }
    bool allowUserToSeeScanlist() const { return impl()->m_flag != 0; }
    // The group's one integer option: allowUserToSeeScanlist.
    void setOption(std::int32_t option) const { impl()->m_flag = option != 0; }

    // Appends the network unless that object is already there; ElementVector::ADDED when added.
    int addNetwork(const Network& network) const;
    // Appends a network the caller knows is not there (its name is not), without walking the group.
    void appendNetwork(const Network& network) const { impl()->m_networks.add(network.m); }
    // The network of that name (the last when several have it); an empty handle when none has.
    Network findNetwork(const Ascii& name) const;
    // The first network of that name, or -1.
    std::int32_t indexOfNetwork(const Ascii& name) const;
    void setNetworkVector(const ElementVector& networks) const { impl()->m_networks = networks; }
    ElementVector networkVector() const { return impl()->m_networks; }
    // Takes the network of that name out and puts the given network back: one place towards the
    // front (decrement; nothing when it is first), before the first network a user added (top; at
    // the end when there is none; the network need not be in the group yet), or one place
    // towards the end (any other kind).
    void changePriority(const Network& network, std::int32_t kind) const;

    NetworkGroupImpl* impl() const { return static_cast<NetworkGroupImpl*>(static_cast<ReferenceImpl*>(m)); }
};

// An optional group. Setting a group makes the holder usable at once: the configuration reads
// its active and global groups right after choosing them.
class NetworkGroupProxy : public HandleProxy<NetworkGroup> {
public:
    using HandleProxy<NetworkGroup>::HandleProxy;

    // The group; asserts that the holder was tested.
    NetworkGroup networkGroup() const { return held(); }
    void setNetworkGroup(const NetworkGroup& networkGroup) { hold(networkGroup, "networkGroup.m"); }
};
