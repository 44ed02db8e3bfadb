#pragma once
// disableTamselRequest: the adapters are no longer managed.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class DisableClientHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
