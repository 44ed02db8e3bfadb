#pragma once
// getLogonSmartCardPinResponse: the PIN of the smart card used at the Windows logon, for the
// network that waits on the sign-on.
#include "vel/ipcmsghandlers/LogonAnswerHandler.h"
#include "vel/string/Ascii.h"

class GetLogonSmartCardPinResponseHandlerImpl : public LogonAnswerHandlerImpl {
public:
    using LogonAnswerHandlerImpl::LogonAnswerHandlerImpl;

protected:
    void read() override;
    void apply(const Network& network) override;

private:
    Ascii m_pin;
};
