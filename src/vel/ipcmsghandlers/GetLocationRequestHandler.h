#pragma once
// getLocationRequest: the connected adapter asks for the location; the location follows as an event
// carrying this request's number. Fault 7 when there is no adapter or it refuses.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetLocationRequestHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
