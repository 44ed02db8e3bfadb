#pragma once
// getLocationCapabilitiesRequest: what the connected adapter's location service offers; fault 7
// without a connected network.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetLocationCapabilitiesHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
