#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/RecordingConfigurationSubscriber.h"
#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/configuration/Configuration.h"
#include "vel/configuration/MetaConnection.h"
#include "vel/exception/InvalidGroupException.h"
#include "vel/exception/InvalidNetworkException.h"
#include "vel/reference/HandleOf.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

std::vector<std::string> namesOf(ElementVector vector) {
    std::vector<std::string> names;
    for (const Reference& element : vector.snapshot()) {
        ElementInterface* p = element.m;
        // Groups and networks both answer to a name.
        Network network = handleOf<Network>(p);
        names.emplace_back(network.impl()->m_name.text());
    }
    return names;
}

std::vector<std::string> groupNamesOf(ElementVector vector) {
    std::vector<std::string> names;
    for (const Reference& element : vector.snapshot())
        names.emplace_back(handleOf<NetworkGroup>(element.m).name().text());
    return names;
}

// A global group {g1} and the groups Office {o1, o2} and Home {h1}; Office becomes active.
class ConfigurationOperationsTest : public ConfigurationTest {
protected:
    void SetUp() override {
        ConfigurationTest::SetUp();
        configuration = Configuration::create("xml config");
        g1 = makeNetwork("g1");
        o1 = makeNetwork("o1");
        o2 = makeNetwork("o2", AdapterConstants::MEDIA_TYPE_80211);
        h1 = makeNetwork("h1");
        configuration.addGroup(makeGroup("Office", {o1, o2}));
        configuration.addGroup(makeGroup("", {g1}, true));
        configuration.addGroup(makeGroup("Home", {h1}));
    }
    void TearDown() override {
        configuration.impl()->clearReferences();
        configuration.reset();
        g1.reset();
        o1.reset();
        o2.reset();
        h1.reset();
        ConfigurationTest::TearDown();
    }

    void start() {
        configuration.start();
        networks->takeCalls();
    }
    std::string activeName() {
        NetworkGroupProxy active = configuration.activeGroup();
        return active.exists() ? active.networkGroup().name().text() : "<none>";
    }

    Configuration configuration;
    Network g1, o1, o2, h1;
};

TEST_F(ConfigurationOperationsTest, GroupsAreChosenAndListed) {
    NetworkGroupProxy global = configuration.globalGroup();
    ASSERT_TRUE(global.exists());
    EXPECT_TRUE(global.networkGroup().isGlobal());
    EXPECT_EQ(activeName(), "Office");
    EXPECT_THAT(groupNamesOf(configuration.groupList()), ElementsAre("Office", "Home"));
    EXPECT_THAT(namesOf(configuration.networksInGroup("Home")), ElementsAre("g1", "h1"));
    EXPECT_THAT(namesOf(configuration.allNetworks()), ElementsAre("o1", "o2", "g1", "h1"));
    EXPECT_THROW(configuration.networksInGroup("Nowhere"), InvalidGroupException);

    // With two groups of one name the last one is found.
    NetworkGroup second = makeGroup("Home", {});
    configuration.addGroup(second);
    NetworkGroupProxy found = configuration.findGroup("Home");
    ASSERT_TRUE(found.exists());
    EXPECT_EQ(found.networkGroup(), second);
    EXPECT_FALSE(configuration.findGroup("Nowhere").exists());

    start();
    EXPECT_THAT(networks->takeCalls(), IsEmpty());
    configuration.stop();
    networks->takeCalls();
    EXPECT_THAT(namesOf(configuration.globalNetworks()), ElementsAre("g1"));
}

TEST_F(ConfigurationOperationsTest, StartRunsTheGlobalThenTheActiveNetworks) {
    configuration.start();
    EXPECT_THAT(networks->takeCalls(), ElementsAre("start g1", "start o1", "start o2"));
    for (const Network& network : {g1, o1, o2}) EXPECT_TRUE(network.hasSubscriber(configuration.impl()));
    EXPECT_FALSE(h1.hasSubscriber(configuration.impl()));
}

