#include "vel/ipcmsghandlers/SsoChangePasswordRequestHandler.h"

#include "runtime/lum/Log.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/SsoBodies.h"
#include "vel/ipcmsghandlers/ConnApiCredentials.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/PasswordChangeConnection.h"
#include "vel/reference/HandleOf.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t SsoChangePasswordRequestHandlerImpl::handle(const SoapBodyContext& request,
                                                         const SoapBodyContext& reply) {
    const ChangePasswordRecord record = SsoBodies::readChangePassword(request.body());
    Configuration configuration = ConnApiEngine::activeConfiguration();
    Network changing;
    for (const Reference& element : configuration.allNetworks().snapshot()) {
        Network network = handleOf<Network>(element.m);
        if (!ConnApiCredentials::isPasswordChangePending(network)) continue;
        logInfo(0, "%s network triggered password change", network.name().text());
        changing = network;
    }
    if (!changing.isNull()) {
        PasswordChangeConnection::connect(
            configuration, changing,
            [&] {
                ConnApiCredentials::setPasswordChangeParameters(changing, record.attemptId, record.username,
                                                                record.domain, record.oldPassword,
                                                                record.password);
                ConnApiCredentials::changePassword(changing, ConnApiCredentials::CHANGE_FROM_LOGON);
            },
            "SsoChangePasswordRequestHandler, ignoring unknown connection mode");
    }
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t SsoChangePasswordRequestHandlerImpl::replyCommand() {
    return ConnApiMessages::SSO_CHANGE_PASSWORD_RESPONSE;
}
