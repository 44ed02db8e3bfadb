#pragma once
// enableAutoconnectRequest: back to automatic mode; the networks start again.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class EnableAutoconnectHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
