#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/exception/NvoException.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"
#include "vel/string/ByteOutputBuffer.h"
#include "vel/string/ByteStream.h"
#include "vel/string/FormatBuffer.h"
#include "vel/string/StringConstants.h"
#include "vel/string/TagComp.h"
#include "vel/string/TagMacAddr.h"
#include "vel/string/TextCodec.h"

namespace {

std::string textOf(const Ascii& a) {
    return std::string(a.text(), static_cast<std::size_t>(a.length()));
}

class ArrayTest : public ::testing::Test {
protected:
    void SetUp() override { BaseValuesTest::takeAssertions(); }
    void TearDown() override { EXPECT_TRUE(BaseValuesTest::takeAssertions().empty()); }
};

TEST_F(ArrayTest, SubstringCountsNegativeIndicesFromTheEndAndClamps) {
    struct Case {
        int begin, end;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {-3, 100, "def"}, {4, 2, ""}, {0, 6, "abcdef"}, {1, 3, "bc"}, {-100, 2, "ab"},
        {2, -1, "cde"},   {6, 9, ""}, {-1, -1, ""},     {0, 0, ""},   {3, 3, ""},
    };
    Ascii text("abcdef");
    for (const Case& c : cases) {
        EXPECT_EQ(textOf(text.substring(c.begin, c.end)), c.expected) << c.begin << "," << c.end;
    }
}

TEST_F(ArrayTest, EqualityComparesLengthsAndBytes) {
    EXPECT_NE(Ascii("ab", 2), Ascii("ab\0", 3));  // same bytes up to the zero, other lengths
    EXPECT_EQ(Ascii("ab\0", 3), Ascii("ab\0x", 3));
    EXPECT_NE(Ascii("Ab"), Ascii("ab"));
    EXPECT_EQ(Ascii(""), Ascii());
    EXPECT_EQ(ByteArray("xy") + ByteArray("z"), ByteArray("xyz"));
    EXPECT_NE(ByteArray("\x01\x02", 2), ByteArray("\x01\x03", 2));
    EXPECT_EQ(Ascii("abcb").find('b'), 1);
    EXPECT_EQ(Ascii("abc").find('z'), -1);
}

TEST_F(ArrayTest, CountedComparisonRules) {
    struct Case {
        const char* a;
        int aLength;
        const char* b;
        int bLength;
        bool equal;
    };
    const std::vector<Case> cases = {
        {"abc", -1, "abc", 3, true},     {"abc", 2, "ab", -1, true},    {"abc", -1, "abd", -1, false},
        {nullptr, -1, nullptr, 0, true}, {nullptr, 0, "", 0, false},    {nullptr, 1, nullptr, 1, false},
        {"a", -2, "a", -2, false},       {"ABC", -1, "abc", -1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextCodec::equal(c.a, c.aLength, c.b, c.bLength), c.equal)
            << (c.a ? c.a : "null") << "/" << c.aLength << " vs " << (c.b ? c.b : "null") << "/" << c.bLength;
    }
}

TEST_F(ArrayTest, EveryArrayEndsInAZeroAndCopiesShareTheirBytes) {
    ByteArray a("\x01\x02\x03", 3);
    EXPECT_EQ(a.bytes()[3], 0);
    ByteArray copy = a;
    EXPECT_EQ(copy.bytes(), a.bytes());
    Ascii text("hello");
    EXPECT_EQ(text.text()[5], '\0');
    EXPECT_EQ(std::strlen(text.toByteArray().text()), 5u);
}

TEST_F(ArrayTest, LengthLimitIsTenMillionExclusive) {
    std::vector<char> big(StringConstants::MAX_LENGTH, 'x');
    ByteArray largest(big.data(), StringConstants::MAX_LENGTH - 1);
    EXPECT_EQ(largest.length(), 9999999);
    EXPECT_TRUE(BaseValuesTest::takeAssertions().empty());

    ByteArray tooLong(big.data(), StringConstants::MAX_LENGTH);
    EXPECT_EQ(tooLong.length(), 0);
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"0 <= length && length < 10000000"});

    // Concatenation past the limit is refused as a whole, not cut.
    ByteArray joined(largest, ByteArray("y"));
    EXPECT_EQ(joined.length(), 0);
    EXPECT_EQ(BaseValuesTest::takeAssertions().size(), 1u);
}

