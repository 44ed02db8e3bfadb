#pragma once
// addGroupRequest: a new empty group, saved in the user's file; fault 3 when the name is taken.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class AddGroupHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
