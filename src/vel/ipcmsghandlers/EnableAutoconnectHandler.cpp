#include "vel/ipcmsghandlers/EnableAutoconnectHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t EnableAutoconnectHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    xmlWriteEmptyResponse(reply);
    ConnApiEngine::activeConfiguration().enableAutoconnect();
    return 0;
}

std::int32_t EnableAutoconnectHandlerImpl::replyCommand() {
    return ConnApiMessages::ENABLE_AUTOCONNECT_RESPONSE;
}
