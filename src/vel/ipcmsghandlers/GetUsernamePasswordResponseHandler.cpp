#include "vel/ipcmsghandlers/GetUsernamePasswordResponseHandler.h"

#include "vel/connapi/CredentialBodies.h"
#include "vel/ipcmsghandlers/ConnApiCredentials.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/CredentialAnswer.h"
#include "vel/ipcmsghandlers/PasswordChangeConnection.h"

namespace {

constexpr std::int32_t REQUEST_TYPE_PASSWORD_CHANGE = 2;

}  // namespace

void GetUsernamePasswordResponseHandlerImpl::handleResponse() {
    const PasswordAnswerRecord answer = CredentialBodies::readUsernamePasswordResponse(m_context.body());
    Configuration configuration;
    Network network;
    if (!CredentialAnswer::reach(answer.groupName, answer.networkName, configuration, network)) return;
    if (answer.requestType == REQUEST_TYPE_PASSWORD_CHANGE) {
        PasswordChangeConnection::connect(
            configuration, network,
            [&] {
                ConnApiCredentials::setPasswordChangeCredentials(network, answer.username, answer.oldPassword,
                                                                 answer.password);
            },
            "GetUserNamePasswordHandlerImpl, ignoring unknown connection mode");
    } else {
        ConnApiCredentials::applyCredentials(network, answer.username, answer.password, answer.requestType);
    }
    ConnApiEngine::writeInternalConfiguration();
}
