#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/network/AccessStateMachineHost.h"
#include "vel/network/AccessStateMachineImpl.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

using C = NetworkConstants;
using A = AccessStateMachineImpl;

constexpr std::int32_t WIRED = 0;
constexpr std::int32_t WIRELESS = 1;

// A network as the access machine sees it, with an adapter that answers at once: what connect and
// disconnect make the adapter publish is given by the test. Timers are recorded by their timeout
// and expire when the test says so.
class RecordingAccess : public AccessStateMachineHost {
public:
    const char* networkName() override { return "Office"; }
    std::int32_t mediaType() override { return media; }
    std::int32_t connectionTimeout() override { return 40; }
    std::int32_t associationTimeout() override { return association; }

    void prepareAccess() override { calls.push_back("prepareAccess"); }
    void announceStarted() override { calls.push_back("announceStarted"); }
    void announceStopped() override { calls.push_back("announceStopped"); }
    void attachAdapter(const Reference& adapter) override {
        calls.push_back("attach");
        attached = adapter;
    }
    void detachAndMoveOn() override {
        calls.push_back("detachAndMoveOn");
        attached = Reference();
    }
    void detachAndStayNext() override {
        calls.push_back("detachAndStayNext");
        attached = Reference();
    }
    void connect() override {
        calls.push_back("connect");
        for (std::int32_t state : onConnect) machine.handleAdapterState(state);
    }
    void disconnect() override {
        calls.push_back("disconnect");
        for (std::int32_t state : onDisconnect) machine.handleAdapterState(state);
    }
    void reauthenticate() override { calls.push_back("reauthenticate"); }
    void authenticationSucceeded() override { calls.push_back("authenticationSucceeded"); }
    void authenticationFailed(std::int32_t detail) override {
        calls.push_back("authenticationFailed " + std::to_string(detail));
    }
    void linkLost() override { calls.push_back("linkLost"); }
    void accessStateChanged(std::int32_t accessState) override {
        calls.push_back("state " + std::to_string(accessState));
    }
    std::int64_t startTimer(std::int32_t seconds) override {
        calls.push_back("timer " + std::to_string(seconds));
        timers[++lastTimer] = seconds;
        return lastTimer;
    }
    void cancelTimer(std::int64_t id) override {
        calls.push_back("cancel " + std::to_string(timers.at(id)));
        timers.erase(id);
    }

    // Expires the running timer of this timeout.
    void expire(std::int32_t seconds) {
        for (auto& [id, timeout] : timers) {
            if (timeout == seconds) {
                std::int64_t expired = id;
                timers.erase(id);
                machine.timerExpired(expired);
                return;
            }
        }
        ADD_FAILURE() << "no timer of " << seconds << " s runs";
    }

    std::int32_t media = WIRED;
    std::int32_t association = 3;
    std::vector<std::int32_t> onConnect;
    std::vector<std::int32_t> onDisconnect;
    Reference attached;
    std::vector<std::string> calls;
    std::map<std::int64_t, std::int32_t> timers;
    std::int64_t lastTimer = 0;
    // Last, so that it goes first and can still cancel its timers here.
    AccessStateMachineImpl machine{*this};
};

class Adapter : public ReferenceImpl {};

class AccessStateMachineTest : public ConfigurationTest {
protected:
    void TearDown() override {
        access.reset();
        ConfigurationTest::TearDown();
    }

    Reference adapter() { return Reference(new Adapter, Reference::TAKE_OVER); }

    // A new network of this media driven into a state the way an attempt gets there; what that
    // took is forgotten.
    RecordingAccess& fresh(std::int32_t state, std::int32_t media) {
        access = std::make_unique<RecordingAccess>();
        access->media = media;
        reach(state);
        access->calls.clear();
        markLog();
        return *access;
    }
    void reach(std::int32_t state) {
        AccessStateMachineImpl& machine = access->machine;
        switch (state) {
            case C::ACCESS_STOPPED:
                break;
            case C::ACCESS_STARTED:
                machine.handleUserEvent(C::START);
                break;
            case C::ACCESS_ATTACHED:
                reach(C::ACCESS_STARTED);
                machine.handleUserEvent(C::ATTACH_ADAPTER, adapter());
                break;
            case C::ACCESS_ASSOCIATING:
                reach(C::ACCESS_ATTACHED);
                machine.handleUserEvent(C::CONNECT);
                break;
            case C::ACCESS_CONNECTING:
                reach(C::ACCESS_ATTACHED);
                machine.handleUserEvent(C::CONNECT);
                if (access->media != WIRED) machine.handleAdapterState(A::ADAPTER_ASSOCIATED);
                break;
            case C::ACCESS_AUTHENTICATED:
                reach(C::ACCESS_CONNECTING);
                machine.handleAdapterState(A::ADAPTER_AUTHENTICATED);
                break;
            case C::ACCESS_CONNECTED:
                reach(C::ACCESS_CONNECTING);
                machine.handleAdapterState(A::ADAPTER_CONNECTED);
                break;
        }
        ASSERT_EQ(machine.state(), state);
    }