TEST_F(ConfigurationOperationsTest, OperationsRefuseUnknownNamesBeforeChangingAnything) {
    struct Case {
        const char* name;
        std::function<void(Configuration&)> operation;
        bool groupFault;  // else a network fault
    };
    const std::vector<Case> cases = {
        {"setActiveGroup", [](Configuration& c) { c.setActiveGroup("Nowhere"); }, true},
        {"removeGroup of the active group", [](Configuration& c) { c.removeGroup(makeGroup("Office", {})); },
         true},
        {"removeGroup of the global group", [](Configuration& c) { c.removeGroup(makeGroup("", {})); }, true},
        {"removeGroup of a group not held", [](Configuration& c) { c.removeGroup(makeGroup("Lab", {})); },
         true},
        {"addNetwork to a missing group", [](Configuration& c) { c.addNetwork("Nowhere", makeNetwork("x")); },
         true},
        {"addNetwork of a name the group has",
         [](Configuration& c) { c.addNetwork("Office", makeNetwork("o1")); }, false},
        {"removeNetwork from a missing group", [](Configuration& c) { c.removeNetwork("Nowhere", "o1"); },
         true},
        {"removeNetwork of a missing network", [](Configuration& c) { c.removeNetwork("Office", "h1"); },
         false},
        {"changeNetworkPriority in a missing group",
         [](Configuration& c) { c.changeNetworkPriority("Nowhere", makeNetwork("x"), 1); }, true},
        {"connectToNetwork outside the active group", [](Configuration& c) { c.connectToNetwork("h1"); },
         false},
        {"selectNetwork outside the active group", [](Configuration& c) { c.selectNetwork("h1"); }, false},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.groupFault) {
            EXPECT_THROW(c.operation(configuration), InvalidGroupException);
        } else {
            EXPECT_THROW(c.operation(configuration), InvalidNetworkException);
        }
        EXPECT_THAT(networks->takeCalls(), IsEmpty());
        EXPECT_THAT(matchmaker->takeCalls(), IsEmpty());
        EXPECT_EQ(activeName(), "Office");
        EXPECT_EQ(configuration.groups().length(), 3);
        EXPECT_THAT(namesOf(configuration.networksInGroup("Office")), ElementsAre("g1", "o1", "o2"));
        EXPECT_EQ(configuration.connectionMode(), 1);
    }
}

TEST_F(ConfigurationOperationsTest, SetActiveGroupRestartsTheNetworks) {
    start();
    configuration.disconnect();
    networks->takeCalls();
    configuration.setActiveGroup("Home");
    EXPECT_THAT(networks->takeCalls(), ElementsAre("start g1", "start h1"));
    EXPECT_EQ(configuration.connectionMode(), 1);
    configuration.setActiveGroup("Home");
    EXPECT_THAT(networks->takeCalls(), IsEmpty());
    configuration.setActiveGroup("Office");
    EXPECT_THAT(networks->takeCalls(), ElementsAre("stop g1", "stop h1", "start g1", "start o1", "start o2"));
    EXPECT_EQ(activeName(), "Office");

    // A group that is neither active nor global can go; its networks are not touched.
    NetworkGroupProxy home = configuration.findGroup("Home");
    ASSERT_TRUE(home.exists());
    configuration.removeGroup(home.networkGroup());
    EXPECT_FALSE(configuration.findGroup("Home").exists());
    EXPECT_THAT(networks->takeCalls(), IsEmpty());
}

TEST_F(ConfigurationOperationsTest, AddAndRemoveNetwork) {
    start();
    Network quiet = makeNetwork("quiet");
    configuration.addNetwork("Home", quiet);
    EXPECT_THAT(networks->takeCalls(), IsEmpty()) << "a network outside the active group does not start";
    configuration.addNetwork("Office", makeNetwork("o3"));
    EXPECT_THAT(networks->takeCalls(), ElementsAre("start o3"));
    configuration.disconnect();
    networks->takeCalls();
    configuration.addNetwork("Office", makeNetwork("o4"));
    EXPECT_THAT(networks->takeCalls(), IsEmpty()) << "a manual mode starts nothing by itself";
    EXPECT_THAT(namesOf(configuration.networksInGroup("Office")), ElementsAre("g1", "o1", "o2", "o3", "o4"));

    configuration.enableAutoconnect();
    networks->takeCalls();
    configuration.removeNetwork("Office", "o3");
    EXPECT_THAT(networks->takeCalls(), ElementsAre("stop o3"));
    EXPECT_THAT(namesOf(configuration.networksInGroup("Office")), ElementsAre("g1", "o1", "o2", "o4"));
    configuration.removeNetwork("Home", "quiet");
    EXPECT_THAT(networks->takeCalls(), IsEmpty());
}

