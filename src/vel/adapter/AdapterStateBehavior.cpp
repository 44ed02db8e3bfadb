#include "vel/adapter/AdapterStateBehavior.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"

namespace {

using M = AdapterStateMachine;
using T = AdapterTransition;

constexpr T row(M::State state, M::Event event, M::Action action, M::State next) {
    return {state, event, action, next, T::STATE_BEFORE_ACTION, T::TRANSITION, nullptr};
}
constexpr T ignored(M::State state, M::Event event) {
    return {state, event, M::NO_ACTION, state, T::STATE_BEFORE_ACTION, T::IGNORED, nullptr};
}
constexpr T received(M::State state, M::Event event, M::Action action, M::State next, const char* line) {
    return {state, event, action, next, T::STATE_BEFORE_ACTION, T::RECEIVED, line};
}

constexpr const char* DISCONNECTED_RECEIVED = "Disconnected - received adapter state machine event - %s";
constexpr const char* LINK_DOWN_RECEIVED =
    "Disconnected Link Down - received adapter state machine event - %s";

// Every state after "unmanaged" leaves for "unmanaged" on ADAPTER_ERROR and UNMANAGE, both with
// UNMANAGE_ACTION, and for "unbound" on UNBOUND.
#define LEAVING(state)                                                       \
    row(M::state, M::ADAPTER_ERROR, M::UNMANAGE_ACTION, M::STATE_UNMANAGED), \
        row(M::state, M::UNMANAGE, M::UNMANAGE_ACTION, M::STATE_UNMANAGED),  \
        row(M::state, M::UNBOUND, M::UNBOUND_ACTION, M::STATE_UNBOUND)

constexpr T TABLE[] = {
    // 1 unbound
    row(M::STATE_UNBOUND, M::BOUND, M::BOUND_ACTION, M::STATE_UNMANAGED),
    ignored(M::STATE_UNBOUND, M::ADAPTER_ERROR),
    ignored(M::STATE_UNBOUND, M::UNMANAGE),
    ignored(M::STATE_UNBOUND, M::UNBOUND),
    ignored(M::STATE_UNBOUND, M::DISCONNECT),
    // 2 unmanaged
    row(M::STATE_UNMANAGED, M::UNBOUND, M::UNBOUND_ACTION, M::STATE_UNBOUND),
    row(M::STATE_UNMANAGED, M::MANAGE, M::MANAGE_ACTION, M::STATE_DISCONNECTED_LINK_DOWN),
    ignored(M::STATE_UNMANAGED, M::ADAPTER_ERROR),
    ignored(M::STATE_UNMANAGED, M::UNMANAGE),
    ignored(M::STATE_UNMANAGED, M::BOUND),
    // 3 disconnected link down
    LEAVING(STATE_DISCONNECTED_LINK_DOWN),
    row(M::STATE_DISCONNECTED_LINK_DOWN, M::CONNECT, M::CONNECT_ACTION, M::STATE_ASSOCIATING),
    received(M::STATE_DISCONNECTED_LINK_DOWN, M::LINK_UP, M::DISCONNECT_LINK_CHANGED_ACTION,
             M::STATE_DISCONNECTED_LINK_UP, LINK_DOWN_RECEIVED),
    received(M::STATE_DISCONNECTED_LINK_DOWN, M::LINK_DOWN, M::NO_ACTION, M::STATE_DISCONNECTED_LINK_DOWN,
             DISCONNECTED_RECEIVED),
    ignored(M::STATE_DISCONNECTED_LINK_DOWN, M::BOUND),
    ignored(M::STATE_DISCONNECTED_LINK_DOWN, M::DISCONNECT),
    ignored(M::STATE_DISCONNECTED_LINK_DOWN, M::AUTH_SUCCESS),
    ignored(M::STATE_DISCONNECTED_LINK_DOWN, M::AUTH_FAIL),
    // 4 disconnected link up
    LEAVING(STATE_DISCONNECTED_LINK_UP),
    row(M::STATE_DISCONNECTED_LINK_UP, M::CONNECT, M::CONNECT_LINK_UP_ACTION, M::STATE_ASSOCIATED),
    received(M::STATE_DISCONNECTED_LINK_UP, M::LINK_DOWN, M::DISCONNECT_LINK_CHANGED_ACTION,
             M::STATE_DISCONNECTED_LINK_DOWN, DISCONNECTED_RECEIVED),
    ignored(M::STATE_DISCONNECTED_LINK_UP, M::BOUND),
    ignored(M::STATE_DISCONNECTED_LINK_UP, M::DISCONNECT),
    ignored(M::STATE_DISCONNECTED_LINK_UP, M::LINK_UP),
    ignored(M::STATE_DISCONNECTED_LINK_UP, M::AUTH_SUCCESS),
    ignored(M::STATE_DISCONNECTED_LINK_UP, M::AUTH_FAIL),
    // 5 associating
    LEAVING(STATE_ASSOCIATING),
    row(M::STATE_ASSOCIATING, M::DISCONNECT, M::DISCONNECT_ACTION, M::STATE_DISCONNECTED_LINK_DOWN),
    row(M::STATE_ASSOCIATING, M::LINK_UP, M::LINK_UP_ACTION, M::STATE_ASSOCIATED),
    ignored(M::STATE_ASSOCIATING, M::BOUND),
    ignored(M::STATE_ASSOCIATING, M::LINK_DOWN),
    ignored(M::STATE_ASSOCIATING, M::AUTH_SUCCESS),
    ignored(M::STATE_ASSOCIATING, M::AUTH_FAIL),
    // 6 associated
    LEAVING(STATE_ASSOCIATED),
    row(M::STATE_ASSOCIATED, M::DISCONNECT, M::DISCONNECT_ACTION, M::STATE_DISCONNECTED_LINK_UP),
    row(M::STATE_ASSOCIATED, M::LINK_DOWN, M::LINK_DOWN_ACTION, M::STATE_ASSOCIATING),
    row(M::STATE_ASSOCIATED, M::AUTH_REQUEST, M::AUTH_REQUEST_ACTION, M::STATE_AUTHENTICATING),
    row(M::STATE_ASSOCIATED, M::AUTH_SUCCESS, M::AUTH_SUCCESS_ACTION, M::STATE_AUTHENTICATED),
    // A personal network's key handshake fails here, with no authentication request before it: a
    // wrong key is an authentication failure at once, not a connection that times out.
    row(M::STATE_ASSOCIATED, M::AUTH_FAIL, M::AUTH_FAIL_ACTION, M::STATE_AUTH_FAILED),
    ignored(M::STATE_ASSOCIATED, M::BOUND),
    ignored(M::STATE_ASSOCIATED, M::LINK_UP),
    // 7 authenticating
    LEAVING(STATE_AUTHENTICATING),
    row(M::STATE_AUTHENTICATING, M::DISCONNECT, M::DISCONNECT_ACTION, M::STATE_DISCONNECTED_LINK_UP),
    row(M::STATE_AUTHENTICATING, M::LINK_DOWN, M::LINK_DOWN_ACTION, M::STATE_ASSOCIATING),
    row(M::STATE_AUTHENTICATING, M::LINK_UP, M::LINK_UP_ACTION, M::STATE_ASSOCIATED),
    row(M::STATE_AUTHENTICATING, M::COUNTERMEASURES_START, M::COUNTERMEASURES_START_ACTION,
        M::STATE_COUNTERMEASURES),
    row(M::STATE_AUTHENTICATING, M::AUTH_SUCCESS, M::AUTH_SUCCESS_ACTION, M::STATE_AUTHENTICATED),
    row(M::STATE_AUTHENTICATING, M::AUTH_FAIL, M::AUTH_FAIL_ACTION, M::STATE_AUTH_FAILED),
    ignored(M::STATE_AUTHENTICATING, M::BOUND),
    ignored(M::STATE_AUTHENTICATING, M::AUTH_REQUEST),
    // 8 authenticated
    LEAVING(STATE_AUTHENTICATED),
    row(M::STATE_AUTHENTICATED, M::DISCONNECT, M::DISCONNECT_ACTION, M::STATE_DISCONNECTED_LINK_UP),
    row(M::STATE_AUTHENTICATED, M::LINK_DOWN, M::LINK_DOWN_ACTION, M::STATE_ASSOCIATING),
    row(M::STATE_AUTHENTICATED, M::LINK_UP, M::LINK_UP_ACTION, M::STATE_ASSOCIATED),
    row(M::STATE_AUTHENTICATED, M::AUTH_REQUEST, M::AUTH_REQUEST_ACTION, M::STATE_AUTHENTICATING),
    row(M::STATE_AUTHENTICATED, M::IP_CONNECTIVITY, M::IP_CONNECTIVITY_ACTION, M::STATE_CONNECTED),
    row(M::STATE_AUTHENTICATED, M::IP_CONNECTIVITY_FAILS, M::IP_CONNECTIVITY_FAILS_ACTION, M::STATE_NO_IP),
    ignored(M::STATE_AUTHENTICATED, M::BOUND),
    // 9 no_ip
    LEAVING(STATE_NO_IP),
    row(M::STATE_NO_IP, M::DISCONNECT, M::DISCONNECT_ACTION, M::STATE_DISCONNECTED_LINK_UP),
    row(M::STATE_NO_IP, M::LINK_DOWN, M::LINK_DOWN_ACTION, M::STATE_ASSOCIATING),
    row(M::STATE_NO_IP, M::LINK_UP, M::LINK_UP_ACTION, M::STATE_ASSOCIATED),
    row(M::STATE_NO_IP, M::AUTH_REQUEST, M::AUTH_REQUEST_ACTION, M::STATE_AUTHENTICATING),
    ignored(M::STATE_NO_IP, M::BOUND),
    // 10 connected
    LEAVING(STATE_CONNECTED),
    row(M::STATE_CONNECTED, M::DISCONNECT, M::DISCONNECT_ACTION, M::STATE_DISCONNECTED_LINK_UP),
    row(M::STATE_CONNECTED, M::LINK_DOWN, M::LINK_DOWN_ACTION, M::STATE_ASSOCIATING),
    row(M::STATE_CONNECTED, M::LINK_UP, M::LINK_UP_ACTION, M::STATE_ASSOCIATED),
    row(M::STATE_CONNECTED, M::AUTH_REQUEST, M::AUTH_REQUEST_ACTION, M::STATE_AUTHENTICATING),
    row(M::STATE_CONNECTED, M::AUTH_SUCCESS, M::AUTH_SUCCESS_ACTION, M::STATE_AUTHENTICATED),
    ignored(M::STATE_CONNECTED, M::BOUND),
    // 11 auth_failed
    LEAVING(STATE_AUTH_FAILED),
    row(M::STATE_AUTH_FAILED, M::DISCONNECT, M::DISCONNECT_ACTION, M::STATE_DISCONNECTED_LINK_UP),
    row(M::STATE_AUTH_FAILED, M::LINK_DOWN, M::LINK_DOWN_ACTION, M::STATE_ASSOCIATING),
    row(M::STATE_AUTH_FAILED, M::LINK_UP, M::LINK_UP_ACTION, M::STATE_ASSOCIATED),
    row(M::STATE_AUTH_FAILED, M::HELD_TIMER_EXPIRED, M::HELD_TIMER_EXPIRED_ACTION, M::STATE_ASSOCIATING),
    row(M::STATE_AUTH_FAILED, M::AUTH_REQUEST, M::AUTH_REQUEST_ACTION, M::STATE_AUTHENTICATING),
    ignored(M::STATE_AUTH_FAILED, M::BOUND),
    // 12 countermeasures
    LEAVING(STATE_COUNTERMEASURES),
    row(M::STATE_COUNTERMEASURES, M::DISCONNECT, M::DISCONNECT_ACTION, M::STATE_DISCONNECTED_LINK_DOWN),
    row(M::STATE_COUNTERMEASURES, M::LINK_DOWN, M::LINK_DOWN_ACTION, M::STATE_ASSOCIATING),
    row(M::STATE_COUNTERMEASURES, M::LINK_UP, M::LINK_UP_ACTION, M::STATE_ASSOCIATED),
    row(M::STATE_COUNTERMEASURES, M::COUNTERMEASURES_STOP, M::COUNTERMEASURES_STOP_ACTION,
        M::STATE_ASSOCIATING),
    ignored(M::STATE_COUNTERMEASURES, M::BOUND),
};

#undef LEAVING

}  // namespace