    std::unique_ptr<RecordingAccess> access;
};

struct UserRow {
    std::int32_t state;
    std::int32_t media;
    std::int32_t event;
    std::vector<std::string> calls;
    std::int32_t next;
};

TEST_F(AccessStateMachineTest, UserEventsAttachConnectAndDropTheAttempt) {
    const std::vector<UserRow> rows = {
        {1, WIRED, C::START, {"prepareAccess", "state 2", "announceStarted"}, 2},
        {1, WIRED, C::STOP, {}, 1},
        {2, WIRED, C::STOP, {"announceStopped", "state 1"}, 1},
        {2, WIRED, C::DETACH_ADAPTER, {}, 2},
        {6, WIRED, C::STOP, {"detachAndMoveOn", "announceStopped", "state 1"}, 1},
        {6, WIRED, C::DETACH_ADAPTER, {"detachAndMoveOn", "state 2"}, 2},
        {6, WIRED, C::DISCONNECT, {"detachAndMoveOn", "state 2"}, 2},
        // Wired: only the duration timer. Wireless: both, and the association comes first.
        {6, WIRED, C::CONNECT, {"timer 40", "state 3", "connect"}, 3},
        {6, WIRELESS, C::CONNECT, {"timer 40", "timer 3", "state 5", "connect"}, 5},
        {6, WIRED, C::REAUTH, {}, 6},
        {5,
         WIRELESS,
         C::STOP,
         {"cancel 40", "cancel 3", "disconnect", "detachAndMoveOn", "announceStopped", "state 1"},
         1},
        {5,
         WIRELESS,
         C::DISCONNECT,
         {"cancel 40", "cancel 3", "disconnect", "detachAndMoveOn", "state 2"},
         2},
        {5, WIRELESS, C::REAUTH, {}, 5},
        {3, WIRED, C::STOP, {"cancel 40", "disconnect", "detachAndMoveOn", "announceStopped", "state 1"}, 1},
        {7, WIRED, C::DISCONNECT, {"cancel 40", "disconnect", "detachAndMoveOn", "state 2"}, 2},
        {3, WIRED, C::REAUTH, {"reauthenticate"}, 3},
        {7, WIRED, C::REAUTH, {"state 3", "reauthenticate"}, 3},
        {4, WIRED, C::STOP, {"disconnect", "detachAndMoveOn", "announceStopped", "state 1"}, 1},
        {4, WIRELESS, C::DISCONNECT, {"disconnect", "detachAndMoveOn", "state 2"}, 2},
        {4, WIRED, C::REAUTH, {"timer 40", "state 3", "reauthenticate"}, 3},
        {4, WIRED, C::CONNECT, {}, 4},
    };
    for (const UserRow& row : rows) {
        SCOPED_TRACE("state " + std::to_string(row.state) + " media " + std::to_string(row.media) +
                     " event " + std::to_string(row.event));
        RecordingAccess& network = fresh(row.state, row.media);
        bool changed = network.machine.handleUserEvent(row.event);
        EXPECT_THAT(network.calls, ElementsAreArray(row.calls));
        EXPECT_EQ(network.machine.state(), row.next);
        EXPECT_EQ(changed, row.next != row.state);
        if (row.next <= C::ACCESS_STARTED) {
            EXPECT_TRUE(network.timers.empty());
            EXPECT_FALSE(network.attached.m);
        }
    }
}

TEST_F(AccessStateMachineTest, AttachingWithoutAnAdapterIsABrokenInvariant) {
    fresh(C::ACCESS_STARTED, WIRED).machine.handleUserEvent(C::ATTACH_ADAPTER);
    EXPECT_THAT(takeAssertions(), ElementsAre("adapterProxy.exists()"));
    EXPECT_EQ(access->machine.state(), C::ACCESS_STARTED);
    EXPECT_THAT(access->calls, IsEmpty());
}

