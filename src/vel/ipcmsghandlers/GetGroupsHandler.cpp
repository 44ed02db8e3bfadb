#include "vel/ipcmsghandlers/GetGroupsHandler.h"

#include "vel/connapi/NetworkBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/reference/HandleOf.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetGroupsHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    AsciiVector names;
    for (const Reference& element : ConnApiEngine::activeConfiguration().groupList().snapshot())
        names.add(handleOf<NetworkGroup>(element.m).name());
    NetworkBodies::writeGroupList(reply, names);
    return 0;
}

std::int32_t GetGroupsHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_GROUPS_RESPONSE;
}
