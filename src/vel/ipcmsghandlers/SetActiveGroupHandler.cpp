#include "vel/ipcmsghandlers/SetActiveGroupHandler.h"

#include "vel/connapi/NetworkBodies.h"
#include "vel/exception/InvalidGroupException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t SetActiveGroupHandlerImpl::handle(const SoapBodyContext& request, const SoapBodyContext& reply) {
    const Ascii groupName = NetworkBodies::readGroupName(request.body());
    try {
        ConnApiEngine::activeConfiguration().setActiveGroup(groupName);
    } catch (const InvalidGroupException&) {
        return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    }
    NetworkBodies::writeGroupName(reply, groupName);
    return 0;
}

std::int32_t SetActiveGroupHandlerImpl::replyCommand() {
    return ConnApiMessages::SET_ACTIVE_GROUP_RESPONSE;
}
