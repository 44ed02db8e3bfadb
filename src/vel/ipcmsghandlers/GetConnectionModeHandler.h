#pragma once
// getConnectionModeRequest: automatic or manual, with the manually connected network.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetConnectionModeHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
