#include <gtest/gtest.h>

#include <string>

#include "platform/ndis/KernelText.h"

namespace {

TEST(KernelTextTest, NamesBecomeValidUtf8) {
    const struct {
        std::u16string name;
        std::string utf8;
    } cases[] = {
        {u"C:\\logs\\a.cap", "C:\\logs\\a.cap"},
        {u"caf\u00e9", "caf\xc3\xa9"},
        {u"\u20ac", "\xe2\x82\xac"},
        // A pair is one character outside the basic plane, not two three-byte halves.
        {u"\U0001F600", "\xf0\x9f\x98\x80"},
        {std::u16string(1, char16_t(0xD83D)) + u"x", "\xef\xbf\xbdx"},
        {std::u16string(1, char16_t(0xDE00)), "\xef\xbf\xbd"},
        {u"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(KernelTextToUtf8(c.name.data(), c.name.size()), c.utf8);
}

}  // namespace
