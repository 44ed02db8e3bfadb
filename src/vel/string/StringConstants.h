#pragma once
#include <cstdint>

class StringConstants {
public:
    // Bytes of a byte array or 8-bit text; a payload holds at most MAX_LENGTH - 1 bytes.
    static constexpr std::int32_t MAX_LENGTH = 10000000;
};

class UnicodeConstants {
public:
    // Characters of a wide text; a payload holds fewer than this.
    static constexpr std::int32_t MAX_LENGTH = 5000000;
};
