#include "vel/network/NetworkMatchmaker.h"

namespace {

template <typename Call>
void withMatchmaker(Call call) {
    Reference installed = InstalledNetworkMatchmaker::get();
    if (installed.m) call(InstalledNetworkMatchmaker::of(installed));
}

}  // namespace

void NetworkMatchmaker::insertNetwork(const Network& network) {
    withMatchmaker([&](NetworkMatchmakerInterface* m) { m->insertNetwork(network); });
}

void NetworkMatchmaker::removeNetwork(const Network& network) {
    withMatchmaker([&](NetworkMatchmakerInterface* m) { m->removeNetwork(network); });
}

void NetworkMatchmaker::unmatch(const VelAdapter& adapter, const Network& network) {
    withMatchmaker([&](NetworkMatchmakerInterface* m) { m->unmatch(adapter, network); });
}

void NetworkMatchmaker::unmatchAndRetry(const VelAdapter& adapter, const Network& network) {
    withMatchmaker([&](NetworkMatchmakerInterface* m) { m->unmatchAndRetry(adapter, network); });
}
