#include "vel/ipcmsghandlers/GetUsernamePasswordRequest.h"

#include "vel/connapi/CredentialBodies.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

// password, passwordChange, passwordRetry: the request's text is the password prompt.
bool promptsForPassword(std::int32_t requestType) {
    return requestType >= 1 && requestType <= 3;
}

}  // namespace

void GetUsernamePasswordRequestImpl::writeBody(SoapBodyContext& context) {
    // The service never prompts for the user name.
    CredentialBodies::writeUsernamePasswordRequest(
        context, m_groupName, m_network.networkName(), m_requestType, Ascii(""),
        promptsForPassword(m_requestType) ? m_requestText : Ascii(""));
}

std::int32_t GetUsernamePasswordRequestImpl::command() {
    return ConnApiMessages::GET_USERNAME_AND_PASSWORD_REQUEST;
}
