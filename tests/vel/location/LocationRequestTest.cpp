#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/location/LocationRequest.h"

namespace {

using LocationRequestTest = RuntimeTest;

TEST_F(LocationRequestTest, KeepsEveryFieldAndOnlyTheLowSixteenBitsOfTheNumber) {
    LocationRequest request = LocationRequest::create(70000, 2, true, 4, false, true, 3);
    EXPECT_EQ(request.getSequenceNumber(), 4464);
    EXPECT_EQ(request.getLocationFormat(), 2);
    EXPECT_TRUE(request.getSecureResponseOnly());
    EXPECT_EQ(request.getLocationEncoding(), 4);
    EXPECT_FALSE(request.getDigitalSignature());
    EXPECT_TRUE(request.getLocationId());
    EXPECT_EQ(request.getLocationResolution(), 3);

    EXPECT_EQ(LocationRequest::create(65535, 1, false, 1, false, false, 2).getSequenceNumber(), 65535);
    EXPECT_EQ(LocationRequest::create(65536, 1, false, 1, false, false, 2).getSequenceNumber(), 0);
}

TEST_F(LocationRequestTest, QueryFlagsHaveOneBitPerOption) {
    struct Case {
        bool secureOnly, signature, locationId;
        std::uint32_t flags;
    };
    const Case cases[] = {
        {false, false, false, 0x0}, {true, false, false, 0x1}, {false, true, false, 0x2},
        {false, false, true, 0x4},  {true, false, true, 0x5},  {true, true, true, 0x7},
    };
    for (const Case& c : cases) {
        LocationRequest request =
            LocationRequest::create(1, 1, c.secureOnly, 1, c.signature, c.locationId, 2);
        EXPECT_EQ(request.getQueryFlags(), c.flags)
            << "secure " << c.secureOnly << ", signature " << c.signature << ", id " << c.locationId;
    }
}

TEST_F(LocationRequestTest, EmptyHandleAssertsOnEveryRead) {
    LocationRequest none;
    EXPECT_EQ(none.getSequenceNumber(), 0);
    EXPECT_EQ(none.getLocationFormat(), 0);
    EXPECT_FALSE(none.getSecureResponseOnly());
    EXPECT_EQ(none.getLocationEncoding(), 0);
    EXPECT_FALSE(none.getDigitalSignature());
    EXPECT_FALSE(none.getLocationId());
    EXPECT_EQ(none.getLocationResolution(), 0);
    EXPECT_EQ(none.getQueryFlags(), 0u);
    EXPECT_EQ(takeAssertions(), std::vector<std::string>(8, "m"));
}

}  // namespace
