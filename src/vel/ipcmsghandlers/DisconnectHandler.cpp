#include "vel/ipcmsghandlers/DisconnectHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t DisconnectHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    ConnApiEngine::activeConfiguration().disconnect();
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t DisconnectHandlerImpl::replyCommand() {
    return ConnApiMessages::DISCONNECT_RESPONSE;
}