TEST_F(ArrayTest, OutputBufferIsWrittenOnceThenLentWithoutACopy) {
    ByteOutputBuffer buffer(8);
    std::memcpy(buffer.data(), "abcdefgh", 8);
    buffer.complete(5);
    ByteArray borrowed(buffer);
    EXPECT_EQ(borrowed.length(), 5);
    EXPECT_EQ(borrowed.bytes(), buffer.bytes());
    EXPECT_STREQ(borrowed.text(), "abcde");

    EXPECT_EQ(buffer.data(), nullptr);  // no writes after completion
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"! m_complete"});

    ByteOutputBuffer open(4);
    EXPECT_EQ(open.length(), 0);  // no reads before completion
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"m_complete"});
}

TEST_F(ArrayTest, OutputStreamRefusesWritesPastItsEnd) {
    std::uint8_t memory[10] = {};
    ByteOutputStream stream(memory, 9);
    stream.writeByteArray(ByteArray("ab"));
    stream.writeText("cd");
    EXPECT_EQ(stream.length(), 8);
    stream.write("xy", 2);
    EXPECT_EQ(stream.length(), 8);
    EXPECT_EQ(memory[8], 0);
    EXPECT_EQ(BaseValuesTest::takeAssertions().size(), 1u);
    stream.writeByte('z');
    EXPECT_TRUE(stream.full());
    stream.writeByte('!');
    EXPECT_EQ(memory[9], 0);
    EXPECT_EQ(BaseValuesTest::takeAssertions(),
              std::vector<std::string>{"m_writePointer + 1 <= m_endPointer"});
    const std::uint8_t expected[] = {2, 0, 0, 0, 'a', 'b', 'c', 'd', 'z'};
    EXPECT_EQ(std::memcmp(memory, expected, sizeof expected), 0);
}

TEST_F(ArrayTest, FormatBufferFormatsOnceAndRaisesATextThatDoesNotFit) {
    FormatBuffer100 text("%s-%04d", "id", 7);
    EXPECT_STREQ(text.text(), "id-0007");
    EXPECT_EQ(text.length(), 7);
    EXPECT_EQ(textOf(text.ascii()), "id-0007");

    text.format("%d", 1);
    EXPECT_STREQ(text.text(), "id-0007");
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"!m_formatted"});

    FormatBuffer100 unread;
    EXPECT_STREQ(unread.text(), "");
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"m_formatted"});

    const std::string long100(100, 'x');
    try {
        FormatBuffer100 overflow("%s", long100.c_str());
        FAIL() << "a 100-character text fits no 100-byte buffer";
    } catch (const NvoException& e) {
        EXPECT_STREQ(e.function(), "FormatVarArgs");
    }
    char caller[4];
    FormatBuffer own(caller, sizeof caller);
    try {
        own.format("%s", "four");
        FAIL();
    } catch (const NvoException& e) {
        EXPECT_STREQ(e.function(), "FormatBuffer::format");
    }
}

TEST_F(ArrayTest, MacAddressTagPrintsPairsOrNothing) {
    struct Case {
        const char* address;
        std::size_t size;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"0011223344ff", 64, "[mac=3,6,00:11:22:33:44:ff]"},
        {"0011223344ff", 28, "[mac=3,6,00:11:22:33:44:ff]"},  // exactly room for it and the zero
        {"0011223344ff", 27, ""},
        {"0011223344f", 64, ""},
        {"0011223344ff0", 64, ""},
    };
    for (const Case& c : cases) {
        char buffer[64];
        std::memset(buffer, '#', sizeof buffer);
        TagMacAddr tag(Ascii(c.address), 3);
        int n = tag.print(buffer, c.size);
        EXPECT_EQ(std::string(buffer), c.expected) << c.address << " in " << c.size;
        EXPECT_EQ(n, static_cast<int>(c.expected.size()));
    }
    char buffer[32];
    TagComp comp("matchmaker");
    comp.print(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "[comp=matchmaker]");
}

TEST_F(ArrayTest, ProxyMustBeTestedBeforeItsValueIsRead) {
    ByteArrayProxy proxy(ByteArray("v"));
    EXPECT_EQ(proxy.value().length(), 0);
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{"m_checked && m"});
    ASSERT_TRUE(proxy.exists());
    EXPECT_EQ(proxy.value(), ByteArray("v"));
    proxy = ByteArray("w");  // a new value asks for a new test
    proxy.value();
    EXPECT_EQ(BaseValuesTest::takeAssertions().size(), 1u);
    AsciiProxy empty;
    EXPECT_FALSE(empty.exists());
    empty.value();
    EXPECT_EQ(BaseValuesTest::takeAssertions().size(), 1u);
}

}  // namespace
