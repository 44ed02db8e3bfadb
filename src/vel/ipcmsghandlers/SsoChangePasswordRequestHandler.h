#pragma once
// ssoChangePasswordRequest: the logon client's changed password for the network that waits for it.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class SsoChangePasswordRequestHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
