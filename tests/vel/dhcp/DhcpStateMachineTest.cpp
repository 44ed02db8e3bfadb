// The machine's table, reached through the events that lead to each state, with the worker
// threads held so that no attempt runs meanwhile.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/vel/dhcp/DhcpTestSupport.h"

namespace tamsel::test {
namespace {

using C = DhcpConstants;

struct Row {
    std::vector<std::int32_t> path;  // the events that lead to the state
    std::int32_t event;
    std::int32_t state;
    std::int32_t result;
    bool pending;
    int attemptsPosted;  // counting those posted on the path
};

constexpr std::int32_t S = C::EVENT_START, P = C::EVENT_STOP, OK = C::EVENT_SUCCEEDED, NO = C::EVENT_FAILED,
                       N = C::EVENT_PENDING_NOTICED;
constexpr std::int32_t NONE = C::RESULT_NONE;

const Row ROWS[] = {
    // idle
    {{}, S, C::STATE_RUNNING, NONE, false, 1},
    {{}, P, C::STATE_FINISHED, C::RESULT_STOPPED, false, 0},
    {{}, OK, C::STATE_IDLE, NONE, false, 0},
    {{}, NO, C::STATE_IDLE, NONE, false, 0},
    {{}, N, C::STATE_IDLE, NONE, false, 0},
    // running
    {{S}, S, C::STATE_RESTART_PENDING, NONE, true, 1},
    {{S}, P, C::STATE_STOP_PENDING, NONE, true, 1},
    {{S}, OK, C::STATE_FINISHED, C::RESULT_ADDRESS, false, 1},
    {{S}, NO, C::STATE_FINISHED, C::RESULT_FAILED, false, 1},
    {{S}, N, C::STATE_RUNNING, NONE, false, 1},
    // running with restart pending
    {{S, S}, S, C::STATE_RESTART_PENDING, NONE, true, 1},
    {{S, S}, P, C::STATE_STOP_PENDING, NONE, true, 1},
    {{S, S}, OK, C::STATE_RESTART_PENDING, NONE, true, 1},
    {{S, S}, NO, C::STATE_RESTART_PENDING, NONE, true, 1},
    {{S, S}, N, C::STATE_RUNNING, NONE, false, 1},
    // running with stop pending
    {{S, P}, S, C::STATE_RESTART_PENDING, NONE, true, 1},
    {{S, P}, P, C::STATE_STOP_PENDING, NONE, true, 1},
    {{S, P}, OK, C::STATE_STOP_PENDING, NONE, true, 1},
    {{S, P}, NO, C::STATE_STOP_PENDING, NONE, true, 1},
    {{S, P}, N, C::STATE_FINISHED, C::RESULT_STOPPED, false, 1},
    // finished: nothing moves it any more
    {{S, OK}, S, C::STATE_FINISHED, C::RESULT_ADDRESS, false, 1},
    {{S, NO}, P, C::STATE_FINISHED, C::RESULT_FAILED, false, 1},
    {{P}, OK, C::STATE_FINISHED, C::RESULT_STOPPED, false, 0},
    {{P}, NO, C::STATE_FINISHED, C::RESULT_STOPPED, false, 0},
    {{P}, N, C::STATE_FINISHED, C::RESULT_STOPPED, false, 0},
};

TEST_F(DhcpTest, EveryEventInEveryStateFollowsTheTable) {
    for (const Row& row : ROWS) {
        SCOPED_TRACE(testing::Message() << "path of " << row.path.size() << " then event " << row.event
                                        << ", expecting state " << row.state);
        // Every worker thread held: posted attempts stay queued, and each holds the machine.
        std::vector<std::unique_ptr<Gate>> gates;
        for (int i = 0; i < WorkerQueueImpl::THREAD_COUNT; ++i) {
            gates.push_back(std::make_unique<Gate>());
            workers.post(gates.back()->event());
            ASSERT_TRUE(gates.back()->entered());
        }
        auto* machine = new ScriptedDhcpStateMachineImpl;
        DhcpManager manager = DhcpManager::create(subscriber, machine);
        int referencesBefore = machine->references();
        for (std::int32_t event : row.path) machine->handleEvent(event);
        machine->handleEvent(row.event);

        EXPECT_EQ(machine->state(), row.state);
        EXPECT_EQ(machine->result(), row.result);
        EXPECT_EQ(machine->pending(), row.pending);
        EXPECT_EQ(machine->references() - referencesBefore, row.attemptsPosted);

        // The queued attempts end without running or posting anything.
        manager.impl()->clearReferences();
        for (auto& gate : gates) gate->open();
        settle();
        EXPECT_EQ(machine->reconnects, 0);
        EXPECT_TRUE(subscriber->results().empty());
    }
}

TEST_F(DhcpTest, AnEventOutsideTheTableIsABrokenInvariantThatChangesNothing) {
    auto* machine = new ScriptedDhcpStateMachineImpl;
    DhcpManager manager = DhcpManager::create(subscriber, machine);
    machine->handleEvent(6);
    machine->handleEvent(0);
    EXPECT_EQ(takeAssertions(), (std::vector<std::string>{"handleEvent", "handleEvent"}));
    EXPECT_EQ(machine->state(), C::STATE_IDLE);
    EXPECT_EQ(machine->result(), C::RESULT_NONE);
    manager.impl()->clearReferences();
}

TEST_F(DhcpTest, AttachingASecondTimeIsABrokenInvariant) {
    auto* machine = new ScriptedDhcpStateMachineImpl;
    DhcpManager manager = DhcpManager::create(subscriber, machine);
    manager.impl()->attach();
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"!m_dhcpManagerProxy.exists()"});
    manager.impl()->clearReferences();
    EXPECT_TRUE(takeAssertions().empty());
}

}  // namespace
}  // namespace tamsel::test