struct AdapterRow {
    std::int32_t state;
    std::int32_t media;
    std::int32_t adapterState;
    std::vector<std::string> calls;
    std::int32_t next;
};

TEST_F(AccessStateMachineTest, AdapterStatesCarryTheAttemptOnOrEndIt) {
    const std::vector<AdapterRow> rows = {
        // An adapter that disappears keeps the network first in line; an unmanaged one lets the
        // matchmaker move on.
        {6, WIRED, A::ADAPTER_UNBOUND, {"detachAndStayNext", "state 2"}, 2},
        {6, WIRED, A::ADAPTER_UNMANAGED, {"detachAndMoveOn", "state 2"}, 2},
        {6, WIRED, A::ADAPTER_LINK_DOWN, {"disconnect", "detachAndStayNext", "state 2"}, 2},
        {6, WIRELESS, A::ADAPTER_LINK_DOWN, {}, 6},
        {6, WIRED, A::ADAPTER_LINK_UP, {}, 6},
        {5, WIRELESS, A::ADAPTER_UNBOUND, {"cancel 40", "cancel 3", "detachAndStayNext", "state 2"}, 2},
        {5, WIRELESS, A::ADAPTER_UNMANAGED, {"cancel 40", "cancel 3", "detachAndMoveOn", "state 2"}, 2},
        {5, WIRELESS, A::ADAPTER_ASSOCIATED, {"cancel 3", "state 3"}, 3},
        {5, WIRELESS, A::ADAPTER_LINK_UP, {}, 5},
        {5, WIRELESS, A::ADAPTER_COUNTERMEASURES, {}, 5},
        {3, WIRED, A::ADAPTER_UNBOUND, {"cancel 40", "disconnect", "detachAndStayNext", "state 2"}, 2},
        {3, WIRED, A::ADAPTER_ASSOCIATING, {"cancel 40", "disconnect", "detachAndStayNext", "state 2"}, 2},
        // Reassociation waits twice the association timeout; the duration timer keeps running.
        {3, WIRELESS, A::ADAPTER_ASSOCIATING, {"timer 6", "state 5"}, 5},
        {3, WIRED, A::ADAPTER_AUTHENTICATED, {"authenticationSucceeded", "state 7"}, 7},
        {3, WIRED, A::ADAPTER_CONNECTED, {"cancel 40", "state 4"}, 4},
        {3, WIRED, A::ADAPTER_AUTH_FAILED, {"authenticationFailed 0"}, 3},
        {3, WIRELESS, A::ADAPTER_COUNTERMEASURES, {"timer 3", "state 5"}, 5},
        {3, WIRED, A::ADAPTER_NO_IP, {}, 3},
        {7, WIRED, A::ADAPTER_UNMANAGED, {"cancel 40", "disconnect", "detachAndMoveOn", "state 2"}, 2},
        {7, WIRELESS, A::ADAPTER_ASSOCIATING, {"timer 6", "state 5"}, 5},
        {7, WIRED, A::ADAPTER_ASSOCIATED, {"state 3"}, 3},
        {7, WIRED, A::ADAPTER_AUTHENTICATED, {"authenticationSucceeded"}, 7},
        {7, WIRED, A::ADAPTER_CONNECTED, {"cancel 40", "state 4"}, 4},
        {7, WIRED, A::ADAPTER_AUTH_FAILED, {"authenticationFailed 0", "state 3"}, 3},
        {7, WIRED, A::ADAPTER_LINK_UP, {}, 7},
        {4, WIRED, A::ADAPTER_UNBOUND, {"disconnect", "detachAndStayNext", "state 2"}, 2},
        // A lost link keeps the state; an automatic VPN hears of it.
        {4, WIRED, A::ADAPTER_LINK_DOWN, {"linkLost"}, 4},
        {4, WIRELESS, A::ADAPTER_LINK_UP, {"linkLost"}, 4},
        {4, WIRED, A::ADAPTER_ASSOCIATING, {"disconnect", "detachAndStayNext", "state 2", "linkLost"}, 2},
        {4, WIRELESS, A::ADAPTER_ASSOCIATING, {"timer 40", "timer 6", "state 5", "linkLost"}, 5},
        {4, WIRED, A::ADAPTER_NO_IP, {"timer 40", "state 3"}, 3},
        {4, WIRED, A::ADAPTER_AUTH_FAILED, {"authenticationFailed 0", "timer 40", "state 3"}, 3},
        {4, WIRED, A::ADAPTER_AUTHENTICATED, {"authenticationSucceeded"}, 4},
        {4, WIRED, A::ADAPTER_CONNECTED, {}, 4},
    };
    for (const AdapterRow& row : rows) {
        SCOPED_TRACE("state " + std::to_string(row.state) + " media " + std::to_string(row.media) +
                     " adapter " + std::to_string(row.adapterState));
        RecordingAccess& network = fresh(row.state, row.media);
        network.machine.handleAdapterState(row.adapterState);
        EXPECT_THAT(network.calls, ElementsAreArray(row.calls));
        EXPECT_EQ(network.machine.state(), row.next);
    }
}

