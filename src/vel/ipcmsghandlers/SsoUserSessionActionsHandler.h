#pragma once
// ssoUserSessionActionsRequest: a user session exists; its token handle and logon process id are
// kept as numbers. Served also without an active configuration.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class SsoUserSessionActionsHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t precheck() override;
    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
