#pragma once
// A follower of one network for tests: records what the network tells it as lines: "access 3",
// "adapter 10", "request <type> <source> <request type>[ <prompt>]", "result 7 3"; and the
// certificates each request carried.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "vel/configuration/NetworkSubscriberInterface.h"
#include "vel/network/Network.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

namespace tamsel::test {

class RecordingNetworkSubscriberImpl : public ReferenceImpl, public NetworkSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void networkAccessStateChanged(std::int32_t accessState, const Network&) override {
        lines.push_back("access " + std::to_string(accessState));
    }
    void networkStateChanged(std::int32_t adapterState, const VelAdapter&, const Network&) override {
        lines.push_back("adapter " + std::to_string(adapterState));
    }
    void networkCredentialRequest(const Network&, const ElementVector& list, std::int32_t type,
                                  std::int32_t source, std::int32_t requestType,
                                  const Ascii& prompt) override {
        certificateLists.push_back(ElementVector(list).snapshot());
        std::string line = "request " + std::to_string(type) + " " + std::to_string(source) + " " +
                           std::to_string(requestType);
        if (prompt.length() > 0) line += std::string(" ") + prompt.text();
        lines.push_back(line);
    }
    void changePasswordResult(std::int32_t attemptId, std::int32_t result) override {
        lines.push_back("result " + std::to_string(attemptId) + " " + std::to_string(result));
    }
    std::vector<std::string> take() { return std::exchange(lines, {}); }

    std::vector<std::string> lines;
    // The certificates each credential request carried, in request order.
    std::vector<std::vector<Reference>> certificateLists;
};

}  // namespace tamsel::test
