#pragma once
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// The state of the VPN tunnel, with the status text of what last happened to it.
class VpnStateEventImpl : public SoapOutgoingMessageImpl {
public:
    // state: 1 disconnected to 4 disconnecting; status: the VPN status table's number (0 "none").
    VpnStateEventImpl(std::int32_t state, std::int32_t status) : m_state(state), m_status(status) {}

    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;

private:
    std::int32_t m_state;
    std::int32_t m_status;
};
