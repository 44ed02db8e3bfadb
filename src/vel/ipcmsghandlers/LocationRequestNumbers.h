#pragma once
// The location service answers with the 16-bit number of the request it answers. The handler of
// getLocationRequest records the request's whole number here, and the location events take it
// back, so an event carries the number the client sent, also one above 65535.
#include <cstdint>

class LocationRequestNumbers {
public:
    // Engine thread: the number of a getLocationRequest handed to an adapter.
    static void record(std::int32_t sequenceNumber);
    // The last recorded number whose low 16 bits are the id; the id itself when none is.
    static std::int32_t fullNumberOf(std::uint16_t id);
    static void clear();
};
