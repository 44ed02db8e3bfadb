#pragma once
// What a scanned access point can do for a location query: a supported byte and twelve flag
// bytes (services, formats, encodings, resolutions). Copied by value; a new record is all zero.
#include <array>
#include <cstdint>

#include "vel/location/LocationConstants.h"

class LocationCapabilities {
public:
    LocationCapabilities() = default;

    // From the capability word of a scan entry: supported when any of bits 3 to 14 is set; flag 1
    // follows bit 3, flag 2 stays 0 (bit 4 is not passed on), flags 3 to 12 follow bits 5 to 14.
    static LocationCapabilities fromCapabilityWord(std::uint32_t word);

    std::uint8_t supported() const { return m_bytes[0]; }
    void setSupported(std::uint8_t value) { m_bytes[0] = value; }

    // Flags 1 to 12; any other number is a broken invariant (0 read, nothing written).
    std::uint8_t flag(int number) const;
    void setFlag(int number, std::uint8_t value);

    bool operator==(const LocationCapabilities& other) const = default;

private:
    std::array<std::uint8_t, LocationConstants::CAPABILITY_BYTES> m_bytes{};
};
