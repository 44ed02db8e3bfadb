#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/location/LocationCapabilities.h"

namespace {

using LocationCapabilitiesTest = RuntimeTest;

struct WordCase {
    const char* name;
    std::uint32_t word;
    std::uint8_t supported;
    // Flags 1 to 12 that are set; all others 0.
    std::vector<int> flags;
};

TEST_F(LocationCapabilitiesTest, ScanEntryWordGivesSupportedAndFlagBytes) {
    const WordCase cases[] = {
        {"no capability", 0, 0, {}},
        {"only bits outside 3 to 14", 0x7 | 0x8000 | 0xFFFF0000u, 0, {}},
        {"only bit 4: supported without a flag", 0x10, 1, {}},
        {"bit 3 is flag 1", 0x8, 1, {1}},
        {"bit 5 is flag 3", 0x20, 1, {3}},
        {"bit 14 is flag 12", 0x4000, 1, {12}},
        {"every bit: flag 2 stays 0", 0xFFFFFFFFu, 1, {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
    };
    for (const WordCase& c : cases) {
        LocationCapabilities capabilities = LocationCapabilities::fromCapabilityWord(c.word);
        EXPECT_EQ(capabilities.supported(), c.supported) << c.name;
        for (int number = 1; number <= 12; ++number) {
            bool set = std::find(c.flags.begin(), c.flags.end(), number) != c.flags.end();
            EXPECT_EQ(capabilities.flag(number), set ? 1 : 0) << c.name << ", flag " << number;
        }
    }
}

TEST_F(LocationCapabilitiesTest, NewRecordIsZeroAndCopiesAreIndependent) {
    LocationCapabilities record;
    EXPECT_EQ(record, LocationCapabilities::fromCapabilityWord(0));
    record.setSupported(1);
    record.setFlag(1, 1);
    record.setFlag(12, 1);
    LocationCapabilities copy = record;
    record.setFlag(12, 0);
    EXPECT_EQ(copy.supported(), 1);
    EXPECT_EQ(copy.flag(1), 1);
    EXPECT_EQ(copy.flag(12), 1);
    EXPECT_EQ(record.flag(12), 0);
}

TEST_F(LocationCapabilitiesTest, FlagNumberOutsideOneToTwelveIsABrokenInvariant) {
    LocationCapabilities record;
    record.setFlag(0, 1);   // would overwrite the supported byte
    record.setFlag(13, 1);  // one past the record
    EXPECT_EQ(record.flag(13), 0);
    EXPECT_EQ(record.supported(), 0);
    EXPECT_EQ(takeAssertions().size(), 3u);
}

}  // namespace
