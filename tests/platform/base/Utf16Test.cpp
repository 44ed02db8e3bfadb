#include <gtest/gtest.h>

#include <string>

#include "platform/base/Utf16.h"

namespace tamsel::test {
namespace {

struct Utf16Case {
    const char* name;
    std::u16string utf16;
    std::string utf8;
};

const Utf16Case TO_UTF8[] = {
    {"empty", u"", ""},
    {"path keeps its separators", u"C:\\logs\\a.cap", "C:\\logs\\a.cap"},
    {"two and three bytes", u"\u00e9\u20ac", "\xc3\xa9\xe2\x82\xac"},
    {"surrogate pair is one character", u"\xd83d\xde00", "\xf0\x9f\x98\x80"},
    {"lone high surrogate", std::u16string(u"a") + char16_t(0xD83D) + u"x", "a\xef\xbf\xbdx"},
    {"lone low surrogate", std::u16string(1, char16_t(0xDC00)), "\xef\xbf\xbd"},
    {"high surrogate at the end", std::u16string(1, char16_t(0xDBFF)), "\xef\xbf\xbd"},
    {"embedded zero", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
};

TEST(Utf16Test, Utf16ToUtf8) {
    for (const Utf16Case& c : TO_UTF8) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(base::utf16ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(base::utf16ToUtf8(c.utf16.data(), c.utf16.size(), nullptr), c.utf8.size());
    }
}

const Utf16Case TO_UTF16[] = {
    {"ascii", u"abc", "abc"},
    {"four bytes become a pair", u"\xd83d\xde00", "\xf0\x9f\x98\x80"},
    {"stray continuation byte",
     u"a\xfffd"
     u"b",
     "a\x80"
     "b"},
    {"truncated sequence keeps the next character",
     u"\xfffd"
     u"a",
     "\xe2\x82"
     "a"},
    {"truncated at the end", u"\xfffd", "\xe2\x82"},
    {"overlong form", u"\xfffd", "\xc0\x80"},
    {"encoded surrogate", u"\xfffd", "\xed\xa0\x80"},
    {"above U+10FFFF", u"\xfffd", "\xf4\x90\x80\x80"},
    {"invalid lead byte", u"\xfffd", "\xff"},
};

TEST(Utf16Test, Utf8ToUtf16) {
    for (const Utf16Case& c : TO_UTF16) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(base::utf8ToUtf16(c.utf8), c.utf16);
    }
}

}  // namespace
}  // namespace tamsel::test
