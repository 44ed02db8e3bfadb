#include "vel/vpn/VpnCredStateBehavior.h"

#include <iterator>

#include "runtime/lum/Log.h"
#include "vel/vpn/VpnCredStateMachine.h"

namespace {

using M = VpnCredStateMachine;

// clang-format off
constexpr VpnCredTransition TABLE[] = {
    {M::STATE_CREDENTIAL_READY,       M::CLEAR_CREDENTIAL,    M::CLEAR_CREDENTIAL_ACTION, M::STATE_CREDENTIAL_NOT_READY},
    {M::STATE_CREDENTIAL_READY,       M::CREDENTIAL_REQUEST,  M::SEND_TO_VPN_ACTION,      M::STATE_CREDENTIAL_READY},
    {M::STATE_CREDENTIAL_NOT_READY,   M::CREDENTIAL_REQUEST,  M::ASK_GUI_ACTION,          M::STATE_WAITING_FOR_CREDENTIAL},
    {M::STATE_CREDENTIAL_NOT_READY,   M::CREDENTIAL_RESPONSE, M::NO_ACTION,               M::STATE_CREDENTIAL_READY},
    {M::STATE_WAITING_FOR_CREDENTIAL, M::CANCEL_REQUEST,      M::CANCEL_ACTION,           M::STATE_CREDENTIAL_NOT_READY},
    {M::STATE_WAITING_FOR_CREDENTIAL, M::CREDENTIAL_RESPONSE, M::SEND_TO_VPN_ACTION,      M::STATE_CREDENTIAL_READY},
};
// clang-format on

}  // namespace

const VpnCredTransition* VpnCredStateBehavior::rows(std::size_t* count) {
    *count = std::size(TABLE);
    return TABLE;
}

const VpnCredTransition* VpnCredStateBehavior::rowOf(std::int32_t state, std::int32_t event) {
    for (const VpnCredTransition& row : TABLE)
        if (row.state == state && row.event == event) return &row;
    return nullptr;
}

void VpnCredStateBehavior::apply(VpnCredStateMachine& machine, std::int32_t state, std::int32_t event,
                                 const char* unexpectedLine) {
    const VpnCredTransition* row = rowOf(state, event);
    if (row == nullptr) {
        logInfo(0, unexpectedLine, M::eventName(event));
        return;
    }
    machine.setState(row->next);
    machine.setAction(row->action);
}

void VpnCredStateBehavior::credReady(VpnCredStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_CREDENTIAL_READY, event,
          "credReady - unexpected VPN credentials state machine event - %s");
}

void VpnCredStateBehavior::credNotReady(VpnCredStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_CREDENTIAL_NOT_READY, event,
          "credNotReady - unexpected VPN credentials state machine event - %s");
}

void VpnCredStateBehavior::waitingForCred(VpnCredStateMachine& machine, std::int32_t event) {
    apply(machine, M::STATE_WAITING_FOR_CREDENTIAL, event,
          "waitingForCred - unexpected VPN credentials state machine event - %s");
}
