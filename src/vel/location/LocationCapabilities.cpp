#include "vel/location/LocationCapabilities.h"

#include "runtime/lum/Assert.h"

namespace {

bool isFlagNumber(int number) {
    return LocationConstants::FIRST_CAPABILITY_FLAG <= number &&
           number <= LocationConstants::LAST_CAPABILITY_FLAG;
}

}  // namespace

LocationCapabilities LocationCapabilities::fromCapabilityWord(std::uint32_t word) {
    LocationCapabilities capabilities;
    if ((word & LocationConstants::CAPABILITY_BITS) == 0) return capabilities;
    capabilities.setSupported(1);
    for (int number = LocationConstants::FIRST_CAPABILITY_FLAG;
         number <= LocationConstants::LAST_CAPABILITY_FLAG; ++number) {
        int bit = LocationConstants::FIRST_CAPABILITY_BIT + number - 1;
        if (bit == LocationConstants::UNUSED_CAPABILITY_BIT) continue;
        capabilities.setFlag(number, (word >> bit) & 1);
    }
    return capabilities;
}

std::uint8_t LocationCapabilities::flag(int number) const {
    if (!LUM_ASSERT(isFlagNumber(number))) return 0;
    return m_bytes[number];
}

void LocationCapabilities::setFlag(int number, std::uint8_t value) {
    if (!LUM_ASSERT(isFlagNumber(number))) return;
    m_bytes[number] = value;
}
