#pragma once
// Every message element the service has no handler for: answered with fault 10 ("unknownRequest").
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class UnknownRequestHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