TEST_F(ConfigurationOperationsTest, ManualConnectionAndBack) {
    o2.setConnectionTimeout(25);
    o2.setAssociationTimeout(7);
    start();
    configuration.connectToNetwork("o2");
    EXPECT_THAT(networks->takeCalls(), ElementsAre("stop g1", "stop o1", "stop o2", "start o2"));
    EXPECT_EQ(o2.getAssociationTimeout(), 25)
        << "a manual connection may associate as long as it may connect";
    EXPECT_EQ(configuration.connectionMode(), 2);
    NetworkProxy manual = configuration.manualNetwork();
    ASSERT_TRUE(manual.exists());
    EXPECT_EQ(manual.network(), o2);

    configuration.enableAutoconnect();
    EXPECT_EQ(o2.getAssociationTimeout(), 7);
    EXPECT_EQ(configuration.connectionMode(), 1);
    EXPECT_FALSE(configuration.manualNetwork().exists());
    EXPECT_THAT(networks->takeCalls(), ElementsAre("stop o2", "start g1", "start o1", "start o2"));

    // Removing the manual network ends the manual connection too.
    configuration.connectToNetwork("g1");
    networks->takeCalls();
    configuration.removeNetwork("", "g1");
    EXPECT_FALSE(configuration.manualNetwork().exists());
    EXPECT_EQ(g1.getAssociationTimeout(), 3);
    EXPECT_THAT(networks->takeCalls(), ElementsAre("stop g1"));
}

TEST_F(ConfigurationOperationsTest, DisconnectSelectAndReconsider) {
    start();
    configuration.selectNetwork("o1");
    configuration.selectNetwork("g1");
    EXPECT_THAT(matchmaker->takeCalls(), ElementsAre("addNetwork o1", "addNetwork g1"));
    configuration.reconsiderAllConnections();
    EXPECT_THAT(networks->takeCalls(), ElementsAre("disconnect g1", "disconnect o1", "disconnect o2"));
    EXPECT_THAT(logged("reconsiderAllConnections"), ElementsAre("reconsiderAllConnections()"));
    configuration.disconnect();
    EXPECT_THAT(networks->takeCalls(), ElementsAre("stop g1", "stop o1", "stop o2"));
    EXPECT_EQ(configuration.connectionMode(), 2);
    EXPECT_EQ(configuration.connectionStatus(), Configuration::STARTED);
}

