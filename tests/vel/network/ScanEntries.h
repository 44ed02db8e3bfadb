#pragma once
// Scan entries for the scan list tests: only the fields a test looks at vary.
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "vel/network/Association.h"
#include "vel/network/Ssid.h"

inline ByteArray bssid(std::uint8_t last) {
    const std::uint8_t bytes[6] = {0x00, 0x1b, 0x2c, 0x3d, 0x4e, last};
    return ByteArray(bytes, 6);
}

inline Ssid scanEntry(const Ascii& ssid, const ByteArray& bssid, std::int32_t channel, std::int32_t snr = 0) {
    ElementVector modes = ElementVector::create();
    Association open = Association::create(1, 1);
    modes.add(open.m);
    return Ssid::create(ssid, bssid, 0, modes, 0, channel, -60, snr, 0, LocationCapabilities());
}

inline ElementVector listOf(std::initializer_list<Ssid> entries) {
    ElementVector list = ElementVector::create();
    for (const Ssid& entry : entries) list.add(entry.m);
    return list;
}
