#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "tests/vel/adapter/AdapterObjectTestSupport.h"
#include "tests/vel/port/CredentialTestSupport.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/Settings8021x.h"
#include "vel/dhcp/DhcpConstants.h"
#include "vel/phyinfo/PhyInfo.h"

using ::testing::ElementsAreArray;

namespace tamsel::test {
namespace {

using M = AdapterStateMachine;

// A network as the adapter meets it: it subscribes, connects and answers the library's
// credential requests through the requests, from its identity and password.
class FakeNetworkImpl : public RecordingResponderImpl {
public:
    FakeNetworkImpl(std::string identity, std::string password)
        : m_identity(std::move(identity)), m_password(std::move(password)) {}

    // Like a network, it keeps its medium (and with it the key the library holds) while connected.
    void connect(const VelAdapter& adapter, const PhyInfo& phyInfo, std::int32_t authenticationType) {
        m_phyInfo = phyInfo;
        adapter.connect(m_phyInfo, Settings8021x::create(), authenticationType);
    }

    static void finish(const Reference& r, const std::function<void(PortManagerImpl*, std::int32_t)>& send) {
        FakeRequestImpl* request = FakeRequestImpl::of(r);
        request->answer(send);
        request->complete(true);
    }
    void requestEapMethods(const Reference& r, const std::vector<std::int32_t>& types) override {
        QX_EAP_METHOD method = {0, types.back()};
        finish(r, [&](PortManagerImpl* m, std::int32_t sync) { m->sendEapMethods(sync, &method, 1); });
    }
    void requestIdentity(const Reference& r, std::int32_t, std::int32_t, bool, const Ascii&) override {
        Credential identity = Credential::newIdentity(m_identity.c_str());
        finish(r,
               [&](PortManagerImpl* m, std::int32_t sync) { m->sendIdentity(sync, identity.volatileH()); });
    }
    void requestPassword(const Reference& r, const Ascii&, const std::vector<std::int32_t>&) override {
        Credential password = Credential::newPassword(m_password.c_str());
        finish(r,
               [&](PortManagerImpl* m, std::int32_t sync) { m->sendPassword(sync, password.volatileH()); });
    }
    void requestSessionStart(const Reference& r, std::int32_t) override {
        finish(r, [](PortManagerImpl* m, std::int32_t sync) { m->sendSessionStart(sync, 1, 0); });
    }
    void requestServerVerify(const Reference& r, QX_HANDLE, const std::vector<std::int32_t>&,
                             std::int32_t) override {
        finish(r, [](PortManagerImpl* m, std::int32_t sync) { m->sendServerVerified(sync, 1); });
    }

private:
    PhyInfo m_phyInfo;
    std::string m_identity;
    std::string m_password;
};

enum class Medium { OPEN, SILENT, PSK, WIRED };

// How often each line of a connection appears.
struct Lines {
    int associated = 0;   // "Associated to ssid = %s bssid = %s."
    int roaming = 0;      // "Roaming to ssid = %s bssid = %s."
    int notRequired = 0;  // "Authentication not required."
    int dhcpRequest = 0;  // "%s: DHCP: Sending DHCP request"
    int ipReceived = 0;   // "%s: IP Address Received: %s"
    int authSuccess = 0;  // "%s: Authentication Success"
    int authFailed = 0;   // "%s: Authentication Failed"
    int dhcpFailed = 0;   // "%s: DHCP: Request failed"
};

// A lab command after the first connection settled, and whether the adapter settles again after it.
// REAUTH stands for the network asking the adapter to re-authenticate.
const std::string REAUTH = "reauth";
struct Step {
    std::string command;
    bool settles;
};

struct Scenario {
    const char* what;
    Medium medium;
    std::int32_t authenticationType;
    std::string password;
    std::vector<Step> then;
    std::vector<std::int32_t> states;
    // The reason published with auth_failed.
    std::int32_t failReason;
    Lines lines;
    const char* address;
};

void PrintTo(const Scenario& s, std::ostream* out) {
    *out << s.what;
}

class AdapterConnectionTest : public AdapterObjectTest {
protected:
    void SetUp() override {
        AdapterObjectTest::SetUp();
        previousMaker = PortCredentialResponderMember::setRequestMaker(FakeRequestImpl::make);
        LabBuilder lab;
        lab.wiredAdapter(1, "eth0", {{"link", "up"}}).wirelessAdapter(2, "wlan0");
        lab.add("accessPoint",
                {{"ssid", "cafe"}, {"bssid", "02:aa:00:00:00:01"}, {"security", "openNoEncryption"}});
        lab.add("accessPoint",
                {{"ssid", "cafe"}, {"bssid", "02:aa:00:00:00:02"}, {"security", "openNoEncryption"}});
        lab.add("accessPoint",
                {{"ssid", "silent"}, {"bssid", "02:aa:00:00:00:03"}, {"security", "openNoEncryption"}});
        lab.add("accessPoint",
                {{"ssid", "slow"}, {"bssid", "02:aa:00:00:00:05"}, {"security", "openNoEncryption"}});
        lab.add("accessPoint", {{"ssid", "home"},
                                {"bssid", "02:aa:00:00:00:04"},
                                {"security", "wpa2PersonalAes"},
                                {"passphrase", "correct horse battery"}});
        // Like every PEAP server, it shows its certificate.
        writeServerCertificates(root);
        lab.add("authenticator", {{"on", "eth0"},
                                  {"method", "peap"},
                                  {"inner", "mschapv2"},
                                  {"identity", "alice"},
                                  {"password", "secret"},
                                  {"serverCertificate", "server.pem"}});
        lab.add("dhcp", {{"on", "cafe"}, {"address", "192.0.2.20"}});
        lab.add("dhcp", {{"on", "home"}, {"address", "192.0.2.21"}});
        lab.add("dhcp", {{"on", "eth0"}, {"address", "192.0.2.10"}});
        lab.add("dhcp", {{"on", "slow"}, {"address", "192.0.2.30"}, {"delayMs", std::to_string(SLOW_MS)}});
        startLab(lab);
    }
    void TearDown() override {
        if (network != nullptr) {
            onEngine([this] { network->requests.clear(); });
            network->release();
        }
        if (!adapter.isNull()) onEngine([this] { adapter.impl()->clearReferences(); });
        adapter.reset();
        AdapterObjectTest::TearDown();
        PortCredentialResponderMember::setRequestMaker(previousMaker);
    }

