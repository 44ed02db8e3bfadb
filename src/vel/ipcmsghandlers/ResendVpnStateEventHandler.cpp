#include "vel/ipcmsghandlers/ResendVpnStateEventHandler.h"

#include "vel/communication/ClientCommunication.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t ResendVpnStateEventHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    if (!ConnApiEngine::activeConfiguration().policy().userControlPolicy().allowVpn())
        return ConnApiConstants::ERROR_DENIED_BY_POLICY;
    ClientCommunication::Instance().resendLastVpnStateEvent();
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t ResendVpnStateEventHandlerImpl::replyCommand() {
    return ConnApiMessages::RESEND_LAST_VPN_STATE_EVENT_RESPONSE;
}
