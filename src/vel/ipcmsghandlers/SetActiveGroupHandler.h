#pragma once
// setActiveGroupRequest: makes the named group active (fault 3 for an unknown one). The user's
// file does not record the active group, so nothing is written.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class SetActiveGroupHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
