#include "vel/vpn/TamselVpnEvent.h"

#include "runtime/lum/Log.h"
#include "vel/multithread/EventQueue.h"
#include "vel/vpn/VpnClientEvent.h"
#include "vel/vpn/VpnEventReceiver.h"

void TamselVpnEventImpl::run() {
    if (m_clientEvent == CLIENT_NONE) return;
    VpnEventReceiverInterface* receiver = VpnEventReceiver::get();
    if (receiver == nullptr) {
        logDebug("No VPN manager for vpnClientEvent %d", m_clientEvent);
        return;
    }
    receiver->handleClientEvent(m_clientEvent);
}

void TamselVpnEventImpl::post(std::int32_t clientEvent) {
    EventQueue queue = EventQueue::Instance();
    if (queue.isNull()) return;  // already asserted
    queue.post(MessageEvent(new TamselVpnEventImpl(clientEvent)));
}
