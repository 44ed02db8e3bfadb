#pragma once
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// Asks the user for the VPN gateway's credentials. Kept under "vpn_credential_request" once sent,
// so that a client connecting later is asked too, until the answer comes.
class GetVpnCredentialsRequestImpl : public SoapOutgoingMessageImpl {
public:
    static constexpr const char* REMEMBERED_AS = "vpn_credential_request";

    GetVpnCredentialsRequestImpl(const Ascii& usernamePrompt, const Ascii& passwordPrompt)
        : m_usernamePrompt(usernamePrompt), m_passwordPrompt(passwordPrompt) {}

    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;
    void afterSend(const Datagram& datagram) override;

private:
    Ascii m_usernamePrompt;
    Ascii m_passwordPrompt;
};
