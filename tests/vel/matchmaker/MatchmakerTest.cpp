#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/lab/LabCalls.h"
#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/configuration/ActiveConfiguration.h"
#include "vel/matchmaker/Matchmaker.h"
#include "vel/multithread/EventQueue.h"
#include "vel/network/NetworkBehavior.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

namespace tamsel::test {
namespace {

using M = AdapterStateMachine;
constexpr std::int32_t WIRED = AdapterConstants::MEDIA_TYPE_8023;
constexpr std::int32_t WIFI = AdapterConstants::MEDIA_TYPE_80211;

// What the matchmaker asked of adapters and networks, in order, as "adapter: call" lines.
std::vector<std::string>& calls() {
    static std::vector<std::string> list;
    return list;
}

// An adapter that records what it is asked. A managed one tells the matchmaker at once, as a real
// adapter does once its port is under control.
class RecordingAdapterImpl : public AdapterImpl {
public:
    RecordingAdapterImpl(const char* name, std::int32_t mediaType) : AdapterImpl(name) {
        m_mediaType = mediaType;
        m_description = "Recording adapter";
    }

    void connect(const PhyInfo&, const Settings8021x&, std::int32_t) override {}
    void restartConnection(const PhyInfo&) override {}
    void reAuth() override {}
    void disconnect() override {}
    void manage() override {
        record("manage");
        if (noticeOnManage) Matchmaker().adapterManaged(VelAdapter(this));
    }
    void unmanage(std::int32_t reactivate) override { record("unmanage " + std::to_string(reactivate)); }
    AdapterAttributesProxy attributes() override { return {}; }
    Ascii macAddress() override { return ""; }
    AssociationInfoProxy associationInfo() override { return {}; }
    ConnectionInfoProxy connectionInfo() override { return {}; }
    SsidProxy scanDetails() override { return {}; }
    bool location(const LocationRequest&) override { return false; }
    void rsnProbeIeVerifyEnable(std::int32_t setting) override { record("rsn " + std::to_string(setting)); }
    void radioOff() override { record("radio off"); }
    void radioOn() override { record("radio on"); }
    bool isRadioOn() override { return true; }
    void unblockOsWaitForIp() override { record("unblock"); }
    bool enablePacketCapture() override { return false; }
    bool disablePacketCapture() override { return false; }
    void closePort() override { record("closePort"); }
    void symbolicNameBound() override {}
    void symbolicNameUnbound() override {}
    std::int32_t state() const override { return M::STATE_UNMANAGED; }

    bool noticeOnManage = true;

private:
    void record(const std::string& call) {
        calls().push_back(std::string(m_symbolicName.text()) + ": " + call);
    }
};

// A network that records the adapter it is given, in place of starting a connection over it.
class AttachRecordingBehavior : public IdleNetworkBehavior {
public:
    explicit AttachRecordingBehavior(NetworkImpl& network) : m_network(network) {}
    void attachAdapter(const VelAdapter& adapter) override {
        calls().push_back("attach " + std::string(adapter.symbolicName().text()) + " " +
                          m_network.m_name.text());
    }

private:
    NetworkImpl& m_network;
};

// A matchmaker that the test drives by hand (posting flag 0): each pass runs when the test says.
class MatchmakerTest : public ConfigurationTest {
protected:
    void SetUp() override {
        ConfigurationTest::SetUp();
        calls().clear();
        lab::clearCalls();
        base::clearFailures();
        previousMaker = NetworkBehaviorMaker::set(
            [](NetworkImpl& network) { return std::make_unique<AttachRecordingBehavior>(network); });
        matchmaker.emplace(Matchmaker::create(0));
    }
    void TearDown() override {
        matchmaker->clearReferences();
        matchmaker.reset();
        adapters.clear();
        NetworkBehaviorMaker::set(previousMaker);
        if (!queue.isNull()) {
            queue.stop();
            queue.reset();
        }
        if (!active.isNull()) {
            static_cast<ActiveConfigurationImpl*>(static_cast<ReferenceImpl*>(active.m))->stop();
            active.reset();
        }
        base::clearFailures();
        ConfigurationTest::TearDown();
    }

