#pragma once
// A wireless network: its SSID, how it associates, its encryption and the key it may need. The
// key is kept only where the association uses it at the radio (open and shared WEP, ad-hoc
// cells, personal WPA); enterprise networks get their keys from 802.1X.
#include <cstdint>

#include "vel/phyinfo/PhyInfo.h"

class WirelessPhyInfoImpl : public PhyInfoImpl {
public:
    static constexpr std::int32_t OPEN = 1;
    static constexpr std::int32_t SHARED = 2;
    static constexpr std::int32_t ADHOC_OPEN = 3;
    static constexpr std::int32_t ADHOC_SHARED = 4;
    static constexpr std::int32_t WPA_PERSONAL = 5;
    static constexpr std::int32_t WPA_ENTERPRISE = 6;
    static constexpr std::int32_t WPA2_PERSONAL = 7;
    static constexpr std::int32_t WPA2_ENTERPRISE = 8;
    static constexpr std::int32_t QUILLAN = 9;
    static constexpr std::int32_t ENCRYPTION_NONE = 1;
    static constexpr std::int32_t ENCRYPTION_WEP = 2;
    static constexpr std::int32_t ENCRYPTION_TKIP = 3;
    static constexpr std::int32_t ENCRYPTION_AES = 4;
    static constexpr std::int32_t WEP_40_BYTES = 5;
    static constexpr std::int32_t WEP_104_BYTES = 13;

    WirelessPhyInfoImpl(const Ascii& ssid, std::int32_t associationMode, std::int32_t encryption,
                        const CredentialProxy& key);

    // Nothing on a port without a wireless band; otherwise the ad-hoc or the association record.
    void startConnection(const PortManagerProxy& portManager, const QX_PORT_ATTR& attributes) override;
    QX_HANDLE pskHandle() override;

    // The library's association mode of an association mode and encryption; 0 for none.
    static std::uint32_t libraryMode(std::int32_t associationMode, std::int32_t encryption);

private:
    bool isAdhoc() const { return m_associationMode == ADHOC_OPEN || m_associationMode == ADHOC_SHARED; }
    void startAdhoc(const PortManagerProxy& portManager);
    void startAssociation(const PortManagerProxy& portManager);
    static constexpr std::int32_t NO_KEY = -1;
    static bool isWepLength(std::int32_t length) { return length == WEP_40_BYTES || length == WEP_104_BYTES; }
    // The length of the key's WEP bytes, copied when it is a WEP length; NO_KEY without a key.
    std::int32_t wepKey(std::uint8_t (&bytes)[13]);

    const Ascii m_ssid;
    const std::int32_t m_associationMode;
    std::int32_t m_encryption = ENCRYPTION_NONE;
    CredentialProxy m_key;
};
