#include "service/EngineHolder.h"

#include <array>

namespace {
using H = EngineHolder;
using Row = EngineHolderRow;
}  // namespace

// One row per member, in the order of creation; the release places run from the last member
// created to the first.
constexpr std::array<Row, 0> ENGINE_HOLDER_ROWS = {};
using Table = CompositionTable<H>;
static_assert(Table::placesUnique(ENGINE_HOLDER_ROWS));

std::span<const EngineHolderRow> engineHolderRows() {
    return ENGINE_HOLDER_ROWS;
}

EngineHolder* EngineHolder::build() {
    auto* holder = new EngineHolder;
    Table::create(*holder, ENGINE_HOLDER_ROWS);
    Table::start(*holder, ENGINE_HOLDER_ROWS);
    return holder;
}

void EngineHolder::tearDown() {
    Table::stop(*this, ENGINE_HOLDER_ROWS);
    Table::release(*this, ENGINE_HOLDER_ROWS);
}
