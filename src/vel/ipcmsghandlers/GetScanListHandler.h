#pragma once
// getScanListRequest: the networks the radios see, unless the active group hides them.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetScanListHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
