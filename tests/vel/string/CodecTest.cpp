#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"
#include "vel/string/Unicode.h"

namespace {

std::string bytesOf(const ByteArray& a) {
    return std::string(a.text(), static_cast<std::size_t>(a.length()));
}

ByteArray arrayOf(const std::string& s) {
    return ByteArray(s.data(), static_cast<std::int32_t>(s.size()));
}

std::string textOf(const Ascii& a) {
    return std::string(a.text(), static_cast<std::size_t>(a.length()));
}

struct HexCase {
    std::string text;
    bool accepted;
    std::string bytes;
};

TEST(HexTest, DecodesPairsOfEitherCaseAndRefusesAnythingElse) {
    const std::vector<HexCase> cases = {
        {"00AB", true, std::string("\x00\xab", 2)},
        {"00ab", true, std::string("\x00\xab", 2)},
        {"fF7e10", true, "\xff\x7e\x10"},
        {"abc", false, ""},   // odd
        {"a", false, ""},     // shorter than one pair
        {"", false, ""},      // nothing to decode
        {"0g", false, ""},    // not a digit
        {"12 4", false, ""},  // white space is not skipped here
        {"-1", false, ""},
    };
    for (const HexCase& c : cases) {
        ByteArray decoded = ByteArray::fromHex(c.text.c_str(), static_cast<std::int32_t>(c.text.size()));
        EXPECT_EQ(bytesOf(decoded), c.bytes) << c.text;
        if (!c.accepted) {
            EXPECT_EQ(decoded.length(), 0) << c.text;
        }
    }
}

TEST(HexTest, EncodesLowerCaseHighNibbleFirstAndRoundTripsEveryByte) {
    EXPECT_EQ(textOf(arrayOf(std::string("\x00\xab", 2)).toHex()), "00ab");
    EXPECT_EQ(textOf(ByteArray().toHex()), "");
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    Ascii hex = arrayOf(all).toHex();
    ASSERT_EQ(hex.length(), 512);
    EXPECT_EQ(textOf(hex).substr(0x1f * 2, 4), "1f20");
    EXPECT_EQ(bytesOf(ByteArray::fromHex(hex)), all);
}

TEST(Base64Test, EncodesWithPadding) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},       {"f", "Zg=="},   {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"ab", "YWI="}, {"abc", "YWJj"}, {"foobar", "Zm9vYmFy"}, {std::string("\xff\xfe\x00", 3), "//4A"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(textOf(arrayOf(bytes).toBase64()), text) << text;
}

struct Base64Case {
    std::string text;
    std::string bytes;  // empty where the text is refused
};

TEST(Base64Test, DecodesSkippingWhiteSpaceAndRefusesMalformedTextWhole) {
    const std::vector<Base64Case> cases = {
        {"YWJj", "abc"},
        {"YW Jj", "abc"},
        {" Y\tW\r\nJ j\n", "abc"},
        {"YWJ", "ab"},  // a partial last group of three
        {"YQ==", "a"},
        {"YQ=", "a"},
        {"Zm9vYmFy", "foobar"},
        {"//4A", std::string("\xff\xfe\x00", 3)},
        {"Y", ""},      // one data character holds no byte
        {"YWJjY", ""},  // ... nor at the end of a longer text
        {"YQ=a", ""},   // data after padding within a group
        {"Y=Q=", ""},
        {"YWJj!", ""},  // outside the alphabet
        {"YW-j", ""},
        {"====", ""},  // padding only
        {"", ""},
    };
    for (const Base64Case& c : cases) {
        ByteArray decoded = ByteArray::fromBase64(c.text.c_str(), static_cast<std::int32_t>(c.text.size()));
        EXPECT_EQ(bytesOf(decoded), c.bytes) << "'" << c.text << "'";
    }
}

TEST(Base64Test, RoundTripsEveryLengthAcrossAGroup) {
    std::string bytes;
    for (int n = 0; n < 40; ++n) {
        ByteArray original = arrayOf(bytes);
        ByteArray decoded = ByteArray::fromBase64(original.toBase64());
        EXPECT_EQ(bytesOf(decoded), bytes) << n;
        bytes += static_cast<char>(n * 37 + 200);
    }
}

struct WideCase {
    std::u16string wide;
    std::string narrowed;
    std::string utf8;
};

TEST(WideTextTest, NarrowsToQuestionMarksAndConvertsToUtf8) {
    const std::vector<WideCase> cases = {
        {u"abc", "abc", "abc"},
        {u"\u00e91", "?1",
         "\xc3\xa9"
         "1"},
        {u"\u007f\u0080", "\x7f?", "\x7f\xc2\x80"},
        {u"\u20ac", "?", "\xe2\x82\xac"},
        {u"\U0001F600", "??", "\xf0\x9f\x98\x80"},  // a surrogate pair is one character
        {u"x\xd800y", "x?y", "x\xef\xbf\xbdy"},     // an unpaired surrogate cannot be encoded
        {u"", "", ""},
    };
    for (const WideCase& c : cases) {
        Unicode wide(c.wide.data(), static_cast<std::int32_t>(c.wide.size()));
        EXPECT_EQ(textOf(Ascii(wide)), c.narrowed);
        EXPECT_EQ(textOf(Ascii::fromWide(wide)), c.utf8);
        EXPECT_EQ(textOf(Ascii::fromWide(wide.text())), c.utf8);
    }
}

TEST(WideTextTest, WidensByteByByte) {
    Unicode wide(Ascii("A\xe9"));
    ASSERT_EQ(wide.length(), 2);
    EXPECT_EQ(wide.text()[0], u'A');
    EXPECT_EQ(wide.text()[1], char16_t{0xe9});
    EXPECT_EQ(wide.text()[2], u'\0');
    EXPECT_EQ(Unicode(u"ab") + Unicode(u"c"), Unicode(u"abc"));
    EXPECT_NE(Unicode(u"ab"), Unicode(u"abc"));
}

}  // namespace