    // Runs the lab, the engine and the address attempts until the adapter publishes a state it
    // stays in (connected, no_ip or auth_failed) count times in all.
    bool settleUntil(size_t count) {
        auto deadline = std::chrono::steady_clock::now() + DEADLINE;
        while (std::chrono::steady_clock::now() < deadline) {
            settle();
            size_t settled = 0;
            onEngine([&] {
                for (std::int32_t state : states())
                    settled += state == M::STATE_CONNECTED || state == M::STATE_NO_IP ||
                               state == M::STATE_AUTH_FAILED;
            });
            if (settled >= count) return true;
        }
        return false;
    }

    PhyInfo phyInfo(Medium medium) {
        switch (medium) {
            case Medium::OPEN:
                return PhyInfo::createWireless("cafe", 1, 1, CredentialProxy());
            case Medium::SILENT:
                return PhyInfo::createWireless("silent", 1, 1, CredentialProxy());
            case Medium::PSK:
                return PhyInfo::createWireless(
                    "home", 7, 4,
                    CredentialProxy(Credential::newAsciiPsk("correct horse battery", ByteArray("home"))));
            case Medium::WIRED:
                break;
        }
        return PhyInfo::createWired();
    }

    // The wireless adapter managed and connected to "slow", whose DHCP server answers only after
    // SLOW_MS on the lab's clock: authenticated, with its address attempt waiting.
    void connectSlowly() {
        makeAdapter(2);
        network = new FakeNetworkImpl("alice", "");
        adapter.addSubscriber(network);
        manageAdapter();
        onEngine([this] {
            network->connect(adapter, PhyInfo::createWireless("slow", 1, 1, CredentialProxy()),
                             AdapterConstants::AUTHENTICATION_NOT_REQUIRED);
        });
        for (int round = 0; round < 50 && engineState() != M::STATE_AUTHENTICATED; ++round) settle();
        ASSERT_EQ(engineState(), M::STATE_AUTHENTICATED);
        ASSERT_FALSE(object()->dhcpManager().isNull());
    }
    // Lets the slow server answer until done() holds: the lab's clock moves on again while the
    // attempt's worker may not have begun to wait on it yet.
    bool answerSlowly(const std::function<bool()>& done) {
        auto deadline = std::chrono::steady_clock::now() + DEADLINE;
        while (std::chrono::steady_clock::now() < deadline) {
            lab::Lab::instance().advance(SLOW_MS);
            settle();
            if (done()) return true;
        }
        return false;
    }

