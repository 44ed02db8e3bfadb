#include "vel/string/NetworkOrderInteger.h"

#include "ostrum.h"

template <>
SafeNetworkInteger<std::uint16_t>::SafeNetworkInteger(const std::uint8_t* source) {
    if (!source) return;
    bo_ntohs(&m_value, source);
    m_valid = true;
}

template <>
SafeNetworkInteger<std::uint32_t>::SafeNetworkInteger(const std::uint8_t* source) {
    if (!source) return;
    bo_ntohl(&m_value, source);
    m_valid = true;
}