    static VelAdapter recordingAdapter(const char* name, std::int32_t mediaType) {
        VelAdapter adapter;
        static_cast<Reference&>(adapter) =
            Reference(new RecordingAdapterImpl(name, mediaType), Reference::TAKE_OVER);
        return adapter;
    }
    // A new adapter of the adapter list, of a supported media type.
    VelAdapter addAdapter(const char* name, std::int32_t mediaType) {
        VelAdapter adapter = recordingAdapter(name, mediaType);
        adapters.push_back(adapter);
        matchmaker->addMediaTypeSupport(mediaType);
        matchmaker->impl()->newAdapter(adapter);
        return adapter;
    }
    // The adapter managed, with the adapter state it reports after.
    VelAdapter managedAdapter(const char* name, std::int32_t mediaType,
                              std::int32_t state = M::STATE_DISCONNECTED_LINK_UP) {
        VelAdapter adapter = addAdapter(name, mediaType);
        matchmaker->adapterManaged(adapter);
        report(adapter, state);
        return adapter;
    }
    void report(const VelAdapter& adapter, std::int32_t state) {
        matchmaker->impl()->adapterStateChanged(adapter, state, 0);
    }
    Network insert(const char* name, std::int32_t mediaType) {
        Network network = makeNetwork(name, mediaType);
        matchmaker->insertNetwork(network);
        return network;
    }
    std::vector<std::string> attaches() {
        std::vector<std::string> found;
        for (const std::string& call : calls())
            if (call.rfind("attach ", 0) == 0) found.push_back(call);
        return found;
    }
    std::vector<std::string> callsOf(const std::string& part) {
        std::vector<std::string> found;
        for (const std::string& call : calls())
            if (call.find(part) != std::string::npos) found.push_back(call);
        return found;
    }
    // The engine queue with a configuration in force, for the events the matchmaker posts.
    void startEngine() {
        auto* initializer = new RecordingInitializerImpl;
        queue = EventQueue::Create(initializer);
        initializer->release();
        ActiveConfigurationImpl* impl = ActiveConfigurationImpl::Create();
        active = Reference(static_cast<ReferenceImpl*>(impl), Reference::TAKE_OVER);
        // Its first read of the (missing) files runs on the engine thread: once that is done, the
        // configuration put in force here is not replaced by what the read found.
        ASSERT_TRUE(drain(queue));
        impl->m_configurationProxy.setConfiguration(Configuration::create("Office"));
    }

