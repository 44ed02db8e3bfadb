#pragma once
// The service's start-up and shut-down orders as tables: one row per member, with the step that
// creates it, the one that starts it, the one that stops it and the one that releases it, and the
// member's place in each of the last three orders. Members are created in row order; starts,
// stops and releases run by place, ascending, because the system stops in an order of its own,
// not the reverse of the start. Places are spaced by ten so that a new member takes its place
// between two others in one new row, without renumbering the rest.
#include <cstddef>
#include <span>

template <typename Owner>
struct CompositionRow {
    using Step = void (Owner::*)();
    static constexpr int NONE = 0;

    const char* member;
    Step create;
    int startPlace;
    Step start;
    int stopPlace;
    Step stop;
    int releasePlace;
    Step release;
};

template <typename Owner>
class CompositionTable {
public:
    using Row = CompositionRow<Owner>;
    using Rows = std::span<const Row>;

    // No place is taken twice within one order: a table that breaks this does not compile.
    static constexpr bool placesUnique(Rows rows) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].startPlace < 0 || rows[i].stopPlace < 0 || rows[i].releasePlace < 0) return false;
            for (std::size_t j = 0; j < i; ++j) {
                if (clash(rows[i].startPlace, rows[j].startPlace) ||
                    clash(rows[i].stopPlace, rows[j].stopPlace) ||
                    clash(rows[i].releasePlace, rows[j].releasePlace))
                    return false;
            }
        }
        return true;
    }

    // Every step given has a place and every place a step (the compiler cannot compare steps).
    static bool stepsPlaced(Rows rows) {
        for (const Row& row : rows) {
            if (!placed(row.startPlace, row.start) || !placed(row.stopPlace, row.stop) ||
                !placed(row.releasePlace, row.release))
                return false;
        }
        return true;
    }

    static void create(Owner& owner, Rows rows) {
        for (const Row& row : rows)
            if (row.create != nullptr) (owner.*row.create)();
    }
    static void start(Owner& owner, Rows rows) { inPlaceOrder(owner, rows, &Row::startPlace, &Row::start); }
    static void stop(Owner& owner, Rows rows) { inPlaceOrder(owner, rows, &Row::stopPlace, &Row::stop); }
    static void release(Owner& owner, Rows rows) {
        inPlaceOrder(owner, rows, &Row::releasePlace, &Row::release);
    }

private:
    static bool placed(int place, typename Row::Step step) {
        return (place == Row::NONE) == (step == nullptr);
    }
    static constexpr bool clash(int a, int b) { return a != Row::NONE && a == b; }

    static void inPlaceOrder(Owner& owner, Rows rows, int Row::*place, typename Row::Step Row::*step) {
        int last = Row::NONE;
        for (;;) {
            // The row with the smallest place after the last one run.
            const Row* next = nullptr;
            for (const Row& row : rows) {
                int p = row.*place;
                if (p > last && (next == nullptr || p < next->*place)) next = &row;
            }
            if (next == nullptr) return;
            if (next->*step != nullptr) (owner.*(next->*step))();
            last = next->*place;
        }
    }
};
