#pragma once
#include "vel/ipcmsghandlers/LogonCredentialRequest.h"

// Asks the logon client for the smart-card PIN of the user logging on.
class GetLogonSmartCardPinRequestImpl : public LogonCredentialRequestImpl {
public:
    using LogonCredentialRequestImpl::LogonCredentialRequestImpl;

    std::int32_t command() override;
};
