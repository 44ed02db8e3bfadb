#pragma once
#include "vel/ipcmsghandlers/LogonCredentialRequest.h"

// Asks the logon client for the user name and password of the user logging on.
class GetLogonUsernamePasswordRequestImpl : public LogonCredentialRequestImpl {
public:
    using LogonCredentialRequestImpl::LogonCredentialRequestImpl;

    std::int32_t command() override;
};