TEST_F(ConfigurationOperationsTest, NetworkPriorityKinds) {
    o1.setOrigin(NetworkImpl::ORIGIN_ADMINISTRATOR);
    o2.setOrigin(NetworkImpl::ORIGIN_USER);
    struct Case {
        const char* name;
        const char* network;
        std::int32_t kind;
        std::vector<std::string> order;  // of Office afterwards; empty: InvalidNetworkException
    };
    const std::vector<Case> cases = {
        {"nothing", "o1", 0, {"o1", "o2"}},
        {"bottom for a new network", "n", 1, {"o1", "o2", "n"}},
        {"bottom for one already there", "o1", 1, {}},
        {"top for a new network goes before the first user network", "n", 2, {"o1", "n", "o2"}},
        {"top for one already there", "o2", 2, {}},
        {"increment moves towards the end", "o1", 3, {"o2", "o1"}},
        {"increment of the last stays", "o2", 3, {"o1", "o2"}},
        {"decrement moves towards the front", "o2", 4, {"o2", "o1"}},
        {"decrement of the first stays", "o1", 4, {"o1", "o2"}},
        {"increment of a missing one", "n", 3, {}},
        {"decrement of a missing one", "n", 4, {}},
        {"an unknown kind", "o1", 5, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NetworkGroup office = makeGroup("Office", {o1, o2});
        Configuration fresh = Configuration::create("xml config");
        fresh.addGroup(office);
        Network network = std::string(c.network) == "n" ? makeNetwork("n") : office.findNetwork(c.network);
        if (c.order.empty()) {
            EXPECT_THROW(fresh.changeNetworkPriority("Office", network, c.kind), InvalidNetworkException);
            continue;
        }
        fresh.changeNetworkPriority("Office", network, c.kind);
        EXPECT_EQ(namesOf(office.networkVector()), c.order);
    }
    // Kind 0 asks nothing, not even for the group.
    EXPECT_NO_THROW(configuration.changeNetworkPriority("Nowhere", o1, 0));
}

TEST_F(ConfigurationOperationsTest, UserControlPolicyTellsTheMatchmakerTheMedia) {
    struct Case {
        bool wireless;
        bool wired;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {true, true, {"addMediaTypeSupport 1", "addMediaTypeSupport 0"}},
        {false, true, {"removeMediaTypeSupport 1", "addMediaTypeSupport 0"}},
        {true, false, {"addMediaTypeSupport 1", "removeMediaTypeSupport 0"}},
        {false, false, {"removeMediaTypeSupport 1", "removeMediaTypeSupport 0"}},
    };
    for (const Case& c : cases) {
        UserControlPolicy policy = UserControlPolicy::create();
        policy.setAllowWireless(c.wireless);
        policy.setAllowWired(c.wired);
        configuration.setUserControlPolicy(policy);
        EXPECT_EQ(matchmaker->takeCalls(), c.calls) << c.wireless << c.wired;
        EXPECT_EQ(configuration.policy().userControlPolicy(), policy);
    }
    // Without a matchmaker the calls do nothing and the client counts as enabled.
    matchmaker.reset();
    configuration.setUserControlPolicy(UserControlPolicy::create());
    configuration.selectNetwork("o1");
    EXPECT_TRUE(ConfigurationMatchmaker::isClientEnabled());
    matchmaker.emplace();
    matchmaker->setClientEnabled(false);
    EXPECT_FALSE(ConfigurationMatchmaker::isClientEnabled());
}

TEST_F(ConfigurationOperationsTest, MetaConnectionsWithoutTheirNetworkAreDropped) {
    ElementVector entries = ElementVector::create();
    for (MetaConnection entry : {MetaConnection::create("Office", "o1", "corp", true),
                                 MetaConnection::create("", "g1", "anywhere", false),
                                 MetaConnection::create("Office", "gone", "old", false),
                                 MetaConnection::create("Nowhere", "o1", "lost", false),
                                 MetaConnection::create("", "gone", "stale", true)}) {
        entries.add(entry.m);
    }
    configuration.vpnManager().setMetaConnections(entries);
    std::vector<std::string> kept;
    for (const Reference& element : configuration.metaConnections().snapshot()) {
        kept.emplace_back(handleOf<MetaConnection>(element.m).connectionEntry().text());
    }
    EXPECT_THAT(kept, ElementsAre("corp", "anywhere"));
    EXPECT_THAT(logged(), ElementsAre("Unknown network in metaConnections. Group: Office Network: gone",
                                      "Removing VPN old for network: gone, group: Office",
                                      "Unknown network in metaConnections. Group: Nowhere Network: o1",
                                      "Removing VPN lost for network: o1, group: Nowhere",
                                      "Unknown network in metaConnections. Group: Global Network: gone",
                                      "Removing VPN stale for network: gone, group: "));
    EXPECT_EQ(entries.length(), 5) << "the reader's list stays as it was";
}

TEST_F(ConfigurationOperationsTest, ConnectedNetworkStartsTheVpnWhenAllowedAndCapable) {
    struct Case {
        bool allowVpn;
        bool capable;
        std::vector<std::int32_t> events;
    };
    const std::vector<Case> cases = {
        {true, true, {1}},
        {true, false, {}},
        {false, true, {}},
        {false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.allowVpn) + std::to_string(c.capable));
        Configuration fresh = Configuration::create("xml config");
        Network network = makeNetwork("n");
        fresh.addGroup(makeGroup("Office", {network}));
        UserControlPolicy policy = UserControlPolicy::create();
        policy.setAllowVpn(c.allowVpn);
        fresh.setUserControlPolicy(policy);
        vpns->capable = c.capable;
        fresh.start();
        networks->of(network).publish(3);
        networks->of(network).publish(4);
        EXPECT_EQ(vpns->takeNetworkEvents(), c.events);
        // Other access states never reach the VPN.
        networks->of(network).publish(7);
        networks->of(network).publish(1);
        EXPECT_THAT(vpns->takeNetworkEvents(), IsEmpty());
        fresh.impl()->clearReferences();
    }
}

