#include <gtest/gtest.h>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/credmgr/IdentityPattern.h"

namespace tamsel::test {
namespace {

TEST(IdentityPatternTest, Expansions) {
    const struct {
        const char* identity;
        const char* pattern;
        const char* expected;
    } rows[] = {
        {"alice@corp.example", "[username]@[domain]", "alice@corp.example"},
        {"alice@corp.example", "[domain]\\[username]", "corp.example\\alice"},
        {"alice", "[username]@[domain]", "alice"},
        {"alice", "[domain]\\[username]", "alice"},
        {"alice", "host/[username]", "host/alice"},
        {"alice", "pre[domain]post", "prepost"},
        {"alice@corp", "[username]", "alice"},
        {"alice@corp", "plain", "plain"},
        {"", "[username]@[domain]", ""},
        {"alice@corp", "[nickname]x[username]", "xalice"},
        // A value that looks like a wildcard is not expanded again.
        {"[username]@[domain]", "[username]@[domain]", "[username]@[domain]"},
        {"[domain]", "[username]", "[domain]"},
        // A "]" before the "[" is text; an unclosed "[" ends the expansion.
        {"alice@corp", "a]b[username]", "a]balice"},
        {"alice@corp", "[username][domain", "alice[domain"},
        {"a@b@c", "[username]:[domain]", "a:b@c"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(IdentityPattern::expand(row.identity, row.pattern).text(), row.expected)
            << row.identity << " / " << row.pattern;
    }
}

TEST(IdentityPatternTest, AnUnknownWildcardIsRemovedWithALine) {
    LogCapture log;
    EXPECT_STREQ(IdentityPattern::expand("alice", "[who]-[username]").text(), "-alice");
    EXPECT_TRUE(log.contains("The wildcard ([who]) in the pattern is unknown and will be removed"));
}

}  // namespace
}  // namespace tamsel::test
