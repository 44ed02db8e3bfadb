#pragma once
// disablePacketCaptureRequest: every adapter the matchmaker holds stops capturing.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class DisablePacketCaptureHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
