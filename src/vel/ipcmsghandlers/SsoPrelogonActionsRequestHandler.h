#pragma once
// ssoPrelogonActionsRequest: the logon attempt under way, for the logon state machine.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class SsoPrelogonActionsRequestHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
