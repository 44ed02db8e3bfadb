#pragma once
#include <cstdint>

class LocationConstants {
public:
    // Bits of the authentication library's location query, one per yes/no option of a request.
    static constexpr std::uint32_t QUERY_SECURE_RESPONSE_ONLY = 0x1;
    static constexpr std::uint32_t QUERY_DIGITAL_SIGNATURE = 0x2;
    static constexpr std::uint32_t QUERY_LOCATION_ID = 0x4;

    // The signature type of an answer whose signature carries no type.
    static constexpr std::int32_t SIGNATURE_TYPE_NONE = 100;

    // The capability record: the supported byte, then one flag byte per capability.
    static constexpr int CAPABILITY_BYTES = 13;
    static constexpr int FIRST_CAPABILITY_FLAG = 1;
    static constexpr int LAST_CAPABILITY_FLAG = 12;
    // Scan entry capability word: bits 3 to 14 carry the capabilities; bit 4 reaches no flag.
    static constexpr std::uint32_t CAPABILITY_BITS = 0x7FF8;
    static constexpr int FIRST_CAPABILITY_BIT = 3;
    static constexpr int UNUSED_CAPABILITY_BIT = 4;
};