// A file may give the longest timeout a timer runs; twice that is no timer.
TEST_F(AccessStateMachineTest, ReassociationWaitsNoLongerThanATimerRuns) {
    for (std::int32_t state : {C::ACCESS_CONNECTING, C::ACCESS_AUTHENTICATED}) {
        SCOPED_TRACE(state);
        RecordingAccess& network = fresh(state, WIRELESS);
        network.association = 600;
        network.machine.handleAdapterState(A::ADAPTER_ASSOCIATING);
        EXPECT_THAT(network.calls, ElementsAre("timer 600", "state 5"));
    }
}

TEST_F(AccessStateMachineTest, AuthenticationFailuresCarryTheirDetail) {
    fresh(C::ACCESS_CONNECTING, WIRED).machine.handleAdapterState(A::ADAPTER_AUTH_FAILED, 3);
    EXPECT_THAT(access->calls, ElementsAre("authenticationFailed 3"));
}

struct UnexpectedRow {
    std::int32_t state;
    std::int32_t adapterState;
    const char* assertion;
};

TEST_F(AccessStateMachineTest, AdapterStatesThatCannotHappenAreBrokenInvariants) {
    const std::vector<UnexpectedRow> rows = {
        {2, A::ADAPTER_LINK_UP, "Should not receive adapter state when no adapter is attached"},
        {1, A::ADAPTER_UNBOUND, "Should not receive adapter state when no adapter is attached"},
        {6, A::ADAPTER_NONE, "Unexpected adapter state in the ATTACHED state"},
        {6, A::ADAPTER_ASSOCIATED, "Unexpected adapter state in the ATTACHED state"},
        {5, A::ADAPTER_AUTHENTICATED, "Unexpected adapter state in the ASSOCIATING state"},
        {5, A::ADAPTER_NONE, "Unexpected adapter state in the ASSOCIATING state"},
        {3, A::ADAPTER_NONE, "Unexpected adapter state in the CONNECTING state"},
        {7, A::ADAPTER_NONE, "Unexpected adapter state in the CONNECTED state"},
        {4, A::ADAPTER_NONE, "Unexpected adapter state in the CONNECTED state"},
    };
    for (const UnexpectedRow& row : rows) {
        SCOPED_TRACE("state " + std::to_string(row.state) + " adapter " + std::to_string(row.adapterState));
        RecordingAccess& network = fresh(row.state, WIRELESS);
        network.machine.handleAdapterState(row.adapterState);
        EXPECT_THAT(takeAssertions(), ElementsAre(row.assertion));
        EXPECT_EQ(network.machine.state(), row.state);
        EXPECT_THAT(network.calls, IsEmpty());
        if (row.state == C::ACCESS_ASSOCIATING) {
            EXPECT_THAT(logged("unexpected state"),
                        ElementsAre("unexpected state = " + std::to_string(row.adapterState)));
        }
    }
}

TEST_F(AccessStateMachineTest, AWirelessAttemptThatDoesNotAssociateIsDroppedWhenTheAssociationTimerExpires) {
    RecordingAccess& network = fresh(C::ACCESS_ASSOCIATING, WIRELESS);
    network.expire(3);
    EXPECT_THAT(network.calls, ElementsAre("cancel 40", "disconnect", "detachAndMoveOn", "state 2"));
    EXPECT_EQ(network.machine.state(), C::ACCESS_STARTED);
    EXPECT_TRUE(network.timers.empty());
    EXPECT_THAT(logged("AccessStateMachine"),
                ElementsAre("Network Office: AccessStateMachine current state = ACCESS_ASSOCIATING, received "
                            "userEvent = DISCONNECT",
                            "Network Office: AccessStateMachine new state = ACCESS_STARTED",
                            // The detach finds the attempt already dropped.
                            "Network Office: AccessStateMachine current state = ACCESS_STARTED, received "
                            "userEvent = DETACH_ADAPTER",
                            "Network Office: AccessStateMachine new state = ACCESS_STARTED"));
    EXPECT_THAT(logged("timer"), ElementsAre("Network Office: The association timer expired",
                                             "Network Office: Clearing the connection duration timer",
                                             "Network Office: Clearing the association timer"));
}

