#pragma once
// resendLastNetworkStateEventRequest: the last network state event again to every client,
// before the reply.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class ResendNetworkStateEventHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
