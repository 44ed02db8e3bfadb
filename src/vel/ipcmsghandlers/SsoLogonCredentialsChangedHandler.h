#pragma once
// ssoLogonCredentialsChangedRequest: every network learns that the logon credentials changed.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class SsoLogonCredentialsChangedHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
