#include "vel/configuration/NetworkGroup.h"

#include <algorithm>

#include "runtime/lum/Assert.h"
#include "vel/network/Network.h"
#include "vel/reference/HandleOf.h"

NetworkGroup NetworkGroup::create(const Ascii& name) {
    NetworkGroup group;
    static_cast<Reference&>(group) = Reference(new NetworkGroupImpl(name), Reference::TAKE_OVER);
    return group;
}

int NetworkGroup::addNetwork(const Network& network) const {
    return impl()->m_networks.addIfAbsent(network.m);
}

Network NetworkGroup::findNetwork(const Ascii& name) const {
    Network found;
    impl()->m_networks.forEach([&](ElementInterface* element) {
        Network network = handleOf<Network>(element);
        if (network.name() == name) found = network;
    });
    return found;
}

std::int32_t NetworkGroup::indexOfNetwork(const Ascii& name) const {
    std::int32_t index = 0;
    for (const Reference& element : impl()->m_networks.snapshot()) {
        if (handleOf<Network>(element.m).name() == name) return index;
        ++index;
    }
    return -1;
}

void NetworkGroup::changePriority(const Network& network, std::int32_t kind) const {
    ElementVector& networks = impl()->m_networks;
    std::int32_t index = indexOfNetwork(network.name());
    if (kind != PRIORITY_TOP && index < 0) return;
    if (kind == PRIORITY_DECREMENT && index == 0) return;
    if (index >= 0) networks.removeAt(index);

    std::int32_t place;
    if (kind == PRIORITY_DECREMENT) {
        place = index - 1;
    } else if (kind == PRIORITY_TOP) {
        place = networks.length();
        std::int32_t i = 0;
        for (const Reference& element : networks.snapshot()) {
            if (handleOf<Network>(element.m).getOrigin() == NetworkImpl::ORIGIN_USER) {
                place = i;
                break;
            }
            ++i;
        }
    } else {
        place = std::min(index + 1, networks.length());
    }
    networks.insertIfAbsent(network.m, place);
}
