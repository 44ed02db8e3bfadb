#include "vel/port/PortStateMachine.h"

#include <cstddef>
#include <cstring>

#include "platform/qxauth/qxAuth.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterStateMachine.h"
#include "vel/location/LocationConstants.h"
#include "vel/multithread/EventQueue.h"
#include "vel/port/PortEvents.h"
#include "vel/port/PortManager.h"
#include "vel/string/ByteArray.h"
#include "vel/string/TagMacAddr.h"

namespace {

constexpr std::int32_t RECORD_BYTES = 8;
constexpr std::int32_t LINK_MODE_ASSOCIATING = 1;
constexpr std::int32_t LINK_MODE_UP = 2;
constexpr std::int32_t LINK_MODE_DOWN = 3;

// Port states and the statuses that end a hold without a failed authentication.
enum : std::int32_t {
    STATE_DISCONNECTED = 1,
    STATE_CONNECTING,
    STATE_AUTHENTICATED,
    STATE_AUTHENTICATING,
    STATE_HELD
};
constexpr std::int32_t STATUS_REAUTHENTICATING = 600;
constexpr std::int32_t HELD_NOT_FAILED[] = {100, 203, 204, 710};
constexpr std::int32_t AUTH_FAIL_VALUE = 3;

std::int32_t intAt(const void* data, std::int32_t offset) {
    std::int32_t value;
    std::memcpy(&value, static_cast<const std::uint8_t*>(data) + offset, sizeof value);
    return value;
}

std::uint32_t wordAt(const std::uint8_t* data, std::int32_t offset) {
    std::uint32_t value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

// An item of the variable area: false when it does not lie wholly inside the record.
bool itemFits(std::int32_t length, std::uint32_t itemOffset, std::uint32_t itemLength) {
    std::uint64_t end = static_cast<std::uint64_t>(sizeof(QX_LOC_RESPONSE)) + itemOffset + itemLength;
    return end <= static_cast<std::uint64_t>(length);
}

}  // namespace

std::string PortStateMachine::withoutPrefix(const char* text, const char* prefix) {
    if (text == nullptr) return std::string();
    size_t prefixLength = std::strlen(prefix);
    if (std::strlen(text) >= prefixLength && std::strncmp(text, prefix, prefixLength) == 0)
        return std::string(text + prefixLength);
    return std::string(text);
}

void PortStateMachine::adapterEventOf(std::int32_t state, std::int32_t status, std::int32_t* adapterEvent,
                                      std::int32_t* value) {
    *adapterEvent = AdapterStateMachine::NONE;
    *value = 0;
    switch (state) {
        case STATE_DISCONNECTED:
            return;
        case STATE_CONNECTING:
            *adapterEvent = AdapterStateMachine::AUTH_REQUEST;
            return;
        case STATE_AUTHENTICATED:
            *adapterEvent = AdapterStateMachine::AUTH_SUCCESS;
            return;
        case STATE_AUTHENTICATING:
            if (status != STATUS_REAUTHENTICATING) *adapterEvent = AdapterStateMachine::AUTH_REQUEST;
            return;
        case STATE_HELD:
            for (std::int32_t notFailed : HELD_NOT_FAILED)
                if (status == notFailed) return;
            *adapterEvent = AdapterStateMachine::AUTH_FAIL;
            *value = AUTH_FAIL_VALUE;
            return;
        default:
            LUM_ASSERT_TEXT(false, "state");
            return;
    }
}

bool PortStateMachine::opensSession(std::int32_t state) {
    return state == STATE_DISCONNECTED || state == STATE_CONNECTING;
}

void PortStateMachine::portEvent(std::int32_t type, const void* data, std::int32_t length) {
    switch (type) {
        case QX_PORT_EVENT_LINK_MODE:
            linkMode(data, length);
            break;
        case QX_PORT_EVENT_STATE_STATUS:
            stateStatus(data, length);
            break;
        case QX_PORT_EVENT_STATUS:
            status(data, length);
            break;
        case QX_PORT_EVENT_LOCATION:
            locationNotice(data, length);
            break;
        case QX_PORT_EVENT_LOCATION_ERROR:
            locationError(data, length);
            break;
        default:
            logError(1260, "Internal error %d, contact software manufacturer",
                     INTERNAL_ERROR_UNKNOWN_PORT_EVENT);
            logDebug("unknown nvo port event %d", type);
            break;
    }
}

void PortStateMachine::linkMode(const void* data, std::int32_t length) {
    if (!LUM_ASSERT(data) || !LUM_ASSERT_TEXT(length == RECORD_BYTES, "dataLen == sizeof(QX_PORT_LINK_MODE)"))
        return;
    std::int32_t mode = intAt(data, 0);
    std::int32_t value = intAt(data, 4);
    if (mode == LINK_MODE_ASSOCIATING) return;
    if (mode == LINK_MODE_UP) {
        postEvent(MessageEventFactory::CreatePortUpStatusEvent(m_portManager, LINK_MODE_UP, value));
    } else if (mode == LINK_MODE_DOWN) {
        postEvent(MessageEventFactory::CreatePortDownStatusEvent(m_portManager));
    } else {
        LUM_ASSERT_TEXT(false, "linkState");
    }
}

void PortStateMachine::stateStatus(const void* data, std::int32_t length) {
    if (!LUM_ASSERT(data) ||
        !LUM_ASSERT_TEXT(length == RECORD_BYTES, "dataLen == sizeof(QX_PORT_STATE_STATUS)"))
        return;
    std::int32_t state = intAt(data, 0);
    std::int32_t status = intAt(data, 4);
    postEvent(MessageEventFactory::CreatePortStateChangeEvent(m_portManager, state, status));
    VelAdapter adapter = m_portManager->adapter();
    TagMacAddr mac(adapter.impl()->macAddress(), 0);
    Tags tags(mac);
    logInfoTagged(tags, 1261, "%s: Port State %s and status %s", m_portManager->name(),
                  withoutPrefix(qxPortStateString(state), PORT_STATE_PREFIX).c_str(),
                  withoutPrefix(qxPortStatusString(status), PORT_STATUS_PREFIX).c_str());
}

void PortStateMachine::status(const void* data, std::int32_t length) {
    if (!LUM_ASSERT(data) ||
        !LUM_ASSERT_TEXT(length == RECORD_BYTES, "dataLen == sizeof(QX_PORT_STATE_STATUS)"))
        return;
    std::int32_t status = intAt(data, 4);
    if (withoutPrefix(qxPortStatusString(status), PORT_STATUS_PREFIX) == "LINK_UP") {
        logInfo(1262, "%s: Connection Association Success (link up)", m_portManager->name());
        logInfo(1263, "%s: Connection Authentication Started", m_portManager->name());
    }
}

void PortStateMachine::locationNotice(const void* data, std::int32_t length) {
    logDebug("In PortStateMachine::locationNotice");
    if (!LUM_ASSERT(data) ||
        !LUM_ASSERT_TEXT(length >= QX_LOC_RESPONSE_MIN_LENGTH, "dataLen >= sizeof(QX_LOC_RESPONSE)"))
        return;
    const auto* record = static_cast<const std::uint8_t*>(data);
    const std::uint8_t* items = record + sizeof(QX_LOC_RESPONSE);
    std::uint16_t sequence;
    std::memcpy(&sequence, record, sizeof sequence);
    std::int32_t format = intAt(record, 4);
    // Every item is checked against the record's length: a record whose items run past it is
    // refused as a whole rather than read beyond its end.
    std::uint32_t dataOffset = wordAt(record, 12);
    std::uint16_t dataLength = 0;
    bool fits = itemFits(length, dataOffset, 2);
    if (fits) std::memcpy(&dataLength, items + dataOffset, 2);
    fits = fits && itemFits(length, dataOffset, 2u + dataLength);
    std::int32_t signatureType = LocationConstants::SIGNATURE_TYPE_NONE;
    ByteArray signature;
    std::uint32_t signatureOffset = wordAt(record, 20);
    if (fits && signatureOffset > 0) {
        fits = itemFits(length, signatureOffset, 2) &&
               itemFits(length, signatureOffset, 2u + items[signatureOffset + 1]);
        if (fits) {
            signatureType = items[signatureOffset];
            signature = ByteArray(items + signatureOffset + 2, items[signatureOffset + 1]);
        }
    }
    ByteArray text("");
    std::uint32_t textOffset = wordAt(record, 28);
    if (fits && textOffset > 0) {
        std::uint16_t textLength = 0;
        fits = itemFits(length, textOffset, 2);
        if (fits) std::memcpy(&textLength, items + textOffset, 2);
        fits = fits && itemFits(length, textOffset, 2u + textLength);
        if (fits) text = ByteArray(items + textOffset + 2, textLength);
    }
    std::int32_t accuracy = 0;
    std::uint32_t accuracyOffset = wordAt(record, 36);
    if (fits && accuracyOffset > 0) {
        fits = itemFits(length, accuracyOffset, 4);
        if (fits) accuracy = intAt(items, static_cast<std::int32_t>(accuracyOffset));
    }
    if (!fits) {
        logError(1264, "%s: location response items lie outside its %d bytes", m_portManager->name(), length);
        return;
    }
    LocationResponse response =
        LocationResponse::create(sequence, format, ByteArray(items + dataOffset + 2, dataLength),
                                 signatureType, signature, text, accuracy);
    postEvent(MessageEventFactory::CreateLocationNoticeEvent(m_portManager, response));
}

void PortStateMachine::locationError(const void* data, std::int32_t length) {
    if (!LUM_ASSERT(data) ||
        !LUM_ASSERT_TEXT(length == RECORD_BYTES, "dataLen == sizeof(QX_LOC_ERR_RESPONSE)"))
        return;
    // The record holds the error before the request's number; the event takes the number first.
    std::int32_t error = intAt(data, offsetof(QX_LOC_ERR_RESPONSE, error));
    std::int32_t requestNumber = intAt(data, offsetof(QX_LOC_ERR_RESPONSE, sequence));
    postEvent(MessageEventFactory::CreateLocationErrorEvent(m_portManager, requestNumber, error));
}
