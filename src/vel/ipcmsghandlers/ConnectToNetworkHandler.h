#pragma once
// connectToNetworkRequest: the named network of the active group, taken by the matchmaker in
// automatic mode or connected by hand otherwise.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class ConnectToNetworkHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
