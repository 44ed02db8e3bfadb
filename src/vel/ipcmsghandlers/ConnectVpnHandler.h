#pragma once
// connectVpnRequest: the VPN over the connected network of the active group; fault 8 without one.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class ConnectVpnHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
