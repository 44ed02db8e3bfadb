#pragma once
// getActiveGroupRequest: the active group's name; fault 8 without one.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetActiveGroupHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