TEST_F(ConfigurationOperationsTest, NetworkNoticesReachEveryFollowerInOrder) {
    auto* first = new RecordingConfigurationSubscriberImpl;
    auto* second = new RecordingConfigurationSubscriberImpl;
    configuration.subscribe(first);
    configuration.subscribe(second);
    start();
    first->take();
    second->take();
    markLog();

    // The adapter is passed on as it came, never looked into.
    alignas(8) static const unsigned char someAdapter[16] = {};
    const VelAdapter& adapter = *reinterpret_cast<const VelAdapter*>(someAdapter);
    o1.impl()->notifyAdapterState(5, adapter);
    configuration.impl()->networkCredentialRequest(o2, ElementVector::create(), 2, 3, 1, "Your password");
    configuration.impl()->changePasswordResult(7, 1);
    for (RecordingConfigurationSubscriberImpl* s : {first, second}) {
        EXPECT_THAT(s->take(), ElementsAre("networkState 5 o1", "credentialRequest o2 2 3 1 Your password",
                                           "changePasswordResult 7 1"));
        EXPECT_EQ(s->lastAdapter, &adapter);
    }
    EXPECT_THAT(
        logged(),
        ElementsAre("Entered ConfigurationImpl::networkCredentialRequest",
                    "ConfigurationImpl::networkCredentialRequest: Sending cred request to subscriber 0",
                    "ConfigurationImpl::networkCredentialRequest: Sending cred request to subscriber 1"));

    configuration.unsubscribe(first);
    configuration.stop();
    EXPECT_THAT(first->take(), IsEmpty());
    EXPECT_THAT(second->take(), ElementsAre("event 1"));
    first->ReferenceImpl::release();
    second->ReferenceImpl::release();
}

TEST_F(ConfigurationOperationsTest, ClearingStopsTheNetworksAndLetsEveryoneGo) {
    auto* follower = new RecordingConfigurationSubscriberImpl;
    configuration.subscribe(follower);
    start();
    networks->of(o1).publish(3);
    networks->of(o1).publish(4);
    configuration.connectToNetwork("o1");
    networks->takeCalls();
    follower->take();
    configuration.impl()->clearReferences();
    EXPECT_THAT(networks->takeCalls(), ElementsAre("stop o1"));
    EXPECT_EQ(configuration.connectionStatus(), Configuration::STOPPED);
    EXPECT_FALSE(configuration.manualNetwork().exists());
    EXPECT_FALSE(configuration.connectedNetwork().exists());
    EXPECT_EQ(o1.getAssociationTimeout(), 3);
    EXPECT_EQ(follower->references(), 1) << "the configuration let its follower go";
    EXPECT_EQ(vpns->referencesCleared, 1) << "and its VPN machines let theirs go";
    for (const Network& network : {g1, o1, o2}) EXPECT_FALSE(network.hasSubscriber(configuration.impl()));
    follower->ReferenceImpl::release();
}

TEST_F(ConfigurationOperationsTest, GroupsAreReplacedWhileStopped) {
    ElementVector groups = ElementVector::create();
    NetworkGroup lab = makeGroup("Lab", {makeNetwork("l1")});
    NetworkGroup everywhere = makeGroup("", {makeNetwork("e1")}, true);
    groups.add(everywhere.m);
    groups.add(lab.m);
    configuration.setGroups(groups);
    EXPECT_EQ(activeName(), "Lab");
    NetworkGroupProxy global = configuration.globalGroup();
    ASSERT_TRUE(global.exists());
    EXPECT_EQ(global.networkGroup(), everywhere);
}

TEST_F(ConfigurationOperationsTest, ReadersFaultsAreAsserted) {
    struct Case {
        const char* name;
        std::function<void(Configuration&)> fault;
        std::vector<std::string> assertions;
    };
    const std::vector<Case> cases = {
        {"a second global group",
         [](Configuration& c) {
             c.addGroup(makeGroup("", {}, true));
             c.addGroup(makeGroup("", {}, true));
         },
         {"currentGroup == m_globalGroupProxy.networkGroup()"}},
        {"a group added twice",
         [](Configuration& c) {
             NetworkGroup group = makeGroup("Lab", {});
             c.addGroup(group);
             c.addGroup(group);
         },
         {"addResult == ElementVector::ADDED"}},
        {"a global group added while running",
         [](Configuration& c) {
             c.addGroup(makeGroup("Lab", {}));
             c.start();
             c.addGroup(makeGroup("", {}, true));
         },
         {"getState() == Configuration::STOPPED"}},
        // The global group is dropped and chosen again, while running: both steps are faults.
        {"groups set while running",
         [](Configuration& c) {
             c.addGroup(makeGroup("", {}, true));
             c.start();
             c.setGroups(c.groups());
         },
         {"getState() == Configuration::STOPPED", "getState() == Configuration::STOPPED"}},
    };
    for (const Case& c : cases) {
        Configuration fresh = Configuration::create("xml config");
        c.fault(fresh);
        EXPECT_EQ(takeAssertions(), c.assertions) << c.name;
        fresh.impl()->clearReferences();
    }
}

}  // namespace
}  // namespace tamsel::test
