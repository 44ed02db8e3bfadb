#pragma once
// Unsigned 16- and 32-bit values read in network byte order from received bytes. A value read
// from nothing is invalid, and the value may be taken only after its validity was tested.
#include <cstdint>

#include "runtime/lum/Assert.h"

template <class T>
class SafeNetworkInteger {
public:
    // Invalid when the source is null.
    explicit SafeNetworkInteger(const std::uint8_t* source);

    bool valid() const {
        m_usuable = true;
        return m_valid;
    }
    bool invalid() const { return !valid(); }
    T value() const {
        if (!LUM_ASSERT_TEXT(m_usuable && m_valid, "m_usuable")) return 0;
        return m_value;
    }

private:
    T m_value = 0;
    bool m_valid = false;
    mutable bool m_usuable = false;
};

template <>
SafeNetworkInteger<std::uint16_t>::SafeNetworkInteger(const std::uint8_t* source);
template <>
SafeNetworkInteger<std::uint32_t>::SafeNetworkInteger(const std::uint8_t* source);

using SafeNetworkUint16 = SafeNetworkInteger<std::uint16_t>;
using SafeNetworkUint32 = SafeNetworkInteger<std::uint32_t>;
