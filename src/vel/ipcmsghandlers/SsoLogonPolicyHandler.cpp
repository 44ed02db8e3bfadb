#include "vel/ipcmsghandlers/SsoLogonPolicyHandler.h"

#include "vel/connapi/SsoBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t SsoLogonPolicyHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext& reply) {
    SsoBodies::writeLogonPolicy(
        reply, ConnApiEngine::activeConfiguration().connectionSettings().secondsToWaitForConnection(),
        SKIP_WAIT_SECONDS, WAIT_FOR_PASSWORD_CHANGE_SECONDS);
    return 0;
}

std::int32_t SsoLogonPolicyHandlerImpl::replyCommand() {
    return ConnApiMessages::SSO_LOGON_POLICY_RESPONSE;
}
