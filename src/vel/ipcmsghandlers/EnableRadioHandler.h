#pragma once
// turnOnRadioRequest: every adapter's radio on.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class EnableRadioHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
