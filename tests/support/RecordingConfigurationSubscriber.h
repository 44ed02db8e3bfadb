#pragma once
// A follower of a configuration for tests: records each notice as a line ("event 2",
// "networkState 5 Office", "credentialRequest Office 2 3 1 prompt", "changePasswordResult 7 1").
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "vel/configuration/ConfigurationSubscriberInterface.h"
#include "vel/network/Network.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

namespace tamsel::test {

class RecordingConfigurationSubscriberImpl : public ReferenceImpl, public ConfigurationSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS

    void configurationEvent(std::int32_t state) override {
        notices.push_back("event " + std::to_string(state));
    }
    void networkStateChanged(std::int32_t adapterState, const VelAdapter& adapter,
                             const Network& network) override {
        lastAdapter = &adapter;
        notices.push_back("networkState " + std::to_string(adapterState) + " " + network.name().text());
    }
    void configurationCredentialRequest(const Network& network, const ElementVector&,
                                        std::int32_t credentialType, std::int32_t credentialSource,
                                        std::int32_t requestType, const Ascii& prompt) override {
        notices.push_back("credentialRequest " + std::string(network.name().text()) + " " +
                          std::to_string(credentialType) + " " + std::to_string(credentialSource) + " " +
                          std::to_string(requestType) + " " + prompt.text());
    }
    void changePasswordResult(std::int32_t attemptId, std::int32_t result) override {
        notices.push_back("changePasswordResult " + std::to_string(attemptId) + " " + std::to_string(result));
    }

    std::vector<std::string> take() { return std::exchange(notices, {}); }

    std::vector<std::string> notices;
    const VelAdapter* lastAdapter = nullptr;
};

}  // namespace tamsel::test
