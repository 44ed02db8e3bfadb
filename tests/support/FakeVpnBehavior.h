#pragma once
// A VPN behaviour for tests: capable of automatic VPN or not as the test says, recording the
// network events it receives and the requests of the tray program; idle otherwise.
#include <cstdint>
#include <memory>
#include <string>
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
    void connectVpn() override;
    void disconnectVpn() override;
    void sendCredentials(const Ascii& user, const Ascii& password) override;
    void bannerResponse(bool accepted) override;
    void handleUserLogon() override;
    void resetAndDisconnect() override;

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
    // "connectVpn", "sendCredentials user/password", "bannerResponse 1", ...
    std::vector<std::string> takeCalls() { return std::exchange(calls, {}); }

    bool capable = false;
    int capableQueries = 0;
    int referencesCleared = 0;
    std::vector<std::int32_t> networkEvents;
    std::vector<std::string> calls;

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

inline void FakeVpnBehavior::connectVpn() {
    m_owner.calls.push_back("connectVpn");
}

inline void FakeVpnBehavior::disconnectVpn() {
    m_owner.calls.push_back("disconnectVpn");
}

inline void FakeVpnBehavior::sendCredentials(const Ascii& user, const Ascii& password) {
    m_owner.calls.push_back(std::string("sendCredentials ") + user.text() + "/" + password.text());
}

inline void FakeVpnBehavior::bannerResponse(bool accepted) {
    m_owner.calls.push_back(std::string("bannerResponse ") + (accepted ? "1" : "0"));
}

inline void FakeVpnBehavior::handleUserLogon() {
    m_owner.calls.push_back("handleUserLogon");
}

inline void FakeVpnBehavior::resetAndDisconnect() {
    m_owner.calls.push_back("resetAndDisconnect");
}

}  // namespace tamsel::test
