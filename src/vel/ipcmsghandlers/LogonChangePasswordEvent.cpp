#include "vel/ipcmsghandlers/LogonChangePasswordEvent.h"

#include "vel/connapi/SsoBodies.h"
#include "vel/exception/ConnectionApiException.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

const char* resultText(std::int32_t result) {
    switch (result) {
        case LogonChangePasswordEventImpl::PASSWORD_CHANGE_SUCCEEDED:
            return "passwordChangeSucceeded";
        case LogonChangePasswordEventImpl::PASSWORD_CHANGE_FAILED:
            return "passwordChangeFailed";
        case LogonChangePasswordEventImpl::AUTH_CHANNEL_SETUP_FAILED:
            return "authChannelSetupFailed";
        case LogonChangePasswordEventImpl::PASSWORD_CHANGE_NOT_REQUESTED:
            return "passwordChangeNotRequested";
        default:
            return nullptr;
    }
}

}  // namespace

void LogonChangePasswordEventImpl::writeBody(SoapBodyContext& context) {
    const char* result = resultText(m_result);
    if (result == nullptr)
        ConnectionApiException::raise(__FILE__, __LINE__, "buildMessage", "Invalid result type");
    SsoBodies::writeLogonChangePasswordEvent(context, m_attemptId, result);
}

std::int32_t LogonChangePasswordEventImpl::command() {
    return ConnApiMessages::LOGON_CHANGE_PASSWORD_EVENT;
}
