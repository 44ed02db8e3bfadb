#include "vel/phyinfo/WirelessPhyInfo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"
#include "vel/port/PortManagerProxy.h"

namespace {

constexpr std::int32_t MAX_SSID_BYTES = 32;

// The SSID into a record: at most its 32 bytes, whatever length the configuration carried.
template <typename Record>
void putSsid(Record& record, const Ascii& ssid) {
    const std::int32_t length = std::min(ssid.length(), MAX_SSID_BYTES);
    if (length > 0) std::memcpy(record.ssid, ssid.text(), static_cast<std::size_t>(length));
    record.ssidLength = static_cast<std::uint32_t>(length);
}

template <typename Record>
void putWepKey(Record& record, const std::uint8_t (&bytes)[13], std::int32_t length) {
    std::memcpy(record.wepKey, bytes, static_cast<std::size_t>(length));
    record.wepKeyLength = static_cast<std::uint32_t>(length);
    record.wepKeyPresent = 1;
}

}  // namespace

WirelessPhyInfoImpl::WirelessPhyInfoImpl(const Ascii& ssid, std::int32_t associationMode,
                                         std::int32_t encryption, const CredentialProxy& key)
    : m_ssid(ssid), m_associationMode(associationMode) {
    LUM_ASSERT_TEXT(associationMode != AdapterConstants::ASSOCIATION_MODE_NONE,
                    "associationMode != AdapterConstants::ASSOCIATION_MODE_NONE");
    if (encryption >= ENCRYPTION_NONE && encryption <= ENCRYPTION_AES) {
        m_encryption = encryption;
    } else {
        LUM_ASSERT_TEXT(false, "false");
    }
    CredentialProxy given = key;
    switch (associationMode) {
        case OPEN:
        case ADHOC_OPEN:
            if (given.exists()) m_key = given;
            break;
        case SHARED:
        case ADHOC_SHARED:
        case WPA_PERSONAL:
        case WPA2_PERSONAL:
            LUM_ASSERT_TEXT(given.exists(), "key.exists()");
            m_key = given;
            break;
        default:
            // Enterprise networks take their keys from 802.1X.
            break;
    }
}

std::uint32_t WirelessPhyInfoImpl::libraryMode(std::int32_t associationMode, std::int32_t encryption) {
    switch (associationMode) {
        case OPEN:
            return QX_ASSOC_OPEN;
        case SHARED:
            return QX_ASSOC_SHARED;
        case WPA_PERSONAL:
            return QX_ASSOC_WPA_PERSONAL;
        case WPA_ENTERPRISE:
            return QX_ASSOC_WPA_ENTERPRISE;
        case WPA2_PERSONAL:
            return QX_ASSOC_WPA2_PERSONAL;
        case WPA2_ENTERPRISE:
            return QX_ASSOC_WPA2_ENTERPRISE;
        case QUILLAN:
            if (encryption == ENCRYPTION_TKIP) return QX_ASSOC_WPA_QUILLAN;
            if (encryption == ENCRYPTION_AES) return QX_ASSOC_WPA2_QUILLAN;
            return 0;
        default:
            return 0;
    }
}

void WirelessPhyInfoImpl::startConnection(const PortManagerProxy& portManager,
                                          const QX_PORT_ATTR& attributes) {
    if ((attributes.flags & QX_ATTR_WIRELESS) == 0) return;
    logInfo(2711, "Starting wifi connection, trying ssid %s ...", m_ssid.text());
    char fallback[64];
    const char* mode = fallback;
    try {
        mode = AssociationModeToText(m_associationMode, m_encryption);
    } catch (const ConversionException& e) {
        // A pair the text table lacks still connects; only its name is missing from the log.
        e.report();
        std::snprintf(fallback, sizeof fallback, "association mode %d and encryption %d", m_associationMode,
                      m_encryption);
    }
    logInfo(2712, "Connection Association Started(%s)", mode);
    if (isAdhoc()) {
        startAdhoc(portManager);
    } else {
        startAssociation(portManager);
    }
}

std::int32_t WirelessPhyInfoImpl::wepKey(std::uint8_t (&bytes)[13]) {
    if (!m_key.exists()) return NO_KEY;
    const ByteArray key = m_key.credential().psk();
    if (isWepLength(key.length())) std::memcpy(bytes, key.bytes(), static_cast<std::size_t>(key.length()));
    return key.length();
}

void WirelessPhyInfoImpl::startAdhoc(const PortManagerProxy& portManager) {
    logInfo(2713, "Starting wifi ad-hoc connection, trying ssid %s", m_ssid.text());
    QX_ADHOC record;
    std::memset(&record, 0, sizeof record);
    putSsid(record, m_ssid);
    record.mode = m_associationMode == ADHOC_OPEN ? QX_ADHOC_OPEN : QX_ADHOC_SHARED;
    record.encryption = static_cast<std::uint32_t>(m_encryption);
    // A cell takes a WEP key of a valid length whatever the encryption says; any other goes unsaid.
    std::uint8_t bytes[13] = {};
    const std::int32_t length = wepKey(bytes);
    if (isWepLength(length)) putWepKey(record, bytes, length);
    portManager.adhoc(record);
}

void WirelessPhyInfoImpl::startAssociation(const PortManagerProxy& portManager) {
    QX_ASSOCIATE record;
    std::memset(&record, 0, sizeof record);
    putSsid(record, m_ssid);
    record.mode = libraryMode(m_associationMode, m_encryption);
    record.encryption = static_cast<std::uint32_t>(m_encryption);
    if ((m_associationMode == OPEN || m_associationMode == SHARED) && m_encryption == ENCRYPTION_WEP) {
        std::uint8_t bytes[13] = {};
        const std::int32_t length = wepKey(bytes);
        if (isWepLength(length)) {
            putWepKey(record, bytes, length);
        } else if (length != NO_KEY) {
            logError(2714, "Invalid wep key length: %d, should be %d or %d", length, WEP_40_BYTES,
                     WEP_104_BYTES);
        }
    }
    portManager.associate(record);
}

QX_HANDLE WirelessPhyInfoImpl::pskHandle() {
    return m_key.exists() ? m_key.credential().volatileH() : 0;
}
