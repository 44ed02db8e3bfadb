#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "service/CompositionTable.h"
#include "service/EngineHolder.h"
#include "service/ServiceComposition.h"

namespace tamsel::test {
namespace {

// Records the steps a table runs, in order.
class Recorder {
public:
    void createA() { steps.push_back("create a"); }
    void createB() { steps.push_back("create b"); }
    void startA() { steps.push_back("start a"); }
    void startC() { steps.push_back("start c"); }
    void stopA() { steps.push_back("stop a"); }
    void stopB() { steps.push_back("stop b"); }
    void stopC() { steps.push_back("stop c"); }
    void releaseA() { steps.push_back("release a"); }
    void releaseB() { steps.push_back("release b"); }
    void releaseC() { steps.push_back("release c"); }
    std::vector<std::string> steps;
};

using R = CompositionRow<Recorder>;
constexpr int NONE = R::NONE;
constexpr std::array<R, 3> ROWS = {{
    {"a", &Recorder::createA, 20, &Recorder::startA, 30, &Recorder::stopA, 10, &Recorder::releaseA},
    {"b", &Recorder::createB, NONE, nullptr, 10, &Recorder::stopB, 30, &Recorder::releaseB},
    {"c", nullptr, 10, &Recorder::startC, 20, &Recorder::stopC, 20, &Recorder::releaseC},
}};
using Table = CompositionTable<Recorder>;

TEST(CompositionTableTest, CreatesInRowOrderAndRunsTheOtherStepsByPlace) {
    Recorder recorder;
    Table::create(recorder, ROWS);
    Table::start(recorder, ROWS);
    Table::stop(recorder, ROWS);
    Table::release(recorder, ROWS);
    EXPECT_EQ(recorder.steps,
              (std::vector<std::string>{"create a", "create b", "start c", "start a", "stop b", "stop c",
                                        "stop a", "release a", "release c", "release b"}));
}

TEST(CompositionTableTest, ATableWithAPlaceTakenTwiceOrAStepWithoutPlaceIsRefused) {
    static_assert(Table::placesUnique(ROWS));
    EXPECT_TRUE(Table::stepsPlaced(ROWS));
    constexpr std::array<R, 2> twice = {{
        {"a", nullptr, NONE, nullptr, 10, &Recorder::stopA, NONE, nullptr},
        {"b", nullptr, NONE, nullptr, 10, &Recorder::stopB, NONE, nullptr},
    }};
    static_assert(!CompositionTable<Recorder>::placesUnique(twice));
    constexpr std::array<R, 1> unplaced = {
        {{"a", nullptr, NONE, &Recorder::startA, NONE, nullptr, NONE, nullptr}}};
    EXPECT_FALSE((CompositionTable<Recorder>::stepsPlaced(unplaced)));
    constexpr std::array<R, 1> placedWithoutStep = {
        {{"a", nullptr, 10, nullptr, NONE, nullptr, NONE, nullptr}}};
    EXPECT_FALSE((CompositionTable<Recorder>::stepsPlaced(placedWithoutStep)));
}

// The members of a table in the order one column runs them.
template <typename Row>
std::vector<std::string> order(std::span<const Row> rows, int Row::*place) {
    std::vector<const Row*> placed;
    for (const Row& row : rows)
        if (row.*place != Row::NONE) placed.push_back(&row);
    std::sort(placed.begin(), placed.end(),
              [place](const Row* a, const Row* b) { return a->*place < b->*place; });
    std::vector<std::string> members;
    for (const Row* row : placed) members.push_back(row->member);
    return members;
}

// runEngine creates, starts, stops and releases in the system's orders, row by row.
TEST(CompositionTableTest, ServiceCompositionFollowsTheSystemsOrders) {
    EXPECT_TRUE(CompositionTable<ServiceComposition>::stepsPlaced(serviceCompositionRows()));
    EXPECT_TRUE(CompositionTable<EngineHolder>::stepsPlaced(engineHolderRows()));
    std::vector<std::string> created;
    for (const auto& row : serviceCompositionRows())
        if (row.create != nullptr) created.push_back(row.member);
    // The event queue's thread builds the engine at once, and the engine posts to the other queues.
    EXPECT_EQ(created, (std::vector<std::string>{"scan list", "engine manager", "timer list", "worker queue",
                                                 "alternate queue", "event queue", "one-time timer"}));
    EXPECT_EQ(order<ServiceCompositionRow>(serviceCompositionRows(), &ServiceCompositionRow::startPlace),
              (std::vector<std::string>{"one-time timer", "timer list", "datagram forwarder", "quit signal",
                                        "connection server", "client communication"}));
    EXPECT_EQ(order<ServiceCompositionRow>(serviceCompositionRows(), &ServiceCompositionRow::stopPlace),
              (std::vector<std::string>{"timer list", "one-time timer", "event queue", "client communication",
                                        "connection server", "alternate queue", "worker queue"}));
    EXPECT_EQ(order<ServiceCompositionRow>(serviceCompositionRows(), &ServiceCompositionRow::releasePlace),
              (std::vector<std::string>{"connection server", "client communication", "datagram forwarder",
                                        "quit signal", "one-time timer", "alternate queue", "worker queue",
                                        "event queue", "timer list", "engine manager", "scan list",
                                        "loop initializer interface"}));
}

// The engine holder builds and tears down in the system's orders, row by row.
TEST(CompositionTableTest, EngineHolderFollowsTheSystemsOrders) {
    std::vector<std::string> created;
    for (const auto& row : engineHolderRows())
        if (row.create != nullptr) created.push_back(row.member);
    EXPECT_EQ(created, (std::vector<std::string>{"VPN state machines", "network state machines", "matchmaker",
                                                 "smart-card list", "adapter list", "active configuration",
                                                 "single-sign-on context", "logon state machine",
                                                 "client communication", "VPN client", "soft token",
                                                 "power events", "credential requests"}));
    EXPECT_EQ(order<EngineHolderRow>(engineHolderRows(), &EngineHolderRow::startPlace),
              (std::vector<std::string>{"authentication library", "matchmaker", "logon state machine",
                                        "client communication", "engine registrations"}));
    EXPECT_EQ(
        order<EngineHolderRow>(engineHolderRows(), &EngineHolderRow::stopPlace),
        (std::vector<std::string>{"engine registrations", "client communication", "logon state machine",
                                  "active configuration", "matchmaker", "adapter list", "smart-card list",
                                  "authentication library", "VPN client", "soft token", "power events"}));
    EXPECT_EQ(order<EngineHolderRow>(engineHolderRows(), &EngineHolderRow::releasePlace),
              (std::vector<std::string>{
                  "power events", "soft token", "VPN client", "client communication", "logon state machine",
                  "single-sign-on context", "active configuration", "adapter list", "smart-card list",
                  "matchmaker", "VPN state machines", "credential requests", "network state machines"}));
}

}  // namespace
}  // namespace tamsel::test
