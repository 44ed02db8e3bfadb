#pragma once
// One wired or wireless network as its element gives it, between the files and the configuration
// model: the common and the wireless settings, the kind of network, and its open, shared-key or
// 802.1X part.
#include <cstdint>
#include <optional>

#include "vel/configuration/Settings8021x.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"
#include "vel/xml/XmlAuthenticationRecord.h"

// What every network has. The four further settings travel with the record between the model and
// the files, but no element carries them: a network read from a file gets their initial values.
struct XmlNetworkCommon {
    Ascii displayName;
    std::int32_t connectionTimeout = 0;
    Ascii runScriptAfterConnection;
    bool furtherFlag1 = false;
    std::int32_t furtherNumber1 = 30;
    bool furtherFlag2 = true;
    std::int32_t furtherNumber2 = 0;
};

struct XmlWifiPart {
    ByteArray ssid;
    std::int32_t associationTimeout = 0;
};

// A pre-shared key: the WEP key size (5 or 13), the format (1 hex, 2 ascii), whether the bytes are a
// stored credential text, the bytes, and the WEP key's 802.11 authentication (1 open, 2 shared) or
// the WPA key's encryption (3 TKIP, 4 AES).
struct XmlKeyRecord {
    static constexpr std::int32_t FORMAT_HEX = 1;
    static constexpr std::int32_t FORMAT_ASCII = 2;

    std::int32_t keySize = 0;
    std::int32_t format = 0;
    bool persistent = false;
    ByteArray key;
    std::int32_t last = 0;
};

class XmlNetworkImpl : public ReferenceImpl {
public:
    static constexpr std::uint8_t KIND_OPEN_OR_SHARED_KEY = 0;
    static constexpr std::uint8_t KIND_8021X = 1;
    // Connection types of an open network, kinds of a shared-key network.
    static constexpr std::int32_t CONNECTION_MACHINE = 1;
    static constexpr std::int32_t CONNECTION_USER = 2;
    static constexpr std::int32_t CONNECTION_MACHINE_AND_USER = 3;
    // Associations and encryptions, as the association-mode texts pair them.
    static constexpr std::int32_t ASSOCIATION_OPEN = 1;
    static constexpr std::int32_t ASSOCIATION_SHARED = 2;
    static constexpr std::int32_t ASSOCIATION_WPA_PERSONAL = 5;
    static constexpr std::int32_t ASSOCIATION_WPA_ENTERPRISE = 6;
    static constexpr std::int32_t ASSOCIATION_WPA2_PERSONAL = 7;
    static constexpr std::int32_t ASSOCIATION_WPA2_ENTERPRISE = 8;
    static constexpr std::int32_t ASSOCIATION_QUILLAN_ENTERPRISE = 9;
    static constexpr std::int32_t ENCRYPTION_NONE = 1;
    static constexpr std::int32_t ENCRYPTION_WEP = 2;

    // 1 wired, 2 wireless.
    std::int32_t m_media = 0;
    XmlNetworkCommon m_common;
    XmlWifiPart m_wifi;
    std::uint8_t m_kind = KIND_OPEN_OR_SHARED_KEY;
    // A network that names neither, as a wired 802.1X network, keeps the model's initial pair.
    std::int32_t m_association = 0;
    std::int32_t m_encryption = 1;
    std::optional<XmlAuthenticationRecord> m_machine;
    std::optional<XmlAuthenticationRecord> m_user;
    Settings8021x m_settings8021x = Settings8021x::create();
    std::int32_t m_connectionType = 0;
    std::int32_t m_connectionKind = 0;
    XmlKeyRecord m_key;
};

class XmlNetwork : public Reference {
public:
    XmlNetwork() = default;
    // An empty record.
    static XmlNetwork create();

    bool isWireless() const;
    // Set and read as whole values.
    XmlNetworkCommon common() const { return impl()->m_common; }
    void setCommon(const XmlNetworkCommon& common) const { impl()->m_common = common; }
    XmlWifiPart wifi() const { return impl()->m_wifi; }
    void setWifi(const XmlWifiPart& wifi) const { impl()->m_wifi = wifi; }
    // An open network: wired, or wireless without association and encryption.
    bool isOpen() const;

    XmlNetworkImpl* impl() const { return static_cast<XmlNetworkImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    explicit XmlNetwork(XmlNetworkImpl* created) : Reference(created, Reference::TAKE_OVER) {}
};
