#include "vel/matchmaker/MatchmakerNetwork.h"

MatchmakerNetwork MatchmakerNetwork::create(const Network& network) {
    MatchmakerNetwork created;
    static_cast<Reference&>(created) = Reference(new MatchmakerNetworkImpl(network), Reference::TAKE_OVER);
    return created;
}

int MatchmakerNetworkList::lastIndexOf(const Network& network) const {
    for (int i = length() - 1; i >= 0; --i)
        if (at(i).network() == network) return i;
    return -1;
}

MatchmakerNetworkProxy MatchmakerNetworkList::find(const Network& network) const {
    MatchmakerNetworkProxy proxy;
    for (const MatchmakerNetwork& entry : entries()) {
        if (entry.network() == network) {
            proxy.setMatchmakerNetwork(entry);
            break;
        }
    }
    return proxy;
}
