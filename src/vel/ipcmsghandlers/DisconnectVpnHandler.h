#pragma once
// disconnectVpnRequest: the VPN goes down; fault 8 without a connected network.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class DisconnectVpnHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
