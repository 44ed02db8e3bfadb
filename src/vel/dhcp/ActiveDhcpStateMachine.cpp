#include "vel/dhcp/ActiveDhcpStateMachine.h"

#include "runtime/lum/Log.h"

void ActiveDhcpStateMachineImpl::attempt() {
    if (!isDhcpEnabled()) {
        logDebug("DHCP is not enabled");
        handleEvent(DhcpConstants::EVENT_SUCCEEDED);
        return;
    }
    for (int tries = 0; tries < DhcpConstants::RECONNECT_TRIES; ++tries) {
        bool succeeded = reconnect();
        // A stop or restart that came while the request was out wins over its answer.
        if (pending()) {
            handleEvent(DhcpConstants::EVENT_PENDING_NOTICED);
            return;
        }
        if (succeeded) {
            handleEvent(DhcpConstants::EVENT_SUCCEEDED);
            return;
        }
    }
    handleEvent(DhcpConstants::EVENT_FAILED);
}