    // Made in SetUp, once the run-time is up: a default handle binds to the singleton.
    std::optional<Matchmaker> matchmaker;
    std::vector<VelAdapter> adapters;
    NetworkBehaviorMaker::Maker previousMaker;
    EventQueue queue;
    // The active configuration singleton, made without reading any file.
    Reference active;
};

TEST_F(MatchmakerTest, ChangesBeforeOnePassLeaveTheNextPassNothingToDo) {
    managedAdapter("eth0", WIRED);
    insert("Wired-LAN", WIRED);
    insert("Lab-LAN", WIRED);

    matchmaker->makeMatches();
    matchmaker->makeMatches();

    EXPECT_THAT(attaches(), ElementsAre("attach eth0 Wired-LAN"));
    EXPECT_THAT(logged("matching adapter"), ElementsAre("matching adapter eth0 and network Wired-LAN ..."));
    EXPECT_THAT(logged("matchmaking not needed"), SizeIs(1));
    EXPECT_THAT(logged("starting makeMatches..."), SizeIs(2));
}

// A wired network needs a cable: the adapter serves only once a state shows its link, and the
// change of link schedules the pass.
TEST_F(MatchmakerTest, WiredAdapterServesOnlyOnceItsStateShowsTheLink) {
    struct Case {
        std::int32_t state;
        bool linkChanged;
        bool served;
    };
    for (Case c : {Case{M::STATE_NONE, true, false}, Case{M::STATE_UNBOUND, false, false},
                   Case{M::STATE_DISCONNECTED_LINK_DOWN, false, false},
                   Case{M::STATE_ASSOCIATING, false, false}, Case{M::STATE_DISCONNECTED_LINK_UP, true, true},
                   Case{M::STATE_ASSOCIATED, true, true}, Case{M::STATE_COUNTERMEASURES, true, true}}) {
        SCOPED_TRACE(c.state);
        matchmaker->clearReferences();
        matchmaker.reset();
        matchmaker.emplace(Matchmaker::create(0));
        calls().clear();
        insert("Wired-LAN", WIRED);
        VelAdapter adapter = managedAdapter("eth0", WIRED, M::STATE_DISCONNECTED_LINK_DOWN);
        matchmaker->makeMatches();
        markLog();
        report(adapter, c.state);
        matchmaker->makeMatches();
        EXPECT_EQ(attaches().size(), c.served ? 1u : 0u);
        EXPECT_EQ(logged("matchmaking not needed").size(), c.linkChanged ? 0u : 1u);
        if (c.linkChanged && !c.served) {
            EXPECT_THAT(
                logged("mediaType = 0"),
                ElementsAre("makeMatches(mediaType = 0) failed because there are no available adapters."));
        }
    }
}

TEST_F(MatchmakerTest, WiredLinkUnderAWirelessMatchAsksTheConfigurationToReconsider) {
    startEngine();
    managedAdapter("wlan0", WIFI);
    insert("Corp-WiFi", WIFI);
    matchmaker->makeMatches();
    ASSERT_THAT(attaches(), ElementsAre("attach wlan0 Corp-WiFi"));

    VelAdapter wired = managedAdapter("eth0", WIRED, M::STATE_DISCONNECTED_LINK_DOWN);
    insert("Wired-LAN", WIRED);
    report(wired, M::STATE_DISCONNECTED_LINK_UP);
    matchmaker->makeMatches();
    ASSERT_TRUE(drain(queue));

    EXPECT_THAT(attaches(), SizeIs(1)) << "the matchmaker itself breaks no match";
    EXPECT_THAT(logged("Higher priority adapter available"), SizeIs(1));
    EXPECT_THAT(logged("reconsiderAllConnections()"), SizeIs(1));
}

// Every network a configuration starts schedules a pass from the engine thread; far more of them than
// the queue has room for leave one pass waiting, which matches the first.
TEST_F(MatchmakerTest, AThousandNetworksStartedInOneEventLeaveOnePassOnTheQueue) {
    startEngine();
    matchmaker->clearReferences();
    matchmaker.reset();
    matchmaker.emplace(Matchmaker::create(1));
    queue.post(functionEvent([this] {
        managedAdapter("eth0", WIRED);
        for (int i = 0; i < 1000; ++i) insert(("Wired-" + std::to_string(i)).c_str(), WIRED);
    }));
    // The pass the event posts comes behind the first marker: a second one waits for it.
    ASSERT_TRUE(drain(queue));
    ASSERT_TRUE(drain(queue));

    // The logging thread writes the passes' lines a moment after they ran.
    auto passesLogged = [this](size_t count) {
        return tamsel::test::waitFor([&] { return logged("starting makeMatches...").size() >= count; });
    };
    EXPECT_TRUE(passesLogged(1));
    EXPECT_THAT(logged("starting makeMatches..."), SizeIs(1));
    EXPECT_THAT(attaches(), ElementsAre("attach eth0 Wired-0")) << readText(root.log());
    // A change after the pass ran schedules the next one.
    queue.post(functionEvent([this] { insert("Late", WIRED); }));
    ASSERT_TRUE(drain(queue));
    ASSERT_TRUE(drain(queue));
    EXPECT_TRUE(passesLogged(2));
    EXPECT_THAT(logged("starting makeMatches..."), SizeIs(2));
}

TEST_F(MatchmakerTest, RemovingANetworkBeforeTheCursorKeepsTheNextOneNext) {
    VelAdapter adapter = managedAdapter("wlan0", WIFI);
    Network first = insert("First", WIFI);
    insert("Second", WIFI);
    insert("Third", WIFI);
    matchmaker->makeMatches();
    matchmaker->unmatch(adapter, first);

    matchmaker->removeNetwork(first);
    matchmaker->makeMatches();

    EXPECT_THAT(attaches(), ElementsAre("attach wlan0 First", "attach wlan0 Second"));
    EXPECT_THAT(logged("unmatched adapter"),
                ElementsAre("unmatched adapter wlan0 and network First successfully."));
}

// An attempt that fails and gives the adapter back without asking to retry (an access point that
// is not there, an association timer run out) lets the next network have the adapter: networks the
// configuration starts while the failing one holds the adapter get their turn within one round, and
// none is passed over for good.
TEST_F(MatchmakerTest, AFailedAttemptPassesTheAdapterOnRoundTheNetworks) {
    VelAdapter adapter = managedAdapter("wlan0", WIFI);
    std::vector<Network> networks = {insert("Corp-WiFi", WIFI)};
    matchmaker->makeMatches();
    networks.push_back(insert("Home", WIFI));
    networks.push_back(insert("Guest", WIFI));
    matchmaker->makeMatches();
    ASSERT_THAT(attaches(), ElementsAre("attach wlan0 Corp-WiFi")) << "one match at a time";

    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::string held = attaches().back().substr(std::string("attach wlan0 ").size());
        for (const Network& network : networks)
            if (network.name().text() == held) matchmaker->unmatch(adapter, network);
        matchmaker->makeMatches();
    }

