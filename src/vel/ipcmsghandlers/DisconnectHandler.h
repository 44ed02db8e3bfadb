#pragma once
// disconnectRequest: stops the networks and stays in manual mode, so nothing reconnects by
// itself.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class DisconnectHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
