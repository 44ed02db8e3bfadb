#pragma once
// What each adapter state does with an event, as one table: rows {state, event, action, next} in
// the order of the system's transition table. An event of 1 to 17 without a row is "unexpected"
// in that state: it is logged and changes nothing.
#include <cstddef>
#include <cstdint>

#include "vel/adapter/AdapterStateMachine.h"

struct AdapterTransition {
    enum Kind : std::uint8_t {
        TRANSITION,  // new state and action
        IGNORED,     // nothing, not even a line
        RECEIVED,    // the row's line, then its state and action (the same state: no change)
    };
    // The machine sets the new state before the adapter performs the action.
    enum When : std::uint8_t { STATE_BEFORE_ACTION };

    std::int32_t state;
    std::int32_t event;
    std::int32_t action;
    std::int32_t next;
    When when;
    Kind kind;
    const char* line;  // RECEIVED rows: the line, with the event text for "%s"
};

class AdapterStateBehavior {
public:
    virtual ~AdapterStateBehavior() = default;

    // One operation per state, in state order.
    virtual void unbound(AdapterStateMachine& machine, std::int32_t event);
    virtual void unmanaged(AdapterStateMachine& machine, std::int32_t event);
    virtual void disconnectedLinkDown(AdapterStateMachine& machine, std::int32_t event);
    virtual void disconnectedLinkUp(AdapterStateMachine& machine, std::int32_t event);
    virtual void associating(AdapterStateMachine& machine, std::int32_t event);
    virtual void associated(AdapterStateMachine& machine, std::int32_t event);
    virtual void authenticating(AdapterStateMachine& machine, std::int32_t event);
    virtual void authenticated(AdapterStateMachine& machine, std::int32_t event);
    virtual void noIp(AdapterStateMachine& machine, std::int32_t event);
    virtual void connected(AdapterStateMachine& machine, std::int32_t event);
    virtual void authFailed(AdapterStateMachine& machine, std::int32_t event);
    virtual void countermeasures(AdapterStateMachine& machine, std::int32_t event);

    // The row of a state and event, or null when the event is unexpected there.
    static const AdapterTransition* rowOf(std::int32_t state, std::int32_t event);
    static const AdapterTransition* rows(std::size_t* count);

private:
    // "Unbound", "Disconnected", ...: the state's name in its "unexpected" line.
    static void apply(AdapterStateMachine& machine, std::int32_t state, std::int32_t event, const char* name);
};
