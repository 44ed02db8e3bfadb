#pragma once
// A client event of the VPN library's callbacks, carried to the VPN manager on the event queue.
#include <cstdint>

#include "vel/multithread/MessageEvent.h"

class TamselVpnEventImpl : public MessageEventImpl {
public:
    explicit TamselVpnEventImpl(std::int32_t clientEvent) : m_clientEvent(clientEvent) {}

    void run() override;
    std::int32_t clientEvent() const { return m_clientEvent; }

    // Posts the event to the event queue.
    static void post(std::int32_t clientEvent);

private:
    std::int32_t m_clientEvent;
};
