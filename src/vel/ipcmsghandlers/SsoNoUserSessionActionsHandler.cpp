#include "vel/ipcmsghandlers/SsoNoUserSessionActionsHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t SsoNoUserSessionActionsHandlerImpl::precheck() {
    return 0;
}

std::int32_t SsoNoUserSessionActionsHandlerImpl::handle(const SoapBodyContext&,
                                                        const SoapBodyContext& reply) {
    ConnApiEngine::handleSsoRequest(ConnApiEngine::SSO_NO_USER_SESSION);
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t SsoNoUserSessionActionsHandlerImpl::replyCommand() {
    return ConnApiMessages::SSO_NO_USER_SESSION_RESPONSE;
}
