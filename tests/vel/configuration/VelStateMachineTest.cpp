#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/RecordingConfigurationSubscriber.h"
#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/configuration/Configuration.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

constexpr std::int32_t STOPPED_ = 1, STARTED_ = 2, CONNECTING_ = 3, CONNECTED_ = 4, ASSOCIATING_ = 5,
                       ATTACHED_ = 6, AUTHENTICATED_ = 7;

// A started configuration of three wired networks in one group, followed by a recording subscriber.
class VelStateMachineTest : public ConfigurationTest {
protected:
    void SetUp() override {
        ConfigurationTest::SetUp();
        configuration = Configuration::create("xml config");
        for (const char* name : {"A", "B", "C"}) members.push_back(makeNetwork(name));
        configuration.addGroup(makeGroup("Office", {members[0], members[1], members[2]}));
        subscriber = new RecordingConfigurationSubscriberImpl;
        configuration.subscribe(subscriber);
    }
    void TearDown() override {
        configuration.impl()->clearReferences();
        configuration.reset();
        members.clear();
        subscriber->ReferenceImpl::release();
        ConfigurationTest::TearDown();
    }

    void publish(size_t index, std::int32_t accessState) {
        networks->of(members[index]).publish(accessState);
    }

    Configuration configuration;
    std::vector<Network> members;
    RecordingConfigurationSubscriberImpl* subscriber = nullptr;
};

TEST_F(VelStateMachineTest, AccessSequencesGiveTopStatesAndTellFollowersOnlyOfChanges) {
    struct Step {
        size_t network;
        std::int32_t accessState;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::string> notices;  // after the one of START
        std::int32_t state;
    };
    const std::vector<Case> cases = {
        {"connect and stop again",
         {{0, CONNECTING_}, {0, CONNECTED_}, {0, STOPPED_}},
         {"event 3", "event 4", "event 2"},
         STARTED_},
        {"losing the connected one of three while two connect",
         {{0, CONNECTING_}, {1, CONNECTING_}, {2, ASSOCIATING_}, {0, CONNECTED_}, {0, STOPPED_}},
         {"event 3", "event 4", "event 3"},
         CONNECTING_},
        {"one of two connected ones leaves, then the other",
         {{0, CONNECTING_},
          {0, CONNECTED_},
          {1, AUTHENTICATED_},
          {1, CONNECTED_},
          {0, STOPPED_},
          {1, ATTACHED_}},
         {"event 3", "event 4", "event 2"},
         STARTED_},
        {"the connected one authenticates again",
         {{0, CONNECTING_}, {0, CONNECTED_}, {0, AUTHENTICATED_}},
         {"event 3", "event 4", "event 3"},
         CONNECTING_},
        {"the last connecting one attaches only",
         {{2, ASSOCIATING_}, {2, ATTACHED_}},
         {"event 3", "event 2"},
         STARTED_},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        configuration.start();
        EXPECT_THAT(subscriber->take(), ElementsAre("event 2"));
        for (const Step& step : c.steps) publish(step.network, step.accessState);
        EXPECT_EQ(subscriber->take(), c.notices);
        EXPECT_EQ(configuration.connectionStatus(), c.state);
        configuration.stop();
        EXPECT_EQ(configuration.connectionStatus(), STOPPED_);
        subscriber->take();
    }
}

TEST_F(VelStateMachineTest, LinesOfOneConnection) {
    configuration.start();
    publish(0, CONNECTING_);
    publish(0, CONNECTED_);
    EXPECT_THAT(
        logged("VelStateMachineImpl::handleEvent"),
        ElementsAre("Start  VelStateMachineImpl::handleEvent user event Configuration::START in state "
                    "Configuration::STOPPED",
                    // Each network announces its start while the state is already STARTED.
                    "Start  VelStateMachineImpl::handleEvent access Network::ACCESS_STARTED in "
                    "Configuration::STARTED state",
                    "Finish VelStateMachineImpl::handleEvent access Network::ACCESS_STARTED no state "
                    "change: Configuration::STARTED",
                    "Start  VelStateMachineImpl::handleEvent access Network::ACCESS_STARTED in "
                    "Configuration::STARTED state",
                    "Finish VelStateMachineImpl::handleEvent access Network::ACCESS_STARTED no state "
                    "change: Configuration::STARTED",
                    "Start  VelStateMachineImpl::handleEvent access Network::ACCESS_STARTED in "
                    "Configuration::STARTED state",
                    "Finish VelStateMachineImpl::handleEvent access Network::ACCESS_STARTED no state "
                    "change: Configuration::STARTED",
                    "Finish VelStateMachineImpl::handleEvent user event Configuration::START in the new "
                    "state: Configuration::STARTED",
                    "Start  VelStateMachineImpl::handleEvent access Network::ACCESS_CONNECTING in "
                    "Configuration::STARTED state",
                    "Finish VelStateMachineImpl::handleEvent access Network::ACCESS_CONNECTING in the new "
                    "state: Configuration::CONNECTING",
                    "Start  VelStateMachineImpl::handleEvent access Network::ACCESS_CONNECTED in "
                    "Configuration::CONNECTING state",
                    "Finish VelStateMachineImpl::handleEvent access Network::ACCESS_CONNECTED in the new "
                    "state: Configuration::CONNECTED"));
    EXPECT_THAT(logged("Number of networks in connecting state"),
                ElementsAre("Number of networks in connecting state = 0",
                            "Number of networks in connecting state = 0",
                            "Number of networks in connecting state = 0",
                            "Number of networks in connecting state = 1",
                            "Number of networks in connecting state = 0"));
    NetworkProxy connected = configuration.connectedNetwork();
    ASSERT_TRUE(connected.exists());
    EXPECT_EQ(connected.network(), members[0]);
}

