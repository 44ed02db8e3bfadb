#pragma once
// The setting of the VPN state machines' tests: the VPN client's setting with the state machines
// installed for every VPN manager, a configuration whose wired network the test connects, a
// timer list the test ticks by hand, the tray link with one client that records what it is sent,
// and the engine parts the machines ask (the active configuration, the user's logon).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ostrum.h"
#include "platform/base/FailureInjection.h"
#include "platform/dunmere/VpnService.h"
#include "platform/softtoken/TokenLibrary.h"
#include "tests/support/FakeNetworkBehavior.h"
#include "tests/vel/ipcmsghandlers/ConnApiTestSupport.h"
#include "tests/vel/vpn/VpnTestSupport.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/Configuration.h"
#include "vel/timer/TimerList.h"
#include "vel/vpn/ScSofToken2.h"
#include "vel/vpn/TamselVpnClient.h"
#include "vel/vpn/VpnConstants.h"
#include "vel/vpn/VpnEngine.h"
#include "vel/vpn/VpnEngineLink.h"
#include "vel/vpn/VpnManagerBehavior.h"

namespace tamsel::test {

// A tray program's connection that wakes the test whenever the service queues a message on it.
class WaitingConnectionImpl : public ConnectionImpl {
public:
    WaitingConnectionImpl() : ConnectionImpl(DatagramForwarder(), IpcManager()) {}

    bool isFinished() override { return false; }

    std::vector<std::string> sent() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sent;
    }
    // Waits until the messages sent satisfy the condition; false at the deadline.
    bool waitUntil(const std::function<bool(const std::vector<std::string>&)>& done) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, DEADLINE, [&] { return done(m_sent); });
    }

protected:
    Datagram takeOutgoing() override { return Datagram(); }
    bool appendOutgoing(const Datagram& datagram) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sent.emplace_back(datagram.text(), static_cast<size_t>(datagram.length()));
        m_changed.notify_all();
        return true;
    }
    void dropOutgoing() override {}
    void joinThreads() override {}

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_sent;
};

// The active configuration and the logon, as the test sets them.
class FakeVpnEngine : public VpnEngineInterface {
public:
    bool activeConfiguration(Configuration& out) override {
        if (!configured) return false;
        out = configuration;
        return true;
    }
    std::int32_t logonStatus() override { return logonStatusValue; }

    Configuration configuration;
    bool configured = true;
    std::int32_t logonStatusValue = VpnConstants::LOGON_STATUS_USER;
};

// One vpnStateEvent as the tray reads it: state and status texts.
using VpnStateSeen = std::pair<std::string, std::string>;

inline std::vector<VpnStateSeen> vpnStatesIn(const std::vector<std::string>& messages) {
    std::vector<VpnStateSeen> states;
    for (const std::string& text : messages) {
        SentMessage message(text);
        if (message.name() == "vpnStateEvent")
            states.emplace_back(message.child("vpnState"), message.child("vpnStatus"));
    }
    return states;
}

inline int countNamed(const std::vector<std::string>& messages, const std::string& name) {
    int count = 0;
    for (const std::string& text : messages) count += SentMessage(text).name() == name ? 1 : 0;
    return count;
}

class VpnMachinesTest : public VpnTest {
protected:
    static constexpr const char* NETWORK = "Wired-LAN";
    static constexpr const char* GROUP = "Office";
    static constexpr const char* PROFILE = "Office";

    void SetUp() override {
        VpnTest::SetUp();
        dunmere::VpnService::instance().reset();
        dunmere::VpnService::instance().setClock(nullptr);
        dunmere::VpnService::instance().setGateways({gateway()});
        softtoken::TokenLibrary::instance().reset();
        softtoken::TokenLibrary::instance().setTokens({});
        previousMaker = VpnManagerBehavior::install();
        networks.emplace();
        onEngineThread([this] {
            timers = TimerList::Create();
            communication = ClientCommunication::create();
            tray = &newTray();
            link.install();
            VpnEngine::install(&engine);
            engine.configuration = makeConfiguration(VpnConstants::SETTING_PASSWORD);
        });
        markLog();
    }
    void TearDown() override {
        onEngineThread([this] {
            engine.configuration.impl()->clearReferences();
            engine.configuration.reset();
            network.reset();
            if (!client.isNull()) {
                client.impl()->clearReferences();
                client.reset();
            }
            if (token) {
                token->impl()->clearReferences();
                token.reset();
            }
            link.uninstall();
            VpnEngine::install(nullptr);
            communication.impl()->clearReferences();
            communication.reset();
            trays.clear();
            timers.reset();
        });
        networks.reset();
        VpnBehaviorMaker::set(previousMaker);
        base::clearFailures();
        VpnTest::TearDown();
    }

