#pragma once
// Where the VPN client's events end on the event-queue thread: client events at the VPN manager,
// login banners at the tray programs' link. The engine's composition sets it; while none is set the
// events are dropped.
#include <cstdint>

#include "vel/string/Ascii.h"

class VpnEventReceiverInterface {
public:
    virtual void handleClientEvent(std::int32_t clientEvent) = 0;
    virtual void handleBanner(const Ascii& banner) = 0;

protected:
    ~VpnEventReceiverInterface() = default;
};

class VpnEventReceiver {
public:
    // On the event-queue thread; null clears it. The receiver outlives its setting.
    static void set(VpnEventReceiverInterface* receiver);
    static VpnEventReceiverInterface* get();
};
