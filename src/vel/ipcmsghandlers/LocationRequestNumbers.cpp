#include "vel/ipcmsghandlers/LocationRequestNumbers.h"

#include <map>

namespace {

// At most one entry per 16-bit id.
std::map<std::uint16_t, std::int32_t>& numbers() {
    static std::map<std::uint16_t, std::int32_t> recorded;
    return recorded;
}

}  // namespace

void LocationRequestNumbers::record(std::int32_t sequenceNumber) {
    numbers()[static_cast<std::uint16_t>(sequenceNumber & 0xffff)] = sequenceNumber;
}

std::int32_t LocationRequestNumbers::fullNumberOf(std::uint16_t id) {
    auto found = numbers().find(id);
    return found != numbers().end() ? found->second : id;
}

void LocationRequestNumbers::clear() {
    numbers().clear();
}
