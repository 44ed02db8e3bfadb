#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/base/Win32Error.h"
#include "platform/softtoken/TokenLibrary.h"
#include "tests/vel/vpn/VpnTestSupport.h"
#include "vel/vpn/ScSofToken2.h"
#include "vel/vpn/ScSofToken2Api.h"

namespace tamsel::test {
namespace {

using softtoken::Token;
using softtoken::TokenLibrary;

class ScSofToken2Test : public VpnTest {
protected:
    void SetUp() override {
        VpnTest::SetUp();
        TokenLibrary::instance().reset();
        TokenLibrary::instance().setTokens({Token{"alice", "1234", "9876543210987654", 8, false},
                                            Token{"bob", "1111", "1111222233334444", 7, false},
                                            Token{"carol", "2222", "1212121212121212", 8, true}});
    }
    void TearDown() override {
        token.reset();
        base::clearFailures();
        VpnTest::TearDown();
    }

    std::optional<ScSofToken2> token;
};

TEST_F(ScSofToken2Test, APasscodeComesFromTheUsersTokenAndPin) {
    install(SOFTTOKEN_LIBRARY);
    token = ScSofToken2::create();
    ASSERT_TRUE(ScSofToken2().isAvailable());
    EXPECT_EQ(logged("ScSofToken2Api : SoftAPI-II.dll function addresses obtained"), 1);
    EXPECT_EQ(logged("ScSofToken2Api : API Initialized"), 1);
    struct Case {
        const char* user;
        const char* pin;
        int result;
        const char* passcode;
        const char* line;
    };
    const std::vector<Case> cases = {
        {"alice", "1234", ScSofToken2Constants::GENERATED, "9876543210987654", nullptr},
        {"alice", "4321", ScSofToken2Constants::FAILED, "",
         "ScSofToken2Api : failed to get passcode : incorrect PIN"},
        {"carol", "2222", ScSofToken2Constants::PIN_EXPIRED, "",
         "ScSofToken2Api : failed to get passcode : PIN expired"},
        {"bob", "1111", ScSofToken2Constants::FAILED, "", "ScSofToken2Api : unsupported token type 7"},
        {"dave", "1234", ScSofToken2Constants::FAILED, "",
         "ScSofToken2Api : Failed to load data for user; error [-20]: No token data for user dave"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user + std::string(" ") + c.pin);
        Ascii passcode;
        int before = c.line ? logged(c.line) : 0;
        EXPECT_EQ(ScSofToken2().generate(c.user, c.pin, passcode), c.result);
        EXPECT_STREQ(passcode.text(), c.passcode);
        if (c.line) {
            EXPECT_EQ(logged(c.line), before + 1);
        }
    }
    token->impl()->clearReferences();
    EXPECT_FALSE(token->isAvailable());
    EXPECT_EQ(logged("Unloaded library SoftAPI-II.dll"), 1);
}

TEST_F(ScSofToken2Test, WithoutTheLibraryNoPasscodeIsGenerated) {
    token = ScSofToken2::create();
    EXPECT_EQ(logged("Error loading library SoftAPI-II.dll"), 1);
    EXPECT_FALSE(token->isAvailable());
    Ascii passcode;
    EXPECT_EQ(token->generate("alice", "1234", passcode), ScSofToken2Constants::NOT_INITIALIZED);
    EXPECT_EQ(logged("ScSofToken2Impl : uninitialized - no passcode generated"), 1);
    token.reset();
    EXPECT_EQ(logged("Unloaded library SoftAPI-II.dll"), 0);
}

TEST_F(ScSofToken2Test, ALibraryWithoutEveryEntryPointIsReleased) {
    install(SOFTTOKEN_LIBRARY);
    base::failNext("GetProcAddress", base::win32::ERROR_PROC_NOT_FOUND, 1);
    token = ScSofToken2::create();
    EXPECT_FALSE(token->isAvailable());
    EXPECT_EQ(logged("ScSofToken2Api : not all function addresses obtained - releasing SoftAPI-II.dll"), 1);
    EXPECT_EQ(logged("Unloaded library SoftAPI-II.dll"), 1);
    token.reset();

    // Loaded once per process: a second load while the first holds is refused.
    token = ScSofToken2::create();
    ASSERT_TRUE(token->isAvailable());
    ScSofToken2Api second;
    EXPECT_FALSE(second.load());
    EXPECT_EQ(logged("WARNING: ScSofToken2Api initialize attempted multiple times"), 1);
    Ascii passcode;
    EXPECT_EQ(token->generate("alice", "1234", passcode), ScSofToken2Constants::GENERATED);

    base::failNext("FreeLibrary", base::win32::ERROR_INVALID_HANDLE, 1);
    token.reset();
    EXPECT_EQ(logged("Failed to unload library SoftAPI-II.dll: error code 6"), 1);
}

}  // namespace
}  // namespace tamsel::test
