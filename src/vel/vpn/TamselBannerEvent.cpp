#include "vel/vpn/TamselBannerEvent.h"

#include "runtime/lum/Log.h"
#include "vel/multithread/EventQueue.h"
#include "vel/vpn/VpnEventReceiver.h"

void TamselBannerEventImpl::run() {
    VpnEventReceiverInterface* receiver = VpnEventReceiver::get();
    if (receiver == nullptr) {
        logDebug("No tray link for the VPN banner");
        return;
    }
    receiver->handleBanner(m_banner);
}

void TamselBannerEventImpl::post(const Ascii& banner) {
    EventQueue queue = EventQueue::Instance();
    if (queue.isNull()) return;  // already asserted
    queue.post(MessageEvent(new TamselBannerEventImpl(banner)));
}
