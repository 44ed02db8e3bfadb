#pragma once
// ssoNoUserSessionRequest: no user session exists. Served also without an active configuration.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class SsoNoUserSessionActionsHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t precheck() override;
    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
