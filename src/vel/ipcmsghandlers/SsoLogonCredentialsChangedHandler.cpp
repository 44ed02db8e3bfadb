#include "vel/ipcmsghandlers/SsoLogonCredentialsChangedHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiCredentials.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/reference/HandleOf.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t SsoLogonCredentialsChangedHandlerImpl::handle(const SoapBodyContext&,
                                                           const SoapBodyContext& reply) {
    for (const Reference& element : ConnApiEngine::activeConfiguration().allNetworks().snapshot())
        ConnApiCredentials::changePassword(handleOf<Network>(element.m),
                                           ConnApiCredentials::LOGON_CREDENTIALS_CHANGED);
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t SsoLogonCredentialsChangedHandlerImpl::replyCommand() {
    return ConnApiMessages::SSO_LOGON_CREDENTIALS_CHANGED_RESPONSE;
}
