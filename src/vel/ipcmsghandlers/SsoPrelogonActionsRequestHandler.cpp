#include "vel/ipcmsghandlers/SsoPrelogonActionsRequestHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/SsoBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t SsoPrelogonActionsRequestHandlerImpl::handle(const SoapBodyContext& request,
                                                          const SoapBodyContext& reply) {
    ConnApiEngine::setPrelogonActions(SsoBodies::readLogonAttemptId(request.body()));
    ConnApiEngine::handleSsoRequest(ConnApiEngine::SSO_PRELOGON_ACTIONS);
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t SsoPrelogonActionsRequestHandlerImpl::replyCommand() {
    return ConnApiMessages::SSO_PRELOGON_ACTIONS_RESPONSE;
}
