#include "vel/ipcmsghandlers/EnableClientHandler.h"

#include "runtime/lum/Log.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t EnableClientHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    xmlWriteEmptyResponse(reply);
    logDebug("Enabling Client");
    ConnApiEngine::enableClient();
    return 0;
}

std::int32_t EnableClientHandlerImpl::replyCommand() {
    return ConnApiMessages::ENABLE_TAMSEL_RESPONSE;
}
