#pragma once
// enablePacketCaptureRequest: every adapter the matchmaker holds starts capturing; fault 8 when
// none does, so the user is not told of captures that are not being written.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class EnablePacketCaptureHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
