#pragma once
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// Shows the VPN gateway's banner to the user, who accepts or declines it. Kept under "vpn_banner"
// once sent, so that a client connecting later still sees it, until the answer comes.
class GetBannerRequestImpl : public SoapOutgoingMessageImpl {
public:
    static constexpr const char* REMEMBERED_AS = "vpn_banner";

    explicit GetBannerRequestImpl(const Ascii& bannerPrompt) : m_bannerPrompt(bannerPrompt) {}

    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;
    void afterSend(const Datagram& datagram) override;

private:
    Ascii m_bannerPrompt;
};
