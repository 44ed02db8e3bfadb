#pragma once
// enableTamselRequest: the adapters are managed again, radio on.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class EnableClientHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
