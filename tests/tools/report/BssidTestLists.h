// Builds BSSID lists for the tests: NDIS_WLAN_BSSID_EX entries with a fixed set of field values.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace bssidtest {

using Bytes = std::vector<uint8_t>;

inline void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// One NDIS_WLAN_BSSID_EX with the given SSID and variable elements (the fixed 12 are added).
inline Bytes Entry(const std::string& ssid, const Bytes& elements = {}, uint16_t capabilities = 0x0421) {
    Bytes e(116 + 12 + elements.size(), 0);
    Put32(e, 0, uint32_t(e.size()));
    const uint8_t mac[] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    std::memcpy(&e[4], mac, 6);
    Put32(e, 12, uint32_t(ssid.size()));
    std::memcpy(&e[16], ssid.data(), ssid.size());
    Put32(e, 48, 1);              // privacy
    Put32(e, 52, uint32_t(-55));  // rssi
    Put32(e, 56, 3);              // 802.11g
    Put32(e, 64, 100);            // beacon period
    Put32(e, 68, 0);              // ATIM window
    Put32(e, 72, 2437000);        // kHz
    Put32(e, 92, 1);              // infrastructure
    const uint8_t rates[] = {0x82, 0x84, 0x8b, 0x96, 0x0c, 0x12};
    std::memcpy(&e[96], rates, sizeof rates);
    Put32(e, 112, uint32_t(12 + elements.size()));
    for (int i = 0; i < 8; ++i) e[116 + i] = uint8_t(i + 1);  // time stamp
    e[124] = 100;                                             // beacon interval
    e[126] = uint8_t(capabilities);
    e[127] = uint8_t(capabilities >> 8);
    std::copy(elements.begin(), elements.end(), e.begin() + 128);
    return e;
}

inline Bytes List(const std::vector<Bytes>& entries, uint32_t count) {
    Bytes list(4, 0);
    Put32(list, 0, count);
    for (const auto& e : entries) list.insert(list.end(), e.begin(), e.end());
    return list;
}

inline Bytes List(const std::vector<Bytes>& entries) {
    return List(entries, uint32_t(entries.size()));
}

}  // namespace bssidtest