    // The cursor had come round to the only network when the two others joined: it is offered once
    // more, then each in turn.
    EXPECT_THAT(attaches(),
                ElementsAre("attach wlan0 Corp-WiFi", "attach wlan0 Corp-WiFi", "attach wlan0 Home",
                            "attach wlan0 Guest", "attach wlan0 Corp-WiFi", "attach wlan0 Home"));
}

TEST_F(MatchmakerTest, UnmatchAndRetryTriesTheSameNetworkFirst) {
    VelAdapter adapter = managedAdapter("wlan0", WIFI);
    Network first = insert("First", WIFI);
    insert("Second", WIFI);
    matchmaker->makeMatches();

    matchmaker->unmatchAndRetry(adapter, first);
    matchmaker->makeMatches();

    EXPECT_THAT(attaches(), ElementsAre("attach wlan0 First", "attach wlan0 First"));
}

TEST_F(MatchmakerTest, ATypesLastNetworkRemovedClosesItsPortsAndAMatchClosesTheOtherTypes) {
    VelAdapter wired = managedAdapter("eth0", WIRED);
    managedAdapter("wlan0", WIFI);
    Network lan = insert("Wired-LAN", WIRED);
    Network lab = insert("Lab-LAN", WIRED);
    matchmaker->makeMatches();
    EXPECT_THAT(callsOf("closePort"), ElementsAre("wlan0: closePort"));
    matchmaker->unmatch(wired, lan);
    calls().clear();

    matchmaker->removeNetwork(lan);
    EXPECT_THAT(callsOf("closePort"), IsEmpty());
    matchmaker->removeNetwork(lab);
    EXPECT_THAT(callsOf("closePort"), ElementsAre("eth0: closePort"));
}

TEST_F(MatchmakerTest, UnknownAndBadEntriesAreRefused) {
    // An adapter of no media the matchmaker serves stays out of its lists.
    VelAdapter odd = recordingAdapter("odd0", AdapterConstants::MEDIA_TYPE_NONE);
    matchmaker->impl()->newAdapter(odd);
    EXPECT_THAT(takeAssertions(), ElementsAre("adapter.mediaType() < AdapterConstants::MEDIA_TYPE_COUNT"));
    EXPECT_THAT(matchmaker->adapters(), IsEmpty());

    // Removing a network it never had.
    matchmaker->removeNetwork(makeNetwork("Ghost", WIRED));
    EXPECT_THAT(takeAssertions(), ElementsAre("proxy.exists()"));

    // With posting flag 0 a notice about an unknown adapter is only logged.
    VelAdapter stranger = recordingAdapter("eth9", WIRED);
    matchmaker->adapterManaged(stranger);
    EXPECT_THAT(logged("unknown adapter"),
                ElementsAre("matchmaker received managed for unknown adapter. adapter name = eth9"));
}

TEST_F(MatchmakerTest, SupportRemovedLetsTheAdaptersGoAndAddedManagesThemAgain) {
    managedAdapter("wlan0", WIFI);
    insert("Corp-WiFi", WIFI);
    calls().clear();

    matchmaker->removeMediaTypeSupport(WIFI);
    matchmaker->makeMatches();
    EXPECT_THAT(calls(), ElementsAre("wlan0: unmanage 1")) << "no match on an unsupported media type";

    calls().clear();
    matchmaker->addMediaTypeSupport(WIFI);
    matchmaker->makeMatches();
    EXPECT_THAT(calls(), ElementsAre("wlan0: manage", "wlan0: rsn 1", "attach wlan0 Corp-WiFi"));
    EXPECT_THAT(logged("support for media type"),
                ElementsAre("Adding support for media type 1 to matchmaker",
                            "Removing support for media type 1 from matchmaker",
                            "Adding support for media type 1 to matchmaker"));
}

TEST_F(MatchmakerTest, TheRepairRestartsTheWirelessAdaptersByTheirNamesRunTogether) {
    addAdapter("{A1}", WIFI);
    addAdapter("eth0", WIRED);
    addAdapter("{B2}", WIFI);

    matchmaker->resetAdapters();

    std::vector<std::string> started;
    for (const std::string& call : lab::recordedCalls())
        if (call.rfind("CreateProcessW(", 0) == 0) started.push_back(call);
    ASSERT_THAT(started, SizeIs(1));
    std::vector<std::string> lines = logged("calling ");
    ASSERT_THAT(lines, SizeIs(1));
    const std::string prefix = "calling ";
    const std::string suffix = " to restart the following adapters: {A1}{B2}";
    ASSERT_THAT(lines[0], HasSubstr(suffix));
    std::string program = lines[0].substr(prefix.size(), lines[0].size() - prefix.size() - suffix.size());
    EXPECT_THAT(program, ::testing::EndsWith("/nicbounce.exe"));
    EXPECT_EQ(started[0],
              "CreateProcessW(\"" + program + "\", \"\"" + program + "\" {A1}{B2}\", hidden) = 2");
    // No utility lies beside the test program.
    EXPECT_THAT(logged("CreateProcess failed"), ElementsAre(StartsWith("CreateProcess failed (2)")));

    base::failNext("CreateProcessW", 5, 1);
    matchmaker->resetAdapters();
    EXPECT_THAT(logged("CreateProcess failed"),
                ElementsAre(StartsWith("CreateProcess failed (2)"), StartsWith("CreateProcess failed (5)")));

    // Without wireless support there is nothing to repair.
    lab::clearCalls();
    matchmaker->removeMediaTypeSupport(WIFI);
    matchmaker->resetAdapters();
    EXPECT_THAT(lab::recordedCalls(), IsEmpty());
}

// A disabled client must not match its unmanaged adapters, and enabling it brings them back with
// their settings: the adapter says it is managed again and hears the RSN and radio settings.
TEST_F(MatchmakerTest, DisabledClientMatchesNothingAndEnablingManagesAgain) {
    VelAdapter adapter = managedAdapter("wlan0", WIFI);
    matchmaker->turnOffRadio();
    insert("Corp-WiFi", WIFI);
    calls().clear();

    matchmaker->disableClient();
    report(adapter, M::STATE_UNMANAGED);
    matchmaker->makeMatches();
    EXPECT_THAT(calls(), ElementsAre("wlan0: unmanage 1")) << "nothing attached while disabled";
    EXPECT_FALSE(matchmaker->isClientEnabled());

    calls().clear();
    matchmaker->enableClient();
    report(adapter, M::STATE_DISCONNECTED_LINK_UP);
    matchmaker->makeMatches();
    EXPECT_THAT(calls(), ElementsAre("wlan0: manage", "wlan0: rsn 1", "attach wlan0 Corp-WiFi"));
    EXPECT_TRUE(matchmaker->isRadioOn());
}

TEST_F(MatchmakerTest, AnAdapterReportedUnmanagedIsNoLongerOffered) {
    VelAdapter adapter = managedAdapter("wlan0", WIFI);
    insert("Corp-WiFi", WIFI);
    report(adapter, M::STATE_UNMANAGED);
    matchmaker->makeMatches();
    EXPECT_THAT(attaches(), IsEmpty());

    matchmaker->adapterManaged(adapter);
    matchmaker->makeMatches();
    EXPECT_THAT(attaches(), ElementsAre("attach wlan0 Corp-WiFi"));
}

TEST_F(MatchmakerTest, SwitchesReachTheAdaptersOfSupportedTypes) {
    addAdapter("wlan0", WIFI);
    addAdapter("eth0", WIRED);
    matchmaker->turnOffRadio();
    matchmaker->turnOnRadio();
    matchmaker->releaseAdapters();
    EXPECT_THAT(calls(),
                ElementsAre("wlan0: radio off", "wlan0: radio on", "eth0: unblock", "wlan0: unblock"));
    std::vector<VelAdapter> all = matchmaker->adapters();
    ASSERT_THAT(all, SizeIs(2));
    EXPECT_STREQ(all[0].symbolicName().text(), "eth0");
    EXPECT_THAT(logged("Adding new adapter"),
                ElementsAre("Adding new adapter to managed list. guid = wlan0, adapter = Recording adapter, "
                            "media type = wifi.",
                            "Adding new adapter to managed list. guid = eth0, adapter = Recording adapter, "
                            "media type = wired."));
}

}  // namespace
}  // namespace tamsel::test
