#pragma once
// addNetworkRequest: a network the user adds to a group, checked against the administrator's
// policy and saved in the user's file.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class AddNetworkHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
