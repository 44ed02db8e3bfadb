#include "vel/ipcmsghandlers/GetServiceStateHandler.h"

#include "vel/connapi/ConnectionBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetServiceStateHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    ConnectionBodies::writeServiceState(reply, ConnApiEngine::isClientEnabled(), ConnApiEngine::isRadioOn());
    return 0;
}

std::int32_t GetServiceStateHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_SERVICE_STATE_RESPONSE;
}
