#include "vel/ipcmsghandlers/GetLogonUsernamePasswordRequest.h"

#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetLogonUsernamePasswordRequestImpl::command() {
    return ConnApiMessages::GET_LOGON_USERNAME_AND_PASSWORD_REQUEST;
}
