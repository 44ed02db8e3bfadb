#pragma once
// getServiceStateRequest: whether the client is enabled and the radio on.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetServiceStateHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
