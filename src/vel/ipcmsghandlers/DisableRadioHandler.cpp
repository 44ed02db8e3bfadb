#include "vel/ipcmsghandlers/DisableRadioHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t DisableRadioHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    xmlWriteEmptyResponse(reply);
    ConnApiEngine::turnOffRadio();
    return 0;
}

std::int32_t DisableRadioHandlerImpl::replyCommand() {
    return ConnApiMessages::TURN_OFF_RADIO_RESPONSE;
}
