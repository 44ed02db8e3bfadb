#pragma once
// A network behaviour for tests: it records what the configuration asks of each network and
// publishes access states through the network's real fan-out. Like a real network, a started one
// announces ACCESS_STARTED and a stopped one ACCESS_STOPPED.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vel/network/Network.h"
#include "vel/network/NetworkBehavior.h"

namespace tamsel::test {

class FakeNetworks;

class FakeNetworkBehavior : public NetworkBehaviorInterface {
public:
    static constexpr std::int32_t ACCESS_STOPPED = 1;
    static constexpr std::int32_t ACCESS_STARTED = 2;

    FakeNetworkBehavior(NetworkImpl& network, FakeNetworks& owner);
    ~FakeNetworkBehavior() override;

    void start() override {
        record("start");
        m_started = true;
        if (announcesStartAndStop) publish(ACCESS_STARTED);
    }
    void stop() override {
        record("stop");
        bool wasStarted = std::exchange(m_started, false);
        if (announcesStartAndStop && wasStarted) publish(ACCESS_STOPPED);
    }
    void accessChanged() override { record("accessChanged"); }
    bool isStarted() override { return m_started; }
    void disconnect() override { record("disconnect"); }
    void handleSsoRequest(std::int32_t request) override {
        record(("ssoRequest " + std::to_string(request)).c_str());
        if (onSsoRequest) onSsoRequest(request);
    }
    void clearReferences() override {}

    // Tells the network's followers of a new access state.
    void publish(std::int32_t accessState) { m_network.notifyAccessState(accessState); }

    bool announcesStartAndStop = true;
    // Runs inside handleSsoRequest, as a network that moves on at once would.
    std::function<void(std::int32_t)> onSsoRequest;

private:
    void record(const char* call);

    NetworkImpl& m_network;
    FakeNetworks& m_owner;
    bool m_started = false;
};

// Installs the fake behaviour for every network created while it lives, and keeps one journal of
// the calls of all of them ("start Office", "disconnect Home", ...).
class FakeNetworks {
public:
    FakeNetworks() {
        m_previous = NetworkBehaviorMaker::set([this](NetworkImpl& network) {
            auto fake = std::make_unique<FakeNetworkBehavior>(network, *this);
            m_fakes[&network] = fake.get();
            return std::unique_ptr<NetworkBehaviorInterface>(std::move(fake));
        });
    }
    ~FakeNetworks() { NetworkBehaviorMaker::set(m_previous); }
    FakeNetworks(const FakeNetworks&) = delete;
    FakeNetworks& operator=(const FakeNetworks&) = delete;

    FakeNetworkBehavior& of(const Network& network) { return *m_fakes.at(network.impl()); }
    // The calls since the last take, oldest first.
    std::vector<std::string> takeCalls() { return std::exchange(m_calls, {}); }

private:
    friend class FakeNetworkBehavior;

    NetworkBehaviorMaker::Maker m_previous;
    std::map<NetworkImpl*, FakeNetworkBehavior*> m_fakes;
    std::vector<std::string> m_calls;
};

inline FakeNetworkBehavior::FakeNetworkBehavior(NetworkImpl& network, FakeNetworks& owner)
    : m_network(network), m_owner(owner) {}

inline FakeNetworkBehavior::~FakeNetworkBehavior() {
    m_owner.m_fakes.erase(&m_network);
}

inline void FakeNetworkBehavior::record(const char* call) {
    m_owner.m_calls.push_back(std::string(call) + " " + m_network.m_name.text());
}

}  // namespace tamsel::test
