#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "gui/orvik/Conversions.h"
#include "gui/orvik/Exception.h"

namespace orvik {
namespace {

using ::testing::ContainsRegex;
using ::testing::ElementsAreArray;

TEST(ConversionsTest, NumbersBecomeDecimalText) {
    EXPECT_EQ(toString(-42), "-42");
    EXPECT_EQ(toString(4294967295u), "4294967295");
    EXPECT_EQ(toString(ULONG_MAX), "18446744073709551615");
    EXPECT_EQ(toWString(-7), L"-7");
    EXPECT_EQ(toWString(0u), L"0");
}

struct TrimCase {
    const char* text;
    const char* left;
    const char* right;
    const char* expected;
};

TEST(ConversionsTest, TrimCutsEachSideWithItsOwnSet) {
    const TrimCase cases[] = {
        {"  ab c  ", " ", " ", "ab c"}, {"     ", " ", " ", ""},   {"", " ", " ", ""},
        {"xxaxx", "x", "", "axx"},      {"xxaxx", "", "x", "xxa"}, {"\t a \n", " \t", "\n ", "a"},
        {"ab", "a", "b", ""},           {"abc", "", "", "abc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trim(c.text, c.left, c.right), c.expected) << '"' << c.text << '"';
    }
}

struct EscapeCase {
    const char* escapeText;
    const char* text;
    const char* specials;
    bool wrap;
    const char* expected;
};

TEST(ConversionsTest, EscapePrefixesEverySpecialCharacterOnce) {
    const EscapeCase cases[] = {
        {"\\", "a\\b\\\\c", "\\", false, "a\\\\b\\\\\\\\c"},
        {"\"", "say \"hi\"", "\"", true, "\"say \"\"hi\"\"\""},
        {"^", "a&b|c", "&|", false, "a^&b^|c"},
        {"^", "", "&", true, "^^"},
        {"%", "plain", "", false, "plain"},
        {"<>", "x<y", "<", false, "x<><y"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escape(c.escapeText, std::string(c.text), c.specials, c.wrap), c.expected) << c.text;
        std::string inPlace = c.text;
        escape(c.escapeText, inPlace, c.specials, c.wrap);
        EXPECT_EQ(inPlace, c.expected) << c.text;
    }
    std::wstring wide = L"C:\\dir";
    escape(std::wstring(L"\\"), wide, std::wstring(L"\\"), true);
    EXPECT_EQ(wide, L"\\C:\\\\dir\\");
}

TEST(ConversionsTest, CaseChangesKeepTheOriginalForTheCopyingForms) {
    const std::string original = "MiXeD 1-z";
    EXPECT_EQ(toUpper(original), "MIXED 1-Z");
    EXPECT_EQ(toLower(original), "mixed 1-z");
    EXPECT_EQ(original, "MiXeD 1-z");
    std::string inPlace = "abc";
    toUpper(inPlace);
    EXPECT_EQ(inPlace, "ABC");
    EXPECT_EQ(toUpper(std::wstring(L"wide")), L"WIDE");
}

TEST(ConversionsTest, ToBoolAcceptsOnlyTheExactWords) {
    EXPECT_TRUE(toBool("true"));
    EXPECT_FALSE(toBool("false"));
    EXPECT_TRUE(toBool(std::wstring(L"true")));
    EXPECT_FALSE(toBool(std::wstring(L"false")));

    for (const char* bad : {"True", "1", "", " true", "falsey"}) {
        try {
            toBool(bad);
            ADD_FAILURE() << "accepted \"" << bad << '"';
        } catch (const Exception& e) {
            // The message leads back to the raising statement: source path, line, then the text.
            EXPECT_THAT(e.what(),
                        ContainsRegex(std::string("^.*Conversions\\.cpp: [0-9]+: Cannot convert \"") + bad +
                                      "\" to a boolean!$"));
        }
    }
    try {
        toBool(std::wstring(L"TRUE"));
        ADD_FAILURE() << "accepted wide TRUE";
    } catch (const Exception& e) {
        EXPECT_THAT(e.what(),
                    ContainsRegex("Conversions\\.cpp: [0-9]+: Cannot convert \"TRUE\" to a boolean!$"));
    }
}

struct WideCase {
    const char* narrow;
    std::wstring wide;
};

TEST(ConversionsTest, Utf8ConvertsBothWaysAndReplacesMalformedBytes) {
    const std::wstring R(1, L'\uFFFD');
    const WideCase cases[] = {
        {"", L""},
        {"plain", L"plain"},
        {"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", L"a\u00E9\u20AC\U0001F600"},
        {"\xFF", R},
        {"a\xC3", L"a" + R},
        {"\xE2\x82"
         "b",
         R + L"b"},
        {"\xC0\xAF", R + R},
        {"\xE0\x80\x80", R + R + R},
        {"\xED\xA0\x80", R + R + R},
        {"\xF4\x90\x80\x80", R + R + R + R},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toWide(c.narrow), c.wide) << c.narrow;
    }
    EXPECT_EQ(toNarrow(L"a\u00E9\u20AC\U0001F600"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(toNarrow(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(toNarrow(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
}

struct TokenizeCase {
    const char* text;
    const char* separators;
    bool skipEmpty;
    std::vector<std::string> expected;
};

TEST(ConversionsTest, TokenizeSplitsAtEverySeparator) {
    const TokenizeCase cases[] = {
        {"a;;b", ";", false, {"a", "", "b"}},
        {"a;;b", ";", true, {"a", "b"}},
        {";", ";", false, {"", ""}},
        {";", ";", true, {}},
        {"", ";", false, {}},
        {"a,b;c", ",;", false, {"a", "b", "c"}},
        {"abc", ";", true, {"abc"}},
        {"a;", ";", false, {"a", ""}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> out;
        tokenize(c.text, c.separators, out, c.skipEmpty);
        EXPECT_THAT(out, ElementsAreArray(c.expected)) << '"' << c.text << '"' << c.skipEmpty;
    }
    std::vector<std::string> appended{"kept"};
    tokenize("x y", " ", appended, true);
    EXPECT_THAT(appended, ElementsAreArray({"kept", "x", "y"}));
}

TEST(ConversionsTest, TokenizeWithoutSeparatorsIsAStandardError) {
    std::vector<std::string> out;
    try {
        tokenize("a", "", out, false);
        ADD_FAILURE() << "no error";
    } catch (const Exception&) {
        ADD_FAILURE() << "raised the library's own exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "tokenize() -- separators cannot be empty.");
    }
}

TEST(ConversionsTest, ExceptionKeepsItsMessageThroughWideTextAndCopies) {
    const Exception wide(std::wstring(L"gr\u00FC\u00DF"));
    EXPECT_STREQ(wide.what(), "gr\xC3\xBC\xC3\x9F");
    const Exception copy(wide);
    EXPECT_STREQ(copy.what(), wide.what());
    const std::exception& base = copy;
    EXPECT_STREQ(base.what(), "gr\xC3\xBC\xC3\x9F");
}

}  // namespace
}  // namespace orvik
