#pragma once
// The numbers of the user's logon as the service follows it.
#include <cstdint>

class LogonConstants {
public:
    // The logon machine's states: the configuration's behaviour at logon, and where the user is.
    enum State : std::int32_t {
        BEFORE_LOGON_NO_USER = 1,
        BEFORE_LOGON_USER_SESSION = 2,
        BEFORE_LOGON_PRELOGON_RUNNING = 3,
        AFTER_LOGON_NO_USER = 4,
        AFTER_LOGON_USER_SESSION = 5,
    };

    // Single-sign-on requests of the logon client.
    enum SsoRequest : std::int32_t {
        SSO_USER_ATTEMPTING_LOGON = 1,
        SSO_USER_SESSION_STARTED = 2,
        SSO_USER_SESSION_ENDED = 3,
    };

    // The logon status when the state is none of the five.
    static constexpr std::int32_t NO_LOGON_STATUS = 0;
};
