#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/datagram/Datagram.h"
#include "vel/string/ByteOutputBuffer.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class DatagramTest : public RuntimeTest {};

}  // namespace

TEST_F(DatagramTest, BuiltFromBytesOrTextHoldsACopyFollowedByAZero) {
    char bytes[] = {'a', '\0', 'b', 'c'};
    Datagram copied(bytes, 4);
    bytes[0] = 'z';
    ASSERT_EQ(copied.length(), 4);
    EXPECT_EQ(std::memcmp(copied.bytes(), "a\0bc", 4), 0);
    EXPECT_EQ(copied.bytes()[4], 0) << "loggable as text";

    Datagram text("<e/>");
    EXPECT_EQ(text.length(), 4);
    EXPECT_STREQ(text.text(), "<e/>");
    Datagram empty("");
    EXPECT_FALSE(empty.isNull());
    EXPECT_EQ(empty.length(), 0);
    EXPECT_STREQ(empty.text(), "");

    // Copies of the handle share the one buffer.
    Datagram shared = copied;
    EXPECT_EQ(shared.bytes(), copied.bytes());
}

TEST_F(DatagramTest, WrapsAByteArrayWithoutCopying) {
    ByteArray array("<document/>");
    Datagram wrapped = Datagram::fromByteArray(array);
    EXPECT_EQ(wrapped.bytes(), array.bytes());
    EXPECT_EQ(wrapped.length(), array.length());
    EXPECT_TRUE(wrapped.byteArray() == array);

    ByteOutputBuffer buffer(16);
    std::memcpy(buffer.data(), "<dump/>", 7);
    buffer.complete(7);
    Datagram dumped = Datagram::fromByteArray(buffer);
    EXPECT_EQ(dumped.bytes(), buffer.bytes());
    EXPECT_STREQ(dumped.text(), "<dump/>");
}

TEST_F(DatagramTest, LengthOutsideTheLimitsIsABrokenInvariant) {
    char byte = 'x';
    Datagram negative(&byte, -1);
    Datagram noBytes(static_cast<const void*>(nullptr), 3);
    EXPECT_TRUE(negative.isNull());
    EXPECT_TRUE(noBytes.isNull());
    EXPECT_THAT(takeAssertions(), ElementsAre(HasSubstr("length"), HasSubstr("bytes")));
}
