#pragma once
// turnOffRadioRequest: every adapter's radio off.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class DisableRadioHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
