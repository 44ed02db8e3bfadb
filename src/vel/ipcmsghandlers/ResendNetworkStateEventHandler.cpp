#include "vel/ipcmsghandlers/ResendNetworkStateEventHandler.h"

#include "vel/communication/ClientCommunication.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t ResendNetworkStateEventHandlerImpl::handle(const SoapBodyContext&,
                                                        const SoapBodyContext& reply) {
    ClientCommunication::Instance().resendLastNetworkStateEvent();
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t ResendNetworkStateEventHandlerImpl::replyCommand() {
    return ConnApiMessages::RESEND_LAST_NETWORK_STATE_EVENT_RESPONSE;
}
