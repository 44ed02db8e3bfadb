#pragma once
// getVpnCapabilitiesRequest: whether the VPN can start by itself, with the VPN client's profiles.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetVpnCapabilitiesHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
