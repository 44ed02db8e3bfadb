#include "vel/ipcmsghandlers/GetLogonUsernamePasswordRequest.h"

#include "vel/xmlconnectionapi/ConnApiCommand.h"

std::int32_t GetLogonUsernamePasswordRequestImpl::command() {
    return ConnApiCommand::GET_LOGON_USERNAME_AND_PASSWORD_REQUEST;
}
