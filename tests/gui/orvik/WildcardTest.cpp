#include <gtest/gtest.h>

#include "gui/orvik/Wildcard.h"

namespace orvik {
namespace {

struct MatchCase {
    const char* pattern;
    const char* name;
    bool matches;
};

TEST(WildcardTest, MatchesByTheWildcardRules) {
    const MatchCase cases[] = {
        // sets with ranges
        {"[a-c]*.txt", "b1.txt", true},
        {"[a-c]*.txt", "d.txt", false},
        {"[a-c]*.txt", "B1.txt", false},
        {"[c-a]", "b", false},
        {"[-a]", "-", true},
        {"[a-]", "a", false},
        {"[a-]", "-", false},
        {"[ab", "a", false},
        {"[]", "a", false},
        {"[\\]]", "]", true},
        {"[a\\-c]", "-", true},
        {"[a\\-c]", "b", false},
        {"[xa-cz]", "z", true},
        {"[\\", "\\", false},
        // stars try every split, the empty run and the end included
        {"*", "", true},
        {"*", "anything", true},
        {"a*", "a", true},
        {"*b", "aab", true},
        {"*b", "aba", false},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYc d", false},
        {"**x", "x", true},
        // one character each
        {"?", "", false},
        {"??", "ab", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        // escapes
        {"\\*", "*", true},
        {"\\*", "a", false},
        {"a\\?", "a?", true},
        {"a\\", "a", false},
        {"a\\", "a\\", false},
        // literal characters, case-sensitive, whole name only
        {"abc", "abc", true},
        {"abc", "ABC", false},
        {"abc", "abcd", false},
        {"", "", true},
        {"", "a", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchesWildcard(c.pattern, c.name), c.matches)
            << "pattern \"" << c.pattern << "\" name \"" << c.name << '"';
    }
}

TEST(WildcardTest, ManyStarsAgainstALongNameFinishQuickly) {
    const std::string name(200, 'a');
    EXPECT_FALSE(matchesWildcard("*a*a*a*a*a*a*a*a*a*a*b", name));
    EXPECT_TRUE(matchesWildcard("*a*a*a*a*a*a*a*a*a*a*", name));
}

}  // namespace
}  // namespace orvik
