#pragma once
// A matchmaker for tests of the configuration: installed while it lives, it records the calls
// ("addNetwork Office", "addMediaTypeSupport 1", ...) and answers isClientEnabled as told.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "vel/configuration/ConfigurationMatchmaker.h"
#include "vel/network/Network.h"
#include "vel/reference/ReferenceImpl.h"

namespace tamsel::test {

class RecordingConfigurationMatchmakerImpl : public ReferenceImpl, public ConfigurationMatchmakerInterface {
public:
    REFERENCE_IMPL_FORWARDS

    void addNetwork(const Network& network) override {
        calls.push_back("addNetwork " + std::string(network.name().text()));
    }
    void addMediaTypeSupport(std::int32_t mediaType) override {
        calls.push_back("addMediaTypeSupport " + std::to_string(mediaType));
    }
    void removeMediaTypeSupport(std::int32_t mediaType) override {
        calls.push_back("removeMediaTypeSupport " + std::to_string(mediaType));
    }
    bool isClientEnabled() override { return clientEnabled; }

    std::vector<std::string> calls;
    bool clientEnabled = true;
};

class FakeConfigurationMatchmaker {
public:
    FakeConfigurationMatchmaker() : m_matchmaker(new RecordingConfigurationMatchmakerImpl) {
        InstalledConfigurationMatchmaker::install(m_matchmaker);
    }
    ~FakeConfigurationMatchmaker() {
        InstalledConfigurationMatchmaker::install(nullptr);
        m_matchmaker->ReferenceImpl::release();
    }
    FakeConfigurationMatchmaker(const FakeConfigurationMatchmaker&) = delete;
    FakeConfigurationMatchmaker& operator=(const FakeConfigurationMatchmaker&) = delete;

    std::vector<std::string> takeCalls() { return std::exchange(m_matchmaker->calls, {}); }
    void setClientEnabled(bool enabled) { m_matchmaker->clientEnabled = enabled; }

private:
    RecordingConfigurationMatchmakerImpl* m_matchmaker;
};

}  // namespace tamsel::test
