#include "vel/vpn/VpnEventReceiver.h"

namespace {

// Written and read on the event-queue thread only.
VpnEventReceiverInterface* g_receiver = nullptr;

}  // namespace

void VpnEventReceiver::set(VpnEventReceiverInterface* receiver) {
    g_receiver = receiver;
}

VpnEventReceiverInterface* VpnEventReceiver::get() {
    return g_receiver;
}
