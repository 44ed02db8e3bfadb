#pragma once
// A configured network as the matchmaker keeps it: the network and whether it is matched with an
// adapter; the networks of one media type in the order they were handed over.
#include "vel/matchmaker/MatchmakerList.h"
#include "vel/network/Network.h"
#include "vel/reference/HandleOf.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class MatchmakerNetworkImpl : public ReferenceImpl {
public:
    explicit MatchmakerNetworkImpl(const Network& network) : m_network(network) {}

    // Lets the network go with the last reference.
    Network m_network;
    bool m_isMatched = false;
};

class MatchmakerNetwork : public Reference {
public:
    MatchmakerNetwork() = default;
    static MatchmakerNetwork create(const Network& network);

    Network network() const { return impl()->m_network; }
    bool getIsMatched() const { return impl()->m_isMatched; }
    void setIsMatched(bool matched) const { impl()->m_isMatched = matched; }
    bool isAvailable() const { return !getIsMatched(); }

    MatchmakerNetworkImpl* impl() const {
        return static_cast<MatchmakerNetworkImpl*>(static_cast<ReferenceImpl*>(m));
    }
};

class MatchmakerNetworkProxy : public HandleProxy<MatchmakerNetwork> {
public:
    using HandleProxy<MatchmakerNetwork>::HandleProxy;
    // Asserts "m_usable": the finder found one and it was tested.
    MatchmakerNetwork matchmakerNetwork() const { return held(); }
    void setMatchmakerNetwork(const MatchmakerNetwork& network) { hold(network, "matchmakerNetwork.m"); }
};

class MatchmakerNetworkList : public MatchmakerList<MatchmakerNetwork> {
public:
    // The position of the network's last entry, or -1.
    int lastIndexOf(const Network& network) const;
    // The network's first entry; an empty proxy when the network is not in the list.
    MatchmakerNetworkProxy find(const Network& network) const;
};
