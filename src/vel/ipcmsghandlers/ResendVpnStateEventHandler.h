#pragma once
// resendLastVpnStateEventRequest: the last VPN state again to every client, before the reply;
// fault 2 when the policy allows no VPN.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class ResendVpnStateEventHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
