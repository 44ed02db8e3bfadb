#include "vel/ipcmsghandlers/GetLogonUsernamePasswordResponseHandler.h"

#include <string>

#include "vel/ipcmsghandlers/ConnApiCredentials.h"

void GetLogonUsernamePasswordResponseHandlerImpl::read() {
    m_answer = CredentialBodies::readLogonUsernamePasswordResponse(m_context.body());
}

void GetLogonUsernamePasswordResponseHandlerImpl::apply(const Network& network) {
    const std::string identity = std::string(m_answer.username.text()) + "@" + m_answer.domain.text();
    ConnApiCredentials::applyCredentials(network, Ascii(identity.c_str()), m_answer.password,
                                         CredentialBodies::REQUEST_TYPE_USERNAME_AND_PASSWORD);
}
