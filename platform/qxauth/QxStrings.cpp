// The texts of the library's codes: each code's name, and "..._UNKNOWN" for any other value.
#include "platform/qxauth/qxAuth.h"

namespace {

struct Name {
    int code;
    const char* text;
};

template <size_t N>
const char* nameOf(const Name (&names)[N], int code, const char* unknown) {
    for (const Name& name : names)
        if (name.code == code) return name.text;
    return unknown;
}

#define QX_NAME(code) \
    { code, #code }

const Name ERRORS[] = {
    QX_NAME(QX_OK),
    QX_NAME(QX_ERR_FAILURE),
    QX_NAME(QX_ERR_NOT_INITIALIZED),
    QX_NAME(QX_ERR_BUFFER_TOO_SMALL),
    QX_NAME(QX_ERR_INV_PARAM),
    QX_NAME(QX_ERR_NOT_SUPPORTED),
    QX_NAME(QX_ERR_ALREADY_SET),
    QX_NAME(QX_ERR_NOT_FOUND),
    QX_NAME(QX_ERR_NO_INFO),
    QX_NAME(QX_ERR_UNDECIDED),
    QX_NAME(QX_ERR_NO_PRIVATE_KEY),
    QX_NAME(QX_ERR_WRONG_PIN),
    QX_NAME(QX_ERR_INV_SYNC),
    QX_NAME(QX_ERR_NOT_APPLICABLE),
    QX_NAME(QX_ERR_CANCELED),
    QX_NAME(QX_ERR_CARD_BLOCKED),
};

const Name EVENTS[] = {
    QX_NAME(QX_EVENT_ADAPTER_LIST),
    QX_NAME(QX_EVENT_SMART_CARD_LIST),
    QX_NAME(QX_EVENT_IP_CONFIG_CHANGED),
};

const Name LEVELS[] = {
    QX_NAME(QX_LOG_ERROR),       QX_NAME(QX_LOG_WARNING),    QX_NAME(QX_LOG_INFO),
    QX_NAME(QX_LOG_DEBUG),       QX_NAME(QX_LOG_PORT),       QX_NAME(QX_LOG_ASSOCIATION),
    QX_NAME(QX_LOG_SCAN),        QX_NAME(QX_LOG_EAP),        QX_NAME(QX_LOG_CREDENTIAL),
    QX_NAME(QX_LOG_CERTIFICATE), QX_NAME(QX_LOG_SMART_CARD), QX_NAME(QX_LOG_IP),
    QX_NAME(QX_LOG_CAPTURE),     QX_NAME(QX_LOG_PLUGIN),     QX_NAME(QX_LOG_FRAMES),
};

const Name PORT_STATES[] = {
    QX_NAME(QX_PORT_STATE_DISCONNECTED),  QX_NAME(QX_PORT_STATE_CONNECTING),
    QX_NAME(QX_PORT_STATE_AUTHENTICATED), QX_NAME(QX_PORT_STATE_AUTHENTICATING),
    QX_NAME(QX_PORT_STATE_HELD),
};

const Name PORT_STATUSES[] = {
    QX_NAME(QX_PORT_STATUS_LINK_DOWN),        QX_NAME(QX_PORT_STATUS_LINK_UP),
    QX_NAME(QX_PORT_STATUS_SUCCESS),          QX_NAME(QX_PORT_STATUS_EAP_FAILURE),
    QX_NAME(QX_PORT_STATUS_TIMEOUT),          QX_NAME(QX_PORT_STATUS_NO_AUTHENTICATOR),
    QX_NAME(QX_PORT_STATUS_LOGOFF),           QX_NAME(QX_PORT_STATUS_SERVER_REJECTED),
    QX_NAME(QX_PORT_STATUS_CANCELED),         QX_NAME(QX_PORT_STATUS_METHOD_REFUSED),
    QX_NAME(QX_PORT_STATUS_REAUTHENTICATING), QX_NAME(QX_PORT_STATUS_IN_PROGRESS),
    QX_NAME(QX_PORT_STATUS_KEY_MISMATCH),     QX_NAME(QX_PORT_STATUS_SUPERSEDED),
};

const Name EAP_STATUSES[] = {
    QX_NAME(QX_EAP_STATUS_METHOD_SELECTED),   QX_NAME(QX_EAP_STATUS_TUNNEL_UP),
    QX_NAME(QX_EAP_STATUS_INVALID_PAC),       QX_NAME(QX_EAP_STATUS_SUCCESS),
    QX_NAME(QX_EAP_STATUS_PROTECTED_FAILURE), QX_NAME(QX_EAP_STATUS_CLEARTEXT_FAILURE),
};

}  // namespace

const char* qxErrorString(int code) {
    return nameOf(ERRORS, code, "QX_ERR_UNKNOWN");
}

const char* qxEventString(int kind) {
    return nameOf(EVENTS, kind, "QX_EVENT_UNKNOWN");
}

const char* qxLogLevelString(int level) {
    return nameOf(LEVELS, level, "QX_LOG_UNKNOWN");
}

const char* qxPortStateString(int state) {
    return nameOf(PORT_STATES, state, "QX_PORT_STATE_UNKNOWN");
}

const char* qxPortStatusString(int status) {
    return nameOf(PORT_STATUSES, status, "QX_PORT_STATUS_UNKNOWN");
}

const char* qxEapStatusString(int status) {
    return nameOf(EAP_STATUSES, status, "QX_EAP_STATUS_UNKNOWN");
}
