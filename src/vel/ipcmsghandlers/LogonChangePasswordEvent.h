#pragma once
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// The result of a password change the logon client asked for.
class LogonChangePasswordEventImpl : public SoapOutgoingMessageImpl {
public:
    static constexpr std::int32_t PASSWORD_CHANGE_SUCCEEDED = 1;
    static constexpr std::int32_t PASSWORD_CHANGE_FAILED = 2;
    static constexpr std::int32_t AUTH_CHANNEL_SETUP_FAILED = 3;
    static constexpr std::int32_t PASSWORD_CHANGE_NOT_REQUESTED = 4;

    LogonChangePasswordEventImpl(std::int32_t attemptId, std::int32_t result)
        : m_attemptId(attemptId), m_result(result) {}

    // A result outside 1 to 4 raises ConnectionApiException ("buildMessage", "Invalid result
    // type"): the event is not sent.
    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;

private:
    std::int32_t m_attemptId;
    std::int32_t m_result;
};
