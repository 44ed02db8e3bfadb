#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/location/LocationResponse.h"

namespace {

using LocationResponseTest = RuntimeTest;

TEST_F(LocationResponseTest, KeepsEveryFieldAndOnlyTheLowSixteenBitsOfTheNumber) {
    ByteArray data("<civic>Hall 3</civic>");
    ByteArray signature("\x30\x2c\x02\x14");
    LocationResponse response =
        LocationResponse::create(70000, 1, data, 1, signature, ByteArray("ap-17"), 25);
    EXPECT_EQ(response.getSequenceNumber(), 4464);
    EXPECT_EQ(response.getLocationFormat(), 1);
    EXPECT_EQ(response.getLocationData(), data);
    EXPECT_EQ(response.getSignatureType(), 1);
    EXPECT_EQ(response.getDigitalSignature(), signature);
    EXPECT_EQ(response.getLocationId(), ByteArray("ap-17"));
    EXPECT_EQ(response.getLocationAccuracy(), 25);
}

TEST_F(LocationResponseTest, EmptyHandleAssertsOnEveryRead) {
    LocationResponse none;
    EXPECT_EQ(none.getSequenceNumber(), 0);
    EXPECT_EQ(none.getLocationFormat(), 0);
    EXPECT_EQ(none.getLocationData().length(), 0);
    EXPECT_EQ(none.getSignatureType(), 0);
    EXPECT_EQ(none.getDigitalSignature().length(), 0);
    EXPECT_EQ(none.getLocationId().length(), 0);
    EXPECT_EQ(none.getLocationAccuracy(), 0);
    EXPECT_EQ(takeAssertions(), std::vector<std::string>(7, "m"));
}

}  // namespace
