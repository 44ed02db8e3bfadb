#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/TestText.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/adapter/AdapterStateMachine.h"

namespace tamsel::test {
namespace {

using M = AdapterStateMachine;

// Every state 1 to 12 against every event 0 to 17, as the system's transition table gives them:
// "n" NONE's own line, "-" ignored, "u" unexpected, "S/A" new state and action, "rS/A" the same
// after a "received" line. One row goes beyond the system's table: AUTH_FAIL while associated (a
// failed key handshake) fails the authentication as it does while authenticating.
const char* const TABLE[] = {
    /* events:  0 1   2   3   4   5   6   7    8    9    10   11    12   13   14   15    16   17 */
    /*  1 */ "n -   -   2/3 -   u   -   u    u    u    u    u     u    u    u    u     u    u",
    /*  2 */ "n -   -   -   1/4 3/5 u   u    u    u    u    u     u    u    u    u     u    u",
    /*  3 */ "n 2/2 2/2 -   1/4 u   -   5/7  r3/0 r4/19 u   u     u    u    -    u     u    -",
    /*  4 */ "n 2/2 2/2 -   1/4 u   -   6/20 r3/19 - u    u     u    u    -    u     u    -",
    /*  5 */ "n 2/2 2/2 -   1/4 u   3/6 u    -    6/9  u    u     u    u    -    u     u    -",
    /*  6 */ "n 2/2 2/2 -   1/4 u   4/6 u    5/8  -    u    u     u    7/14 8/15 u     u    11/18",
    /*  7 */ "n 2/2 2/2 -   1/4 u   4/6 u    5/8  6/9  u    12/11 u    -    8/15 u     u    11/18",
    /*  8 */ "n 2/2 2/2 -   1/4 u   4/6 u    5/8  6/9  u    u     u    7/14 u    10/16 9/17 u",
    /*  9 */ "n 2/2 2/2 -   1/4 u   4/6 u    5/8  6/9  u    u     u    7/14 u    u     u    u",
    /* 10 */ "n 2/2 2/2 -   1/4 u   4/6 u    5/8  6/9  u    u     u    7/14 8/15 u     u    u",
    /* 11 */ "n 2/2 2/2 -   1/4 u   4/6 u    5/8  6/9  u    u     5/12 7/14 u    u     u    u",
    /* 12 */ "n 2/2 2/2 -   1/4 u   3/6 u    5/8  6/9  5/10 u     u    u    u    u     u    u",
};

const char* const UNEXPECTED_NAMES[] = {"",
                                        "Unbound",
                                        "Unmanaged",
                                        "Disconnected",
                                        "Disconnected",
                                        "Associating",
                                        "Associated",
                                        "Authenticating",
                                        "Authenticated",
                                        "NoIp",
                                        "Connected",
                                        "AuthFailed",
                                        "Countermeasures"};
const char* const STATE_TEXTS[] = {
    "none",        "unbound",     "unmanaged",      "disconnected link down", "disconnected link up",
    "associating", "associated",  "authenticating", "authenticated",          "no_ip",
    "connected",   "auth_failed", "countermeasures"};

class AdapterStateMachineTest : public RuntimeTest {
protected:
    // The lines logged since the last call.
    std::string newLines() {
        std::string text = readText(root.log());
        std::string lines = text.substr(std::min(m_read, text.size()));
        m_read = text.size();
        return lines;
    }
    size_t m_read = 0;
};

TEST_F(AdapterStateMachineTest, EveryStateAndEventAsTheTableSays) {
    for (int state = M::STATE_UNBOUND; state <= M::STATE_COUNTERMEASURES; ++state) {
        std::istringstream row(TABLE[state - 1]);
        for (int event = M::NONE; event < M::EVENT_COUNT; ++event) {
            std::string cell;
            row >> cell;
            M machine("A");
            machine.setState(state);
            machine.setAction(M::AUTH_FAIL_ACTION);
            newLines();
            machine.handleEvent(event);
            std::string lines = newLines();
            std::string where =
                std::string(STATE_TEXTS[state]) + " x " + M::eventName(event) + " (" + cell + ")";

            int next = state;
            int action = M::NO_ACTION;
            bool received = cell[0] == 'r';
            size_t slash = cell.find('/');
            if (slash != std::string::npos) {
                next = std::stoi(cell.substr(received ? 1 : 0, slash));
                action = std::stoi(cell.substr(slash + 1));
            }
            EXPECT_EQ(machine.state(), next) << where;
            EXPECT_EQ(machine.action(), action) << where;

            if (cell == "n") {
                EXPECT_EQ(countOf(lines, "A: adapter state machine handleEvent(NONE) - ignored"), 1) << where;
                EXPECT_EQ(countOf(lines, "handleEvent(): current state"), 0) << where;
                continue;
            }
            std::string current = std::string("A: AdapterStateMachine::handleEvent(): current state = ") +
                                  STATE_TEXTS[state] + ", event = " + M::eventName(event);
            EXPECT_EQ(countOf(lines, current), 1) << where << "\n" << lines;
            EXPECT_EQ(countOf(lines, std::string("A: AdapterStateMachine::handleEvent(): new state = ") +
                                         STATE_TEXTS[next] + "\n"),
                      1)
                << where;
            std::string unexpected = std::string(UNEXPECTED_NAMES[state]) +
                                     " - unexpected adapter state machine event - " + M::eventName(event);
            EXPECT_EQ(countOf(lines, unexpected), cell == "u" ? 1 : 0) << where;
            std::string receivedLine =
                std::string(state == M::STATE_DISCONNECTED_LINK_DOWN && event == M::LINK_UP
                                ? "Disconnected Link Down"
                                : "Disconnected") +
                " - received adapter state machine event - " + M::eventName(event);
            EXPECT_EQ(countOf(lines, receivedLine), received ? 1 : 0) << where;
        }
    }
}

TEST_F(AdapterStateMachineTest, ANewMachineIsUnboundAndEventsPastTheTableAreBrokenInvariants) {
    M machine("A");
    EXPECT_EQ(machine.state(), M::STATE_UNBOUND);
    EXPECT_EQ(machine.action(), M::NO_ACTION);
    machine.handleEvent(M::BOUND);
    machine.handleEvent(M::MANAGE);
    EXPECT_EQ(machine.state(), M::STATE_DISCONNECTED_LINK_DOWN);
    EXPECT_EQ(machine.action(), M::MANAGE_ACTION);

    machine.handleEvent(M::EVENT_COUNT);
    EXPECT_EQ(machine.state(), M::STATE_DISCONNECTED_LINK_DOWN);
    EXPECT_EQ(machine.action(), M::NO_ACTION);
    EXPECT_EQ(takeAssertions(), (std::vector<std::string>{"event", "event"}));
    EXPECT_STREQ(M::actionName(M::DISCONNECT_LINK_CHANGED_ACTION), "DISCONNECT_LINK_CHANGED_ACTION");
    EXPECT_STREQ(M::actionName(M::CONNECT_LINK_UP_ACTION), "?");
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"unknown action"});
}

}  // namespace
}  // namespace tamsel::test
