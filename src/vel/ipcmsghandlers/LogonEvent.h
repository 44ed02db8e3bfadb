#pragma once
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// News of the logon: "passwordExpired" before the logon client is asked for a new password,
// "preLogonDone" from the logon state machine.
class LogonEventImpl : public SoapOutgoingMessageImpl {
public:
    static constexpr const char* PASSWORD_EXPIRED = "passwordExpired";
    static constexpr const char* PRE_LOGON_DONE = "preLogonDone";

    LogonEventImpl(std::int32_t logonAttemptId, const Ascii& eventType)
        : m_logonAttemptId(logonAttemptId), m_eventType(eventType) {}

    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;

private:
    std::int32_t m_logonAttemptId;
    Ascii m_eventType;
};
