#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/datagram/NamedDatagramVector.h"
#include "vel/string/ByteArrayVector.h"
#include "vel/string/NetworkOrderInteger.h"

namespace {

std::string bytesOf(const ByteArray& a) {
    return std::string(a.text(), static_cast<std::size_t>(a.length()));
}

ByteArray arrayOf(const std::string& s) {
    return ByteArray(s.data(), static_cast<std::int32_t>(s.size()));
}

std::string le32(std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

TEST(SerialFormTest, WritesCountThenLengthPrefixedElements) {
    ByteArrayVector empty;
    EXPECT_EQ(bytesOf(empty.serialize()), le32(0));

    ByteArrayVector two;
    two.add(ByteArray("ab"));
    two.add(ByteArray());
    EXPECT_EQ(bytesOf(two.serialize()), le32(2) + le32(2) + "ab" + le32(0));
}

TEST(SerialFormTest, ReadsBackExactlyWhatWasWritten) {
    ByteArrayVector original;
    original.add(arrayOf(std::string("\x00\xff\x00", 3)));
    original.add(ByteArray());
    original.add(ByteArray(std::string(300, 'q').c_str()));
    ByteArrayVectorProxy read = ByteArrayVector::deserialize(original.serialize());
    ASSERT_TRUE(read.exists());
    ByteArrayVector copy = read.value();
    ASSERT_EQ(copy.length(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(copy.get(i), original.get(i)) << i;

    // The empty vector is held, not refused.
    ByteArrayVectorProxy none = ByteArrayVector::deserialize(arrayOf(le32(0)));
    ASSERT_TRUE(none.exists());
    EXPECT_EQ(none.value().length(), 0);
}

TEST(SerialFormTest, RefusesAnythingButOneWholeWellFormedVector) {
    const std::string good = le32(1) + le32(2) + "ab";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty input", ""},
        {"three bytes", std::string("\x00\x00\x00", 3)},
        {"count -1", le32(0xFFFFFFFFu)},
        {"count 10000001", le32(10000001)},
        {"count larger than the input can hold", le32(1000) + le32(0)},
        {"length word cut", le32(1) + std::string("\x02\x00", 2)},
        {"length past the end", le32(1) + le32(3) + "ab"},
        {"length 10000001", le32(1) + le32(10000001)},
        {"negative length", le32(1) + le32(0xFFFFFFFEu) + "ab"},
        {"missing element", le32(2) + le32(2) + "ab"},
        {"trailing byte", good + "x"},
    };
    ASSERT_TRUE(ByteArrayVector::deserialize(arrayOf(good)).exists());
    for (const auto& [name, input] : cases) {
        EXPECT_FALSE(ByteArrayVector::deserialize(arrayOf(input)).exists()) << name;
    }
}

// The datagram type of the pipe layer stands in as any value with a default.
using Datagrams = NamedDatagramVectorOf<ByteArray>;

TEST(NamedDatagramVectorTest, NamesAreUniqueAndRemovalKeepsPositionsPaired) {
    Datagrams vector;
    EXPECT_EQ(vector.add(ByteArray("banner"), ByteArray("first")), Datagrams::ADDED);
    EXPECT_EQ(vector.add(ByteArray("credential"), ByteArray("second")), Datagrams::ADDED);
    EXPECT_EQ(vector.add(ByteArray("banner"), ByteArray("third")), 0);
    ASSERT_EQ(vector.length(), 2);
    EXPECT_EQ(vector.get(0), ByteArray("first"));

    EXPECT_EQ(vector.remove(ByteArray("banner")), 1);
    EXPECT_EQ(vector.remove(ByteArray("banner")), 0);
    ASSERT_EQ(vector.length(), 1);
    EXPECT_EQ(vector.nameAt(0), ByteArray("credential"));
    EXPECT_EQ(vector.get(0), ByteArray("second"));
    EXPECT_FALSE(vector.contains(ByteArray("banner")));
    // Names compare by length too: a prefix is another name.
    EXPECT_FALSE(vector.contains(ByteArray("cred")));
}

TEST(NetworkOrderTest, ReadsBigEndianAndNeedsATestFirst) {
    BaseValuesTest::takeAssertions();
    const std::uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78};
    SafeNetworkUint16 half(bytes);
    SafeNetworkUint32 whole(bytes);
    EXPECT_EQ(half.value(), 0);
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"m_usuable"});
    ASSERT_TRUE(half.valid());
    ASSERT_TRUE(whole.valid());
    EXPECT_EQ(half.value(), 0x1234);
    EXPECT_EQ(whole.value(), 0x12345678u);
    SafeNetworkUint32 nothing(nullptr);
    EXPECT_TRUE(nothing.invalid());
    EXPECT_EQ(nothing.value(), 0u);
    EXPECT_EQ(BaseValuesTest::takeAssertions().size(), 1u);
}

}  // namespace
