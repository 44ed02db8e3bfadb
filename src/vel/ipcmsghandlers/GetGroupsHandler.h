#pragma once
// getGroupsRequest: the names of the configuration's groups in their stored order.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetGroupsHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
