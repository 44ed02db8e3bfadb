#pragma once
// getAdministratorPolicyRequest: the allowed EAP methods (at most 20) and what the user may do.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class GetAdministratorPolicyHandlerImpl : public SoapRequestHandlerImpl {
public:
    static constexpr std::size_t MAX_EAP_METHODS = 20;

    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
