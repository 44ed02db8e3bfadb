#pragma once
// A matchmaker for tests of networks: it records what the networks tell it ("insert", "remove",
// "unmatch", "unmatchAndRetry") and may give a started network an adapter at once.
#include <string>
#include <utility>
#include <vector>

#include "vel/adapter/VelAdapter.h"
#include "vel/network/Network.h"
#include "vel/network/NetworkMatchmaker.h"
#include "vel/reference/ReferenceImpl.h"

namespace tamsel::test {

class FakeNetworkMatchmakerImpl : public ReferenceImpl, public NetworkMatchmakerInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void insertNetwork(const Network& network) override {
        calls.push_back("insert");
        if (!attachAtOnce.isNull()) network.attachAdapter(attachAtOnce);
    }
    void removeNetwork(const Network&) override { calls.push_back("remove"); }
    void unmatch(const VelAdapter&, const Network&) override { calls.push_back("unmatch"); }
    void unmatchAndRetry(const VelAdapter&, const Network&) override { calls.push_back("unmatchAndRetry"); }
    std::vector<std::string> take() { return std::exchange(calls, {}); }

    std::vector<std::string> calls;
    VelAdapter attachAtOnce;
};

}  // namespace tamsel::test
