#pragma once
// Values shared by adapters, ports and the networks matched with them.
#include <cstdint>

class AdapterConstants {
public:
    // Media types: what a network runs on and what an adapter offers.
    static constexpr std::int32_t MEDIA_TYPE_8023 = 0;
    static constexpr std::int32_t MEDIA_TYPE_80211 = 1;
    static constexpr std::int32_t MEDIA_TYPE_UNIT_TEST = 2;
    static constexpr std::int32_t MEDIA_TYPE_COUNT = 3;
    // An adapter's media until its port attributes name 802.3 or 802.11.
    static constexpr std::int32_t MEDIA_TYPE_NONE = 4;

    // Connection types: whose credentials authenticate.
    static constexpr std::int32_t CONNECTION_MACHINE = 1;
    static constexpr std::int32_t CONNECTION_USER = 2;

    // The authentication type of a connection that needs no authentication.
    static constexpr std::int32_t AUTHENTICATION_NOT_REQUIRED = 1;

    // EAP types.
    static constexpr std::int32_t EAP_MD5 = 4;
    static constexpr std::int32_t EAP_GTC = 6;
    static constexpr std::int32_t EAP_TLS = 13;
    static constexpr std::int32_t LEAP = 17;
    static constexpr std::int32_t EAP_TTLS = 21;
    static constexpr std::int32_t EAP_PEAP = 25;
    static constexpr std::int32_t EAP_MSCHAPV2 = 26;
    static constexpr std::int32_t EAP_FAST = 43;
    static constexpr std::int32_t AUTHENTICATION_EAP_FAST = EAP_FAST;

    static constexpr std::int32_t ASSOCIATION_MODE_NONE = 0;

    // Bits of the port attributes' flags word.
    static constexpr std::uint32_t ATTRIBUTE_8023 = 0x1;
    static constexpr std::uint32_t ATTRIBUTE_WIRELESS = 0x1E;
    static constexpr std::uint32_t ATTRIBUTE_LOCATION_CAPABLE = 1u << 24;
};
