#include "vel/network/NetworkConstants.h"

#include "vel/exception/ConversionException.h"

const char* NetworkConstants::passwordChangeResultText(std::int32_t result) {
    switch (result) {
        case PASSWORD_CHANGE_SUCCEEDED:
            return "NetworkConstants::PASSWORD_CHANGE_SUCCEEDED";
        case PASSWORD_CHANGE_FAILED:
            return "NetworkConstants::PASSWORD_CHANGE_FAILED";
        case AUTH_CHANNEL_SETUP_FAILED:
            return "NetworkConstants::AUTH_CHANNEL_SETUP_FAILED";
        case PWD_CHANGE_NOT_REQUESTED:
            return "NetworkConstants::PWD_CHANGE_NOT_REQUESTED";
        default:
            return "<unknown>";
    }
}

const char* NetworkConstants::authenticationStateText(std::int32_t state) {
    static const char* const TEXTS[] = {
        "AUTH_STATE_NONE",
        "AUTH_STATE_STARTED",
        "AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION",
        "AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FAST_REAUTHENTICATION",
        "AUTH_STATE_UNPROTECTED_IDENTITY_ACCEPTED",
        "AUTH_STATE_PROTECTED_IDENTITY_SENT",
        "AUTH_STATE_PROTECTED_IDENTITY_ACCEPTED",
        "AUTH_STATE_CREDENTIAL_SENT",
        "AUTH_STATE_NEW_CREDENTIAL_SENT",
        "AUTH_STATE_CREDENTIAL_ACCEPTED",
        "AUTH_STATE_CREDENTIAL_REJECTED",
        "AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS",
        "AUTH_STATE_FULL_AUTHENTICATION_FALLBACK",
        "AUTH_STATE_SUCCESS",
        "AUTH_STATE_FAILURE",
    };
    if (state < 0 || state >= static_cast<std::int32_t>(sizeof TEXTS / sizeof TEXTS[0])) return "<unknown>";
    return TEXTS[state];
}

const char* NetworkConstants::textOf(const char* (*toText)(std::int32_t), std::int32_t value) {
    try {
        return toText(value);
    } catch (const ConversionException&) {
        return "<unknown>";
    }
}