    static dunmere::Gateway gateway() {
        dunmere::Gateway g;
        g.profile = PROFILE;
        return g;
    }

    // A configuration with one wired network in its one group, an automatic VPN entry for it and
    // the VPN allowed; started, so that the test can connect the network.
    Configuration makeConfiguration(std::int32_t vpnSetting, bool autoConnect = true) {
        Configuration configuration = Configuration::create("xml config");
        network = Network::create(NETWORK);
        network.setMediaType(AdapterConstants::MEDIA_TYPE_8023);
        NetworkGroup group = NetworkGroup::create(GROUP);
        group.addNetwork(network);
        configuration.addGroup(group);
        UserControlPolicy policy = UserControlPolicy::create();
        policy.setAllowVpn(true);
        configuration.setUserControlPolicy(policy);
        configuration.setVpnSettingsType(vpnSetting);
        ElementVector entries = ElementVector::create();
        entries.add(MetaConnection::create(GROUP, NETWORK, PROFILE, autoConnect).m);
        configuration.vpnManager().setMetaConnections(entries);
        configuration.start();
        return configuration;
    }

    // The VPN library where the service finds it, its profile files and the client over it.
    void startClient(bool withLibrary = true) {
        if (withLibrary) install(DUNMERE_LIBRARY);
        std::filesystem::path folder = std::filesystem::path(root.path()) / "c" / "Program Files" /
                                       "Varnel Systems" / "VPN Client" / "Profiles";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / (std::string(PROFILE) + ".pcf")).put('\n');
        onEngineThread([this] { client = TamselVpnClient::create(VpnClientConstants::INITIALIZE_API); });
    }
    void startToken() {
        install(SOFTTOKEN_LIBRARY);
        onEngineThread([this] { token = ScSofToken2::create(); });
    }

    // Another tray program connects.
    WaitingConnectionImpl& newTray() {
        Connection connection(new WaitingConnectionImpl, Reference::TAKE_OVER);
        communication.impl()->connectionStateChanged(connection, ConnectionConstants::CONNECTED);
        trays.push_back(connection);
        return *static_cast<WaitingConnectionImpl*>(connection.impl());
    }

    // The network's access reaches "connected" (or its link is lost, as the network tells it).
    void connectNetwork() {
        onEngineThread([this] {
            networks->of(network).publish(3);
            networks->of(network).publish(4);
        });
    }
    void loseNetwork() {
        onEngineThread([this] { manager().handleNetworkEvent(VpnBehaviorInterface::NETWORK_NOT_CONNECTED); });
    }

    VpnManager manager() { return engine.configuration.vpnManager(); }
    VpnManagerBehavior& machines() { return static_cast<VpnManagerBehavior&>(manager().impl()->behavior()); }
    std::int32_t vpnState() {
        std::int32_t state = 0;
        onEngineThread([&] { state = manager().lastVpnStatus(); });
        return state;
    }

    // The states the first tray program was told of.
    std::vector<VpnStateSeen> states() { return vpnStatesIn(tray->sent()); }
    bool waitForStates(size_t count) {
        return tray->waitUntil(
            [count](const std::vector<std::string>& sent) { return vpnStatesIn(sent).size() >= count; });
    }
    bool waitForMessage(const std::string& name) {
        return tray->waitUntil(
            [&](const std::vector<std::string>& sent) { return countNamed(sent, name) > 0; });
    }

    // Lets the seconds pass on the timer list.
    void passSeconds(int seconds) {
        for (int i = 0; i < seconds * osTimerGetHz(); ++i) timers.impl()->countDown();
    }

    void markLog() { m_mark = readLines(root.log()).size(); }
    // The lines logged since the mark that end in the message.
    int loggedSinceMark(const std::string& message) {
        std::vector<std::string> lines = readLines(root.log());
        int count = 0;
        for (size_t i = m_mark; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (line.size() >= message.size() &&
                line.compare(line.size() - message.size(), message.size(), message) == 0)
                ++count;
        }
        return count;
    }

    std::optional<FakeNetworks> networks;
    VpnBehaviorMaker::Maker previousMaker;
    FakeVpnEngine engine;
    VpnEngineLink link;
    TimerList timers;
    ClientCommunication communication;
    std::vector<Connection> trays;
    WaitingConnectionImpl* tray = nullptr;
    Network network;
    TamselVpnClient client;
    std::optional<ScSofToken2> token;

private:
    size_t m_mark = 0;
};

}  // namespace tamsel::test
