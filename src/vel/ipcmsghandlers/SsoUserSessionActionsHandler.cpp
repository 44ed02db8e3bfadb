#include "vel/ipcmsghandlers/SsoUserSessionActionsHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/SsoBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t SsoUserSessionActionsHandlerImpl::precheck() {
    return 0;
}

std::int32_t SsoUserSessionActionsHandlerImpl::handle(const SoapBodyContext& request,
                                                      const SoapBodyContext& reply) {
    const UserSessionActionsRecord record = SsoBodies::readUserSessionActions(request.body());
    ConnApiEngine::setUserSessionActions(record.userTokenHandle, record.userLogonProcessId);
    ConnApiEngine::handleSsoRequest(ConnApiEngine::SSO_USER_SESSION_ACTIONS);
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t SsoUserSessionActionsHandlerImpl::replyCommand() {
    return ConnApiMessages::SSO_USER_SESSION_ACTIONS_RESPONSE;
}