TEST_F(AccessStateMachineTest, AConnectionThatTakesTooLongIsDroppedWhenTheDurationTimerExpires) {
    RecordingAccess& network = fresh(C::ACCESS_AUTHENTICATED, WIRED);
    network.expire(40);
    EXPECT_THAT(network.calls, ElementsAre("disconnect", "detachAndMoveOn", "state 2"));
    EXPECT_EQ(network.machine.state(), C::ACCESS_STARTED);
    EXPECT_THAT(logged("expired"), ElementsAre("Network Office: The connection duration timer expired"));
}

TEST_F(AccessStateMachineTest, ATimerTheMachineDoesNotHoldIsAGhost) {
    RecordingAccess& network = fresh(C::ACCESS_CONNECTING, WIRED);
    network.machine.timerExpired(99);
    EXPECT_THAT(takeAssertions(), ElementsAre("Access State Machine: ghost timer expired"));
    EXPECT_EQ(network.machine.state(), C::ACCESS_CONNECTING);
    EXPECT_THAT(network.calls, IsEmpty());
}

TEST_F(AccessStateMachineTest, AnAdapterAnsweringInsideConnectFindsTheAttemptUnderWay) {
    RecordingAccess& network = fresh(C::ACCESS_ATTACHED, WIRELESS);
    network.onConnect = {A::ADAPTER_ASSOCIATING, A::ADAPTER_ASSOCIATED, A::ADAPTER_AUTHENTICATED,
                         A::ADAPTER_CONNECTED};
    network.machine.handleUserEvent(C::CONNECT);
    EXPECT_THAT(network.calls, ElementsAre("timer 40", "timer 3", "state 5", "connect", "cancel 3", "state 3",
                                           "authenticationSucceeded", "state 7", "cancel 40", "state 4"));
    EXPECT_EQ(network.machine.state(), C::ACCESS_CONNECTED);
    EXPECT_TRUE(network.timers.empty());
    // Each nested adapter state logs where it left the machine; the CONNECT ended where the last
    // one said, and says it no more.
    EXPECT_THAT(logged("AccessStateMachine new state"),
                ElementsAre("Network Office: AccessStateMachine new state = ACCESS_ASSOCIATING",
                            "Network Office: AccessStateMachine new state = ACCESS_CONNECTING",
                            "Network Office: AccessStateMachine new state = ACCESS_AUTHENTICATED",
                            "Network Office: AccessStateMachine new state = ACCESS_CONNECTED"));
}

TEST_F(AccessStateMachineTest, TheAdaptersLastStatesWhileDisconnectingStillFindItAttached) {
    RecordingAccess& network = fresh(C::ACCESS_CONNECTING, WIRED);
    network.onDisconnect = {A::ADAPTER_LINK_UP};
    network.machine.handleUserEvent(C::STOP);
    EXPECT_THAT(takeAssertions(), IsEmpty());
    EXPECT_EQ(network.machine.state(), C::ACCESS_STOPPED);
}

TEST_F(AccessStateMachineTest, AWiredConnectLogsItsNewStateAndAWirelessOneDoesNot) {
    fresh(C::ACCESS_ATTACHED, WIRED).machine.handleUserEvent(C::CONNECT);
    EXPECT_THAT(logged("new state"),
                ElementsAre("Network Office: AccessStateMachine new state = ACCESS_CONNECTING"));
    fresh(C::ACCESS_ATTACHED, WIRELESS).machine.handleUserEvent(C::CONNECT);
    EXPECT_THAT(logged("new state"), IsEmpty());
    EXPECT_THAT(logged("Starting"),
                ElementsAre("Network Office: Starting the connection duration timer. Timeout = 40 seconds",
                            "Network Office: Starting the association timer. Timeout = 3 seconds"));
}

TEST_F(AccessStateMachineTest, ADestroyedMachineCancelsItsTimers) {
    RecordingAccess& network = fresh(C::ACCESS_ASSOCIATING, WIRELESS);
    network.machine.clearReferences();
    EXPECT_THAT(network.calls, ElementsAre("cancel 40", "cancel 3"));
    EXPECT_FALSE(network.machine.durationTimerRuns());
    EXPECT_FALSE(network.machine.associationTimerRuns());
}

}  // namespace
}  // namespace tamsel::test
