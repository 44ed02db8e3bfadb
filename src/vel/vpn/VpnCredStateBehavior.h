#pragma once
// What each credential state does with an event, as one table: rows {state, event, action, next}
// in the order of the system's table. An event without a row is unexpected in that state: the
// state's behaviour logs it and nothing changes.
#include <cstddef>
#include <cstdint>

class VpnCredStateMachine;

struct VpnCredTransition {
    std::int32_t state;
    std::int32_t event;
    std::int32_t action;
    std::int32_t next;
};

class VpnCredStateBehavior {
public:
    virtual ~VpnCredStateBehavior() = default;

    // One operation per state.
    virtual void credReady(VpnCredStateMachine& machine, std::int32_t event);
    virtual void credNotReady(VpnCredStateMachine& machine, std::int32_t event);
    virtual void waitingForCred(VpnCredStateMachine& machine, std::int32_t event);

    static const VpnCredTransition* rowOf(std::int32_t state, std::int32_t event);
    static const VpnCredTransition* rows(std::size_t* count);

private:
    static void apply(VpnCredStateMachine& machine, std::int32_t state, std::int32_t event,
                      const char* unexpectedLine);
};
