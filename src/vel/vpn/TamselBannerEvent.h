#pragma once
// A login banner of the VPN gateway, carried to the tray programs on the event queue.
#include "vel/multithread/MessageEvent.h"
#include "vel/string/Ascii.h"

class TamselBannerEventImpl : public MessageEventImpl {
public:
    explicit TamselBannerEventImpl(const Ascii& banner) : m_banner(banner) {}

    void run() override;
    const Ascii& banner() const { return m_banner; }

    static void post(const Ascii& banner);

private:
    Ascii m_banner;
};