    // Moves the lab's clock on until every worker is free at once: an attempt stopped just as it
    // began may start its wait on the slow server after any one move, and a worker left waiting on
    // a clock nobody moves any more never ends.
    bool freeWorkers() {
        struct Meeting {
            std::mutex mutex;
            std::condition_variable met;
            int inside = 0;
        };
        auto meeting = std::make_shared<Meeting>();
        auto allIn = [meeting] { return meeting->inside == WorkerQueueImpl::THREAD_COUNT; };
        for (int i = 0; i < WorkerQueueImpl::THREAD_COUNT; ++i) {
            workers.post(functionEvent([meeting, allIn] {
                std::unique_lock<std::mutex> lock(meeting->mutex);
                ++meeting->inside;
                meeting->met.notify_all();
                meeting->met.wait_for(lock, DEADLINE, allIn);
            }));
        }
        return answerSlowly([meeting, allIn] {
            std::lock_guard<std::mutex> lock(meeting->mutex);
            return allIn();
        });
    }

    static constexpr int SLOW_MS = 5000;
    PortCredentialResponderMember::RequestMaker previousMaker = nullptr;
    FakeNetworkImpl* network = nullptr;
};

class VelAdapterConnectionTest : public AdapterConnectionTest,
                                 public testing::WithParamInterface<Scenario> {};

TEST_P(VelAdapterConnectionTest, TheAdapterPublishesEachStepOfTheConnection) {
    const Scenario& s = GetParam();
    bool wired = s.medium == Medium::WIRED;
    makeAdapter(wired ? 1 : 2);
    network = new FakeNetworkImpl("alice", s.password);
    adapter.addSubscriber(network);
    manageAdapter();
    ASSERT_EQ(adapter.state(), wired ? M::STATE_DISCONNECTED_LINK_UP : M::STATE_DISCONNECTED_LINK_DOWN);
    subscriber->changes.clear();
    size_t before = log().size();

    onEngine([&] { network->connect(adapter, phyInfo(s.medium), s.authenticationType); });
    size_t settled = 1;
    ASSERT_TRUE(settleUntil(settled)) << ::testing::PrintToString(states());
    for (const Step& step : s.then) {
        if (step.command == REAUTH)
            onEngine([&] { adapter.reAuth(); });
        else
            ASSERT_EQ(lab::Lab::instance().command(step.command), "ok") << step.command;
        if (step.settles)
            ASSERT_TRUE(settleUntil(++settled)) << step.command << ": " << ::testing::PrintToString(states());
        else
            settle();
    }

    EXPECT_THAT(states(), ElementsAreArray(s.states));
    for (const auto& change : subscriber->changes)
        EXPECT_EQ(change.reason, change.state == M::STATE_AUTH_FAILED ? s.failReason : 0);
    std::string text = log().substr(before);
    EXPECT_EQ(countOf(text, "Associated to ssid = "), s.lines.associated);
    EXPECT_EQ(countOf(text, "Roaming to ssid = cafe bssid = 02:aa:00:00:00:02."), s.lines.roaming);
    EXPECT_EQ(countOf(text, "Authentication not required."), s.lines.notRequired);
    EXPECT_EQ(countOf(text, name + ": DHCP: Sending DHCP request"), s.lines.dhcpRequest);
    EXPECT_EQ(countOf(text, name + ": IP Address Received: "), s.lines.ipReceived);
    EXPECT_EQ(countOf(text, name + ": Authentication Success"), s.lines.authSuccess);
    EXPECT_EQ(countOf(text, name + ": Authentication Failed"), s.lines.authFailed);
    EXPECT_EQ(countOf(text, name + ": DHCP: Request failed"), s.lines.dhcpFailed);
    EXPECT_EQ(countOf(text, "Symbolic name: (" + name + ")"), 1);
    if (s.address != nullptr) {
        EXPECT_EQ(countOf(text, name + ": IP Address Received: " + s.address), s.lines.ipReceived);
        ConnectionInfoProxy info;
        onEngine([&] { info = adapter.connectionInfo(); });
        ASSERT_TRUE(info.exists());
        EXPECT_EQ(info.value().ipAddress(), s.address);
    }
}

constexpr std::int32_t NOT_REQUIRED = AdapterConstants::AUTHENTICATION_NOT_REQUIRED;
constexpr std::int32_t ASSOCIATING = M::STATE_ASSOCIATING;
constexpr std::int32_t ASSOCIATED = M::STATE_ASSOCIATED;
constexpr std::int32_t AUTHENTICATING = M::STATE_AUTHENTICATING;
constexpr std::int32_t AUTHENTICATED = M::STATE_AUTHENTICATED;
constexpr std::int32_t NO_IP = M::STATE_NO_IP;
constexpr std::int32_t CONNECTED = M::STATE_CONNECTED;
constexpr std::int32_t AUTH_FAILED = M::STATE_AUTH_FAILED;

INSTANTIATE_TEST_SUITE_P(
    Connections, VelAdapterConnectionTest,
    testing::Values(
        Scenario{
            "open wireless",
            Medium::OPEN,
            NOT_REQUIRED,
            "",
            {},
            {ASSOCIATING, ASSOCIATED, AUTHENTICATED, CONNECTED},
            0,
            Lines{.associated = 1, .notRequired = 1, .dhcpRequest = 1, .ipReceived = 1, .authSuccess = 1},
            "192.0.2.20"},
        Scenario{
            "open wireless re-authenticated",
            Medium::OPEN,
            NOT_REQUIRED,
            "",
            {{REAUTH, true}},
            {ASSOCIATING, ASSOCIATED, AUTHENTICATED, CONNECTED, AUTHENTICATED, CONNECTED},
            0,
            Lines{.associated = 1, .notRequired = 2, .dhcpRequest = 2, .ipReceived = 2, .authSuccess = 2},
            "192.0.2.20"},
        Scenario{"WPA2 personal",
                 Medium::PSK,
                 0,
                 "",
                 {},
                 {ASSOCIATING, ASSOCIATED, AUTHENTICATED, CONNECTED},
                 0,
                 Lines{.associated = 1, .dhcpRequest = 1, .ipReceived = 1, .authSuccess = 1},
                 "192.0.2.21"},
        Scenario{"wired PEAP",
                 Medium::WIRED,
                 0,
                 "secret",
                 {},
                 {ASSOCIATED, AUTHENTICATING, AUTHENTICATED, CONNECTED},
                 0,
                 Lines{.dhcpRequest = 1, .ipReceived = 1, .authSuccess = 1},
                 "192.0.2.10"},
        Scenario{
            "wired PEAP re-authenticated",
            Medium::WIRED,
            0,
            "secret",
            {{REAUTH, true}},
            {ASSOCIATED, AUTHENTICATING, AUTHENTICATED, CONNECTED, AUTHENTICATING, AUTHENTICATED, CONNECTED},
            0,
            Lines{.dhcpRequest = 2, .ipReceived = 2, .authSuccess = 2},
            "192.0.2.10"},
        Scenario{"wrong password",
                 Medium::WIRED,
                 0,
                 "guess",
                 {},
                 {ASSOCIATED, AUTHENTICATING, AUTH_FAILED},
                 3,
                 Lines{.authFailed = 1},
                 nullptr},
        Scenario{
            "DHCP never answering",
            Medium::SILENT,
            NOT_REQUIRED,
            "",
            {},
            {ASSOCIATING, ASSOCIATED, AUTHENTICATED, NO_IP},
            0,
            Lines{.associated = 1, .notRequired = 1, .dhcpRequest = 1, .authSuccess = 1, .dhcpFailed = 1},
            nullptr},
        Scenario{"link lost and back",
                 Medium::WIRED,
                 0,
                 "secret",
                 {{"link eth0 down", false}, {"link eth0 up", true}},
                 {ASSOCIATED, AUTHENTICATING, AUTHENTICATED, CONNECTED, ASSOCIATING, ASSOCIATED,
                  AUTHENTICATING, AUTHENTICATED, CONNECTED},
                 0,
                 Lines{.dhcpRequest = 2, .ipReceived = 2, .authSuccess = 2},
                 "192.0.2.10"},
        Scenario{"roaming",
                 Medium::OPEN,
                 NOT_REQUIRED,
                 "",
                 {{"roam wlan0 02:aa:00:00:00:02", true}},
                 {ASSOCIATING, ASSOCIATED, AUTHENTICATED, CONNECTED, ASSOCIATED, AUTHENTICATED, CONNECTED},
                 0,
                 Lines{.associated = 1,
                       .roaming = 1,
                       .notRequired = 2,
                       .dhcpRequest = 2,
                       .ipReceived = 2,
                       .authSuccess = 2},
                 "192.0.2.20"}));

TEST_F(AdapterConnectionTest, OnlyTheResultOfTheAttemptTheAdapterHoldsMovesIt) {
    connectSlowly();
    DhcpManager held = object()->dhcpManager();
    // A late result of an attempt the adapter dropped (a connection ago, say).
    DhcpManager dropped;
    onEngine([&] {
        dropped = DhcpManager::create(object(), Ascii(name.c_str()));
        object()->dhcpResult(dropped, DhcpConstants::RESULT_ADDRESS);
        object()->dhcpResult(dropped, DhcpConstants::RESULT_FAILED);
        dropped.impl()->clearReferences();
    });
    EXPECT_EQ(engineState(), M::STATE_AUTHENTICATED);
    EXPECT_EQ(object()->dhcpManager().m, held.m);
    std::string text = log();
    EXPECT_EQ(countOf(text, name + ": DHCP: result 1 of an attempt no longer held, ignored"), 1);
    // The failure is logged as it comes, but feeds nothing.
    EXPECT_EQ(countOf(text, name + ": DHCP: Request failed"), 1);

    EXPECT_TRUE(answerSlowly([this] { return engineState() == M::STATE_CONNECTED; }));
    EXPECT_TRUE(object()->dhcpManager().isNull());
    EXPECT_TRUE(held.impl()->machine()->stopped());
    EXPECT_EQ(countOf(log(), name + ": IP Address Received: 192.0.2.30"), 1);
}

TEST_F(AdapterConnectionTest, LeavingTheConnectionEndsTheAddressAttemptWithoutAResult) {
    struct Row {
        const char* what;
        std::function<void(VelAdapter&)> leave;
        std::int32_t state;
        bool managed;
    } rows[] = {
        {"unplugged", [](VelAdapter& a) { a.symbolicNameUnbound(); }, M::STATE_UNBOUND, false},
        {"unmanaged", [](VelAdapter& a) { a.unmanage(0); }, M::STATE_UNMANAGED, false},
        {"disconnected", [](VelAdapter& a) { a.disconnect(); }, M::STATE_DISCONNECTED_LINK_UP, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        connectSlowly();
        DhcpManager held = object()->dhcpManager();
        size_t before = log().size();
        onEngine([&] { row.leave(adapter); });
        EXPECT_EQ(engineState(), row.state);
        EXPECT_EQ(object()->managed(), row.managed);
        EXPECT_TRUE(object()->dhcpManager().isNull());
        EXPECT_TRUE(held.impl()->machine()->stopped());
        // Whatever the stopped attempt was doing, it ends and posts nothing.
        ASSERT_TRUE(freeWorkers());
        EXPECT_EQ(engineState(), row.state);
        EXPECT_EQ(countOf(log().substr(before), "IP Address Received"), 0);
        held.reset();
        onEngine([this] {
            network->requests.clear();
            adapter.impl()->clearReferences();
        });
        network->release();
        network = nullptr;
        adapter.reset();
        subscriber->changes.clear();
    }
}

TEST_F(AdapterConnectionTest, AnAdapterWithoutAddressShowsNone) {
    makeAdapter(2);
    ConnectionInfoProxy info;
    onEngine([&] { info = adapter.connectionInfo(); });
    ASSERT_TRUE(info.exists());
    EXPECT_EQ(info.value().ipAddress(), "0.0.0.0");
    onEngine([&] { info = VelAdapter::create("{00000000-0000-0000-0000-000000000000}").connectionInfo(); });
    ASSERT_TRUE(info.exists());
    EXPECT_EQ(info.value().ipAddress(), "0.0.0.0");
    EXPECT_EQ(countOf(log(), "{00000000-0000-0000-0000-000000000000} unable to get IP address - "), 1);
}

}  // namespace
}  // namespace tamsel::test
