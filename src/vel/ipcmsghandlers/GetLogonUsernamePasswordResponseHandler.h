#pragma once
// getLogonUsernameAndPasswordResponse: the Windows logon's user name, domain and password for the
// network that waits on the sign-on, with the identity "user@domain".
#include "vel/connapi/CredentialBodies.h"
#include "vel/ipcmsghandlers/LogonAnswerHandler.h"

class GetLogonUsernamePasswordResponseHandlerImpl : public LogonAnswerHandlerImpl {
public:
    using LogonAnswerHandlerImpl::LogonAnswerHandlerImpl;

protected:
    void read() override;
    void apply(const Network& network) override;

private:
    LogonPasswordAnswerRecord m_answer;
};
