#pragma once
// The VPN state machines' numbers: the tunnel's states and the statuses reported with them, the
// user events, the retries of an automatic attempt, and the VPN settings of a configuration.
#include <cstdint>

class VpnConstants {
public:
    // VpnState.
    static constexpr std::int32_t STATE_DISCONNECTED = 1;
    static constexpr std::int32_t STATE_CONNECTED = 2;
    static constexpr std::int32_t STATE_CONNECTING = 3;
    static constexpr std::int32_t STATE_DISCONNECTING = 4;

    // VpnStatus: the ones the machines set themselves; a client failure event gives event - 2.
    static constexpr std::int32_t STATUS_NONE = 0;
    static constexpr std::int32_t STATUS_USER_AUTH_FAILED = 2;
    static constexpr std::int32_t STATUS_PIN_EXPIRED = 3;
    static constexpr std::int32_t STATUS_SERVICE_IN_USE = 4;
    static constexpr std::int32_t STATUS_CANNOT_CONNECT_TO_SERVICE = 8;
    static constexpr std::int32_t STATUS_SERVICE_NOT_RUNNING = 10;
    static constexpr std::int32_t STATUS_SERVICE_SHUTTING_DOWN = 11;
    static constexpr std::int32_t STATUS_UNKNOWN_ERROR = 49;
    static constexpr std::int32_t CLIENT_EVENT_TO_STATUS = 2;

    // User events.
    static constexpr std::int32_t USER_CONNECT = 1;
    static constexpr std::int32_t USER_DISCONNECT = 2;

    // An automatic attempt is retried twice, each after 5 seconds.
    static constexpr std::int32_t AUTOMATIC_RETRIES = 2;
    static constexpr int RETRY_TIMER_S = 5;

    // The logon state machine's status while a user is logged on.
    static constexpr std::int32_t LOGON_STATUS_USER = 2;

    // The configuration's VPN setting (autoVpnSettings kind); 0 none configured.
    static constexpr std::int32_t SETTING_NONE = 0;
    static constexpr std::int32_t SETTING_RSA_SECURID = 1;
    static constexpr std::int32_t SETTING_SOFTOKEN = 2;
    static constexpr std::int32_t SETTING_PASSWORD = 3;
    static constexpr std::int32_t SETTING_CERTIFICATE = 4;
};