const AdapterTransition* AdapterStateBehavior::rows(std::size_t* count) {
    *count = sizeof TABLE / sizeof TABLE[0];
    return TABLE;
}

const AdapterTransition* AdapterStateBehavior::rowOf(std::int32_t state, std::int32_t event) {
    for (const AdapterTransition& transition : TABLE)
        if (transition.state == state && transition.event == event) return &transition;
    return nullptr;
}

void AdapterStateBehavior::apply(AdapterStateMachine& machine, std::int32_t state, std::int32_t event,
                                 const char* name) {
    if (!LUM_ASSERT_TEXT(event >= M::ADAPTER_ERROR && event < M::EVENT_COUNT, "event")) return;
    const AdapterTransition* transition = rowOf(state, event);
    if (transition == nullptr) {
        logInfo(0, "%s - unexpected adapter state machine event - %s", name, M::eventName(event));
        return;
    }
    if (transition->kind == AdapterTransition::IGNORED) return;
    if (transition->kind == AdapterTransition::RECEIVED) logInfo(0, transition->line, M::eventName(event));
    machine.setState(transition->next);
    machine.setAction(transition->action);
}

void AdapterStateBehavior::unbound(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_UNBOUND, event, "Unbound");
}
void AdapterStateBehavior::unmanaged(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_UNMANAGED, event, "Unmanaged");
}
void AdapterStateBehavior::disconnectedLinkDown(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_DISCONNECTED_LINK_DOWN, event, "Disconnected");
}
void AdapterStateBehavior::disconnectedLinkUp(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_DISCONNECTED_LINK_UP, event, "Disconnected");
}
void AdapterStateBehavior::associating(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_ASSOCIATING, event, "Associating");
}
void AdapterStateBehavior::associated(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_ASSOCIATED, event, "Associated");
}
void AdapterStateBehavior::authenticating(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_AUTHENTICATING, event, "Authenticating");
}
void AdapterStateBehavior::authenticated(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_AUTHENTICATED, event, "Authenticated");
}
void AdapterStateBehavior::noIp(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_NO_IP, event, "NoIp");
}
void AdapterStateBehavior::connected(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_CONNECTED, event, "Connected");
}
void AdapterStateBehavior::authFailed(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_AUTH_FAILED, event, "AuthFailed");
}
void AdapterStateBehavior::countermeasures(AdapterStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_COUNTERMEASURES, event, "Countermeasures");
}
