#pragma once
// ssoLogonPolicyRequest: how long the logon client waits for the network before logon.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class SsoLogonPolicyHandlerImpl : public SoapRequestHandlerImpl {
public:
    static constexpr std::int32_t SKIP_WAIT_SECONDS = 0;
    static constexpr std::int32_t WAIT_FOR_PASSWORD_CHANGE_SECONDS = 60;

    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
