#include "vel/ipcmsghandlers/EnableRadioHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t EnableRadioHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    xmlWriteEmptyResponse(reply);
    ConnApiEngine::turnOnRadio();
    return 0;
}

std::int32_t EnableRadioHandlerImpl::replyCommand() {
    return ConnApiMessages::TURN_ON_RADIO_RESPONSE;
}
