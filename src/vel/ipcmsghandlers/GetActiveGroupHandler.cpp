#include "vel/ipcmsghandlers/GetActiveGroupHandler.h"

#include "vel/connapi/NetworkBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetActiveGroupHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    NetworkGroupProxy active = ConnApiEngine::activeConfiguration().activeGroup();
    if (!active.exists()) return ConnApiConstants::ERROR_INTERNAL;
    NetworkBodies::writeGroupName(reply, active.networkGroup().name());
    return 0;
}

std::int32_t GetActiveGroupHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_ACTIVE_GROUP_RESPONSE;
}
