#pragma once
// The messages of the logon client (single sign-on) and the service's logon events.
#include <cstdint>

#include "vel/connapi/SoapBodyContext.h"
#include "vel/string/Ascii.h"

struct UserSessionActionsRecord {
    // Kept as numbers; never used as handles.
    std::int32_t userTokenHandle = 0;
    std::int32_t userLogonProcessId = 0;
};

struct ChangePasswordRecord {
    std::int32_t attemptId = 0;
    Ascii username;
    Ascii domain;
    Ascii password;
    Ascii oldPassword;
};

class SsoBodies {
public:
    // ssoLogonPolicyResponse.
    static void writeLogonPolicy(const SoapBodyContext& context, std::int32_t waitForConnectionSeconds,
                                 std::int32_t skipWaitSeconds, std::int32_t waitForPasswordChangeSeconds);
    // ssoPrelogonActionsRequest.
    static std::int32_t readLogonAttemptId(const SharedXmlNode& element);
    static UserSessionActionsRecord readUserSessionActions(const SharedXmlNode& element);
    static ChangePasswordRecord readChangePassword(const SharedXmlNode& element);
    static void writeLogonEvent(const SoapBodyContext& context, std::int32_t logonAttemptId,
                                const Ascii& eventType);
    // The result's text, e.g. "passwordChangeSucceeded".
    static void writeLogonChangePasswordEvent(const SoapBodyContext& context, std::int32_t attemptId,
                                              const char* result);
};
