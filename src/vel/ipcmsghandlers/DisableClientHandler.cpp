#include "vel/ipcmsghandlers/DisableClientHandler.h"

#include "runtime/lum/Log.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t DisableClientHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    xmlWriteEmptyResponse(reply);
    logDebug("Disabling Client");
    ConnApiEngine::disableClient();
    return 0;
}

std::int32_t DisableClientHandlerImpl::replyCommand() {
    return ConnApiMessages::DISABLE_TAMSEL_RESPONSE;
}