TEST_F(VelStateMachineTest, UserEventsNotifyEveryTimeAndStopStopsTheNetworks) {
    configuration.start();
    configuration.start();
    EXPECT_THAT(subscriber->take(), ElementsAre("event 2", "event 2"));
    EXPECT_THAT(
        logged("user event Configuration::START"),
        ElementsAre(testing::_, testing::_, testing::_,
                    "Finish VelStateMachineImpl::handleEvent user event Configuration::START no state "
                    "change: Configuration::STARTED"));
    EXPECT_THAT(networks->takeCalls(), ElementsAre("start A", "start B", "start C"));

    publish(1, CONNECTING_);
    publish(1, CONNECTED_);
    subscriber->take();
    configuration.stop();
    // Stopping the connected network brings the state back to STARTED before the stop ends it.
    EXPECT_THAT(subscriber->take(), ElementsAre("event 2", "event 1"));
    EXPECT_THAT(networks->takeCalls(), ElementsAre("stop A", "stop B", "stop C"));
    for (const Network& network : members) EXPECT_FALSE(network.hasSubscriber(configuration.impl()));
    configuration.stop();
    EXPECT_THAT(subscriber->take(), ElementsAre("event 1"));
    EXPECT_THAT(networks->takeCalls(), IsEmpty());
}

TEST_F(VelStateMachineTest, BrokenInvariantsAreAssertedAndChangeNothing) {
    struct Case {
        const char* name;
        bool start;
        std::vector<std::int32_t> before;  // access states of network A first
        std::int32_t event;
        std::vector<std::string> assertions;
        std::int32_t state;
    };
    const std::vector<Case> cases = {
        {"ACCESS_STOPPED while stopped", false, {}, STOPPED_, {}, STOPPED_},
        {"ACCESS_STARTED while stopped",
         false,
         {},
         STARTED_,
         {"handleEvent - Network should be STOPPED"},
         STOPPED_},
        {"ACCESS_ATTACHED while stopped",
         false,
         {},
         ATTACHED_,
         {"handleEvent - Network should be STOPPED"},
         STOPPED_},
        {"ACCESS_CONNECTING while stopped",
         false,
         {},
         CONNECTING_,
         {"handleEvent - Network should be STOPPED"},
         STOPPED_},
        {"ACCESS_CONNECTED while stopped",
         false,
         {},
         CONNECTED_,
         {"handleEvent - Network should be STOPPED"},
         STOPPED_},
        {"connected without connecting",
         true,
         {},
         CONNECTED_,
         {"handleEvent - Network should have transitioned through CONNECTING"},
         STARTED_},
        {"an access state outside the table",
         true,
         {CONNECTING_},
         8,
         {"handleEvent unknown event"},
         CONNECTING_},
        {"an access state outside the table", true, {}, 0, {"handleEvent unknown event"}, STARTED_},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.start) configuration.start();
        for (std::int32_t state : c.before) publish(0, state);
        subscriber->take();
        configuration.impl()->networkAccessStateChanged(c.event, members[0]);
        EXPECT_EQ(takeAssertions(), c.assertions);
        EXPECT_EQ(configuration.connectionStatus(), c.state);
        EXPECT_THAT(subscriber->take(), IsEmpty());
        configuration.impl()->clearReferences();
        // Stopping a network that the lists still hold wrongly trips the invariant once more.
        takeAssertions();
    }
}

}  // namespace
}  // namespace tamsel::test
