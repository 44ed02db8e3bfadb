#pragma once
// removeNetworkRequest: stops and removes the network; both files are written again, so that its
// saved credentials leave the disk with it.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class RemoveNetworkHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
