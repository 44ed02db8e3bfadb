#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/softtoken/SofTokApi.h"
#include "platform/softtoken/TokenLibrary.h"

namespace tamsel::test {
namespace {

using softtoken::Token;
using softtoken::TokenLibrary;

// One generation as the service runs it: read, type, passcode, write.
struct Outcome {
    int read;
    int type;
    int passcode;
    int expired;
    std::string code;
    int write;
};

Outcome generate(TokenLibrary& library, const char* user, const char* pin) {
    Outcome o{};
    char buffer[SOFTOK_PASSCODE_SIZE] = "";
    o.read = library.readTokenData(user);
    o.type = library.tokenType();
    o.passcode = library.passcode(buffer, sizeof buffer, pin);
    o.expired = library.hasPinExpired();
    o.code = buffer;
    o.write = library.writeTokenData(user);
    return o;
}

TEST(TokenLibraryTest, APasscodeNeedsTheUsersTokenAndItsPin) {
    Token alice{"alice", "1234", "9876543210987654", 8, false};
    Token bob{"bob", "1111", "0000000000000000", 7, false};
    Token carol{"carol", "2222", "1212121212121212", 8, true};
    struct Case {
        const char* user;
        const char* pin;
        Outcome expected;
    };
    const std::vector<Case> cases = {
        {"alice", "1234", {0, 8, 0, 0, "9876543210987654", 0}},
        {"alice", "4321", {0, 8, SOFTOK_ERROR_INCORRECT_PIN, 0, "", 0}},
        {"bob", "1111", {0, 7, 0, 0, "0000000000000000", 0}},
        {"carol", "2222", {0, 8, SOFTOK_ERROR_PIN_EXPIRED, 1, "", 0}},
        {"dave", "1234", {SOFTOK_ERROR_IO, 0, SOFTOK_ERROR_NO_TOKEN, 0, "", SOFTOK_ERROR_IO}},
    };
    TokenLibrary library;
    library.setTokens({alice, bob, carol});
    EXPECT_EQ(library.initialize(), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user + std::string(" ") + c.pin);
        Outcome o = generate(library, c.user, c.pin);
        EXPECT_EQ(o.read, c.expected.read);
        EXPECT_EQ(o.type, c.expected.type);
        EXPECT_EQ(o.passcode, c.expected.passcode);
        EXPECT_EQ(o.expired, c.expected.expired);
        EXPECT_EQ(o.code, c.expected.code);
        EXPECT_EQ(o.write, c.expected.write);
    }
}

TEST(TokenLibraryTest, AReadFailureTellsWhyAndSmallBuffersAreRefused) {
    TokenLibrary library;
    library.setTokens({Token{"alice", "1234"}});
    char text[256];
    EXPECT_EQ(library.readTokenData("dave"), SOFTOK_ERROR_IO);
    EXPECT_EQ(library.lastIoError(text, sizeof text), SOFTOK_ERROR_IO);
    EXPECT_STREQ(text, "No token data for user dave");
    char small[8];
    EXPECT_EQ(library.lastIoError(small, sizeof small), SOFTOK_ERROR_IO);
    EXPECT_STREQ(small, "No toke");

    ASSERT_EQ(library.readTokenData("alice"), 0);
    char passcode[SOFTOK_PASSCODE_SIZE - 1];
    EXPECT_EQ(library.passcode(passcode, sizeof passcode, "1234"), SOFTOK_ERROR_BUFFER);
    EXPECT_EQ(library.writeTokenData("bob"), SOFTOK_ERROR_IO);
}

}  // namespace
}  // namespace tamsel::test
