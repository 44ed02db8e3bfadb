// Address attempts end to end: on the lab's DHCP through the library, and with scripted library
// answers where a test must stand inside a reconnect.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/lab/LabCalls.h"
#include "tests/vel/dhcp/DhcpTestSupport.h"

namespace tamsel::test {
namespace {

using C = DhcpConstants;

int callsOf(const std::string& function) {
    int count = 0;
    for (const std::string& line : lab::recordedCalls())
        if (line.rfind(function + "(", 0) == 0) ++count;
    return count;
}

struct LabCase {
    const char* name;
    LabBuilder::Attributes dhcp;  // empty: no <dhcp> element, nobody answers
    std::int32_t result;
    int reconnects;
    const char* logged;
};

TEST_F(DhcpTest, AttemptsOnTheLabEndWithTheAddressOrAFailureAfterFiveReconnects) {
    const LabCase cases[] = {
        {"answering server",
         {{"address", "192.0.2.10"}},
         C::RESULT_ADDRESS,
         1,
         "IP Address Received: 192.0.2.10"},
        {"static address",
         {{"address", "192.0.2.11"}, {"enabled", "false"}},
         C::RESULT_ADDRESS,
         0,
         "DHCP is not enabled"},
        {"answers the fifth",
         {{"address", "192.0.2.12"}, {"failures", "4"}},
         C::RESULT_ADDRESS,
         5,
         "IP Address Received: 192.0.2.12"},
        {"fails five times",
         {{"address", "192.0.2.13"}, {"failures", "5"}},
         C::RESULT_FAILED,
         5,
         "DHCP ipReconnect failure => -1(error)"},
        {"nobody answers", {}, C::RESULT_FAILED, 5, "DHCP ipReconnect failure => -1(error)"},
    };
    for (const LabCase& c : cases) {
        SCOPED_TRACE(c.name);
        LabBuilder builder;
        builder.wiredAdapter(1, "eth0");
        if (!c.dhcp.empty()) {
            LabBuilder::Attributes attributes = {{"on", "eth0"}};
            attributes.insert(attributes.end(), c.dhcp.begin(), c.dhcp.end());
            builder.add("dhcp", attributes);
        }
        builder.writeTo(root.path() + "/lab.xml");
        QX_INIT init = {nullptr, [](void*, int, const void*, int) {}};
        ASSERT_EQ(qxInit(&init), QX_OK);
        lab::clearCalls();
        size_t before = subscriber->results().size();

        DhcpManager manager = DhcpManager::create(subscriber, Ascii(LabBuilder::guid(1).c_str()));
        manager.start();
        ASSERT_TRUE(subscriber->waitFor(before + 1));
        settle();

        std::vector<RecordingDhcpSubscriberImpl::Result> results = subscriber->results();
        ASSERT_EQ(results.size(), before + 1);
        EXPECT_EQ(results.back().manager, manager.impl());
        EXPECT_EQ(results.back().result, c.result);
        EXPECT_EQ(manager.state(), C::STATE_FINISHED);
        EXPECT_EQ(callsOf("qxIpReconnect"), c.reconnects);
        std::string text = readText(root.log());
        EXPECT_GE(countOf(text, c.logged), 1) << text;
        manager.impl()->clearReferences();
        ASSERT_EQ(qxExit(), QX_OK);
    }
    // Each reconnect says so, tagged with the adapter's address.
    EXPECT_GE(countOf(readText(root.log()), "DHCP: Sending DHCP reconnect."), 16);
}

TEST_F(DhcpTest, AStopBeforeTheStartEndsTheAttemptWithoutAnyCall) {
    auto* machine = new ScriptedDhcpStateMachineImpl;
    DhcpManager manager = DhcpManager::create(subscriber, machine);
    manager.stop();
    manager.start();
    settle();
    EXPECT_EQ(manager.state(), C::STATE_FINISHED);
    EXPECT_EQ(manager.result(), C::RESULT_STOPPED);
    EXPECT_EQ(machine->reconnects, 0);
    EXPECT_TRUE(subscriber->results().empty());
    manager.impl()->clearReferences();
}

TEST_F(DhcpTest, ARestartReleasesTheAddressFirst) {
    auto* machine = new ScriptedDhcpStateMachineImpl;
    machine->script({true});
    DhcpManager manager = DhcpManager::create(subscriber, machine);
    manager.restart();
    ASSERT_TRUE(subscriber->waitFor(1));
    EXPECT_EQ(machine->releases, 1);
    EXPECT_EQ(machine->reconnects, 1);
    EXPECT_FALSE(machine->releaseFirst());
    EXPECT_EQ(subscriber->results().front().result, C::RESULT_ADDRESS);
    manager.impl()->clearReferences();
}

TEST_F(DhcpTest, AStopDuringAReconnectGivesStoppedOnceTheReconnectReturns) {
    auto* machine = new ScriptedDhcpStateMachineImpl;
    machine->script({true});
    machine->holdReconnect = true;
    DhcpManager manager = DhcpManager::create(subscriber, machine);
    manager.start();
    ASSERT_TRUE(machine->inReconnect.wait());
    manager.stop();
    EXPECT_EQ(manager.state(), C::STATE_STOP_PENDING);
    machine->letReconnectGo.raise();
    ASSERT_TRUE(subscriber->waitFor(1));
    settle();
    // The address that came back meanwhile does not count: the stop wins.
    ASSERT_EQ(subscriber->results().size(), 1u);
    EXPECT_EQ(subscriber->results().front().result, C::RESULT_STOPPED);
    EXPECT_EQ(machine->reconnects, 1);
    manager.impl()->clearReferences();
}

TEST_F(DhcpTest, AStartAfterAStopDuringAReconnectRunsANewSeriesWithoutAResultBetween) {
    auto* machine = new ScriptedDhcpStateMachineImpl;
    // The held reconnect fails; the new series fails twice more, then gets the address.
    machine->script({false, false, false, true});
    machine->holdReconnect = true;
    DhcpManager manager = DhcpManager::create(subscriber, machine);
    manager.start();
    ASSERT_TRUE(machine->inReconnect.wait());
    manager.stop();
    manager.start();
    EXPECT_EQ(manager.state(), C::STATE_RESTART_PENDING);
    machine->letReconnectGo.raise();
    ASSERT_TRUE(subscriber->waitFor(1));
    settle();
    ASSERT_EQ(subscriber->results().size(), 1u);
    EXPECT_EQ(subscriber->results().front().result, C::RESULT_ADDRESS);
    // The held one, then a series of its own: five tries were left for the fourth answer.
    EXPECT_EQ(machine->reconnects, 4);
    manager.impl()->clearReferences();
}

TEST_F(DhcpTest, AResultDeliveredAfterTheManagerWasDroppedReachesNobody) {
    // Dropped with all its references cleared, or only stopped and detached (its subscriber still
    // held): either way the result already on the engine queue changes nothing.
    for (bool clearAll : {true, false}) {
        SCOPED_TRACE(clearAll ? "references cleared" : "stopped and detached");
        auto* machine = new ScriptedDhcpStateMachineImpl;
        machine->script({true});
        DhcpManager manager = DhcpManager::create(subscriber, machine);
        Gate engineHeld;
        engine.post(engineHeld.event());
        ASSERT_TRUE(engineHeld.entered());
        manager.start();
        // The worker posts its result behind the held engine thread, then the adapter lets go.
        ASSERT_TRUE(drainAll(workers));
        EXPECT_EQ(manager.result(), C::RESULT_ADDRESS);
        if (clearAll) {
            manager.impl()->clearReferences();
        } else {
            manager.stopAndDetach();
        }
        manager.reset();
        engineHeld.open();
        settle();
        EXPECT_TRUE(subscriber->results().empty());
    }
}

TEST_F(DhcpTest, StopAndDetachRacingTheWorkerNeverPostsForAGoneManager) {
    // Run under the address sanitizer: a result posted with an emptied holder, or for a manager
    // already gone, shows up there or as a result heard below.
    constexpr int ROUNDS = 200;
    for (int round = 0; round < ROUNDS; ++round) {
        auto* machine = new ScriptedDhcpStateMachineImpl;
        machine->script({true});
        machine->enabled = (round % 2) == 0;
        // On the engine thread, as the adapter does it; the worker runs the attempt meanwhile.
        engine.post(functionEvent([&] {
            DhcpManager manager = DhcpManager::create(subscriber, machine);
            manager.start();
            if (round % 3 == 0) std::this_thread::yield();
            manager.stopAndDetach();
            // Leaving here drops the adapter's reference: a posted result would hold the last one.
        }));
        ASSERT_TRUE(drain(engine));
        settle();
        ASSERT_TRUE(subscriber->results().empty()) << "round " << round;
    }
}

}  // namespace
}  // namespace tamsel::test
