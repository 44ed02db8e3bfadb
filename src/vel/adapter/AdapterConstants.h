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

    // Connection types: whose credentials authenticate.
    static constexpr std::int32_t CONNECTION_MACHINE = 1;
    static constexpr std::int32_t CONNECTION_USER = 2;

    static constexpr std::int32_t AUTHENTICATION_EAP_FAST = 43;
};
