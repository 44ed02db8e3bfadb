#pragma once
// removeGroupRequest: removes a group that is neither active nor global; both files are written
// again, so that the saved credentials of its networks leave the disk.
#include "vel/ipcmsghandlers/SoapRequestHandler.h"

class RemoveGroupHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;

    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override;
    std::int32_t replyCommand() override;
};
