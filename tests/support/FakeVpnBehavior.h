#pragma once
// A VPN behaviour for tests: capable of automatic VPN or not as the test says, recording the
// network events it receives; idle otherwise.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "vel/vpn/VpnBehavior.h"

namespace tamsel::test {

class FakeVpns;

class FakeVpnBehavior : public IdleVpnBehavior {
public:
    explicit FakeVpnBehavior(FakeVpns& owner) : m_owner(owner) {}

    bool isAutomatedVpnCapable() override;
    void handleNetworkEvent(std::int32_t event) override;
    void clearReferences() override;

private:
    FakeVpns& m_owner;
};

// Installs the fake behaviour for every VPN manager created while it lives.
class FakeVpns {
public:
    FakeVpns() {
        m_previous = VpnBehaviorMaker::set([this](VpnManagerImpl&) {
            return std::unique_ptr<VpnBehaviorInterface>(std::make_unique<FakeVpnBehavior>(*this));
        });
    }
    ~FakeVpns() { VpnBehaviorMaker::set(m_previous); }
    FakeVpns(const FakeVpns&) = delete;
    FakeVpns& operator=(const FakeVpns&) = delete;

    std::vector<std::int32_t> takeNetworkEvents() { return std::exchange(networkEvents, {}); }

    bool capable = false;
    int capableQueries = 0;
    int referencesCleared = 0;
    std::vector<std::int32_t> networkEvents;

private:
    VpnBehaviorMaker::Maker m_previous;
};

inline bool FakeVpnBehavior::isAutomatedVpnCapable() {
    ++m_owner.capableQueries;
    return m_owner.capable;
}

inline void FakeVpnBehavior::clearReferences() {
    ++m_owner.referencesCleared;
}

inline void FakeVpnBehavior::handleNetworkEvent(std::int32_t event) {
    m_owner.networkEvents.push_back(event);
}

}  // namespace tamsel::test
