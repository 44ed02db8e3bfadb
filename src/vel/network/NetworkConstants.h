#pragma once
// The values the network's state machines exchange with each other and with the network object.
#include <cstdint>

class NetworkConstants {
public:
    // Network states.
    static constexpr std::int32_t STOPPED = 1;
    static constexpr std::int32_t MACHINE_T_DISCONNECTED = 2;
    static constexpr std::int32_t MACHINE_T_NOT_DISCONNECTED = 3;
    static constexpr std::int32_t USER_T_DISCONNECTED = 4;
    static constexpr std::int32_t USER_T_NOT_DISCONNECTED = 5;
    static constexpr std::int32_t MACHINE_D_PWD_CHG_DONE = 8;
    static constexpr std::int32_t MACHINE_ND_PWD_CHG_FROM_SERVER = 10;
    static constexpr std::int32_t MACHINE_ND_PWD_CHG_DONE = 11;
    static constexpr std::int32_t USER_D_PWD_CHG_DONE = 14;
    static constexpr std::int32_t USER_ND_PWD_CHG_FROM_SERVER = 16;
    static constexpr std::int32_t USER_ND_PWD_CHG_DONE = 17;

    // User events, of the network and of its access alike.
    static constexpr std::int32_t STOP = 1;
    static constexpr std::int32_t START = 2;
    static constexpr std::int32_t ATTACH_ADAPTER = 3;
    static constexpr std::int32_t DETACH_ADAPTER = 4;
    static constexpr std::int32_t CONNECT = 5;
    static constexpr std::int32_t DISCONNECT = 6;
    static constexpr std::int32_t ACCESS_CHANGED = 7;
    static constexpr std::int32_t REAUTH = 8;

    // Access states.
    static constexpr std::int32_t ACCESS_STOPPED = 1;
    static constexpr std::int32_t ACCESS_STARTED = 2;
    static constexpr std::int32_t ACCESS_CONNECTING = 3;
    static constexpr std::int32_t ACCESS_CONNECTED = 4;
    static constexpr std::int32_t ACCESS_ASSOCIATING = 5;
    static constexpr std::int32_t ACCESS_ATTACHED = 6;
    static constexpr std::int32_t ACCESS_AUTHENTICATED = 7;

    // Single-sign-on requests.
    static constexpr std::int32_t SET_USER_CREDS = 1;
    static constexpr std::int32_t SET_MACHINE_CREDS = 2;
    static constexpr std::int32_t SSO_CHANGE_PASSWORD_REQUEST = 3;
    static constexpr std::int32_t SSO_LOGON_CREDENTIALS_CHANGED_REQUEST = 4;

    // Authentication requests.
    static constexpr std::int32_t CHANGE_PASSWORD = 1;
    static constexpr std::int32_t AUTHENTICATION_FAILED = 2;

    // Password-change results told to the subscribers.
    static constexpr std::int32_t PASSWORD_CHANGE_SUCCEEDED = 1;
    static constexpr std::int32_t PASSWORD_CHANGE_FAILED = 2;
    static constexpr std::int32_t AUTH_CHANNEL_SETUP_FAILED = 3;
    static constexpr std::int32_t PWD_CHANGE_NOT_REQUESTED = 4;
    // "NetworkConstants::PASSWORD_CHANGE_SUCCEEDED" and so on; "<unknown>" for any other value.
    static const char* passwordChangeResultText(std::int32_t result);

    // Authentication states of one authentication session.
    static constexpr std::int32_t AUTH_STATE_NONE = 0;
    static constexpr std::int32_t AUTH_STATE_STARTED = 1;
    static constexpr std::int32_t AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION = 2;
    static constexpr std::int32_t AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FAST_REAUTHENTICATION = 3;
    static constexpr std::int32_t AUTH_STATE_UNPROTECTED_IDENTITY_ACCEPTED = 4;
    static constexpr std::int32_t AUTH_STATE_PROTECTED_IDENTITY_SENT = 5;
    static constexpr std::int32_t AUTH_STATE_PROTECTED_IDENTITY_ACCEPTED = 6;
    static constexpr std::int32_t AUTH_STATE_CREDENTIAL_SENT = 7;
    static constexpr std::int32_t AUTH_STATE_NEW_CREDENTIAL_SENT = 8;
    static constexpr std::int32_t AUTH_STATE_CREDENTIAL_ACCEPTED = 9;
    static constexpr std::int32_t AUTH_STATE_CREDENTIAL_REJECTED = 10;
    static constexpr std::int32_t AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS = 11;
    static constexpr std::int32_t AUTH_STATE_FULL_AUTHENTICATION_FALLBACK = 12;
    static constexpr std::int32_t AUTH_STATE_SUCCESS = 13;
    static constexpr std::int32_t AUTH_STATE_FAILURE = 14;
    // The text of a value from one of the enumeration tables, "<unknown>" outside it: for log
    // lines written before a value is checked.
    static const char* textOf(const char* (*toText)(std::int32_t), std::int32_t value);

    // "AUTH_STATE_NONE" and so on; "<unknown>" for any other value.
    static const char* authenticationStateText(std::int32_t state);

    // Allowed connection types.
    static constexpr std::int32_t CONNECTION_TYPES_MACHINE = 1;
    static constexpr std::int32_t CONNECTION_TYPES_USER = 2;
    static constexpr std::int32_t CONNECTION_TYPES_BOTH = 3;

    // Credential source of the logon component.
    static constexpr std::int32_t CREDENTIAL_SOURCE_LOGON = 3;
    // Credential storage under which a changed password is not kept.
    static constexpr std::int32_t CREDENTIAL_STORAGE_NOT_KEPT = 3;
    // Credential storage under which what the user typed lasts until the user logs off.
    static constexpr std::int32_t CREDENTIAL_STORAGE_UNTIL_LOGOFF = 2;
    // Credential storage under which what the user typed is written to the internal file.
    static constexpr std::int32_t CREDENTIAL_STORAGE_FOREVER = 1;

    // Why the user's certificate could not be sent, for the tray to say so: none, the card refused
    // the PIN, the card is blocked, no certificate to offer.
    static constexpr std::int32_t CREDENTIAL_FAILURE_NONE = 0;
    static constexpr std::int32_t CREDENTIAL_FAILURE_WRONG_PIN = 1;
    static constexpr std::int32_t CREDENTIAL_FAILURE_CARD_BLOCKED = 2;
    static constexpr std::int32_t CREDENTIAL_FAILURE_NO_CERTIFICATE = 3;
};
