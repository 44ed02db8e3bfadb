#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/userimpersonation/ImpersonateUserToken.h"

namespace {

winfile::HANDLE tokenValue(std::intptr_t v) {
    return reinterpret_cast<winfile::HANDLE>(v);
}

class ImpersonateUserTokenTest : public ::testing::Test {
protected:
    void SetUp() override {
        base::clearFailures();
        m_duplicates = winfile::impersonation::duplicateCount();
        m_tokens = winfile::impersonation::openTokenCount();
    }
    void TearDown() override {
        base::clearFailures();
        EXPECT_EQ(winfile::impersonation::openTokenCount(), m_tokens);  // every duplicate closed
        EXPECT_EQ(winfile::impersonation::impersonatedSource(), 0);
    }
    int duplicates() const { return winfile::impersonation::duplicateCount() - m_duplicates; }

    const std::uint32_t m_pid = static_cast<std::uint32_t>(::getpid());
    int m_duplicates = 0;
    int m_tokens = 0;
};

TEST_F(ImpersonateUserTokenTest, TheSameHandleIsDuplicatedOnce) {
    ImpersonateUserToken token;
    token.setUserToken(tokenValue(0x44), m_pid);
    token.setUserToken(tokenValue(0x44), m_pid);
    EXPECT_EQ(duplicates(), 1);
    token.setUserToken(tokenValue(0x48), m_pid);
    EXPECT_EQ(duplicates(), 2);
    EXPECT_EQ(winfile::impersonation::openTokenCount(), m_tokens + 1);  // the first one was closed
}

TEST_F(ImpersonateUserTokenTest, ImpersonatesAndRevertsWithTheirLogLines) {
    ImpersonateUserToken token;
    LogCapture log;
    token.impersonate();  // no token yet: nothing at all
    EXPECT_EQ(log.text(), "");
    token.setUserToken(tokenValue(0x44), m_pid);
    token.impersonate();
    EXPECT_TRUE(token.isImpersonating());
    EXPECT_EQ(winfile::impersonation::impersonatedSource(), 0x44);
    token.impersonate();  // already: nothing
    token.revert();
    token.revert();
    EXPECT_FALSE(token.isImpersonating());
    EXPECT_EQ(winfile::impersonation::impersonatedSource(), 0);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"Impersonating user", "Deimpersonating user"}));
}

TEST_F(ImpersonateUserTokenTest, ATokenReplacedWhileWornIsPutDownBeforeTheNewOne) {
    ImpersonateUserToken token;
    token.setUserToken(tokenValue(0x44), m_pid);
    token.impersonate();
    token.setUserToken(tokenValue(0x50), m_pid);
    LogCapture log;
    token.impersonate();
    EXPECT_EQ(winfile::impersonation::impersonatedSource(), 0x50);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"Deimpersonating user", "Impersonating user"}));
    token.revert();
}

TEST_F(ImpersonateUserTokenTest, FailedCallsAreLoggedAndLeaveTheStateAsItWas) {
    struct Case {
        const char* call;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"OpenProcess", "CAUGHT: LogWindowsException for function 'OpenProcess' => 5{error}"},
        {"DuplicateHandle", "CAUGHT: LogWindowsException for function 'DuplicateHandle' => 5{error}"},
    };
    for (const Case& c : cases) {
        base::clearFailures();
        base::failNext(c.call, 5, 0);
        ImpersonateUserToken token;
        LogCapture log;
        token.setUserToken(tokenValue(0x44), m_pid);
        EXPECT_FALSE(token.hasToken());
        EXPECT_TRUE(log.contains(c.line)) << log.text();
        // No source value is kept: the same handle is tried again once the call works.
        base::clearFailures();
        int before = duplicates();
        token.setUserToken(tokenValue(0x44), m_pid);
        EXPECT_EQ(duplicates(), before + 1);
    }

    ImpersonateUserToken token;
    token.setUserToken(tokenValue(0x44), m_pid);
    base::failNext("ImpersonateLoggedOnUser", 1314, 0);
    LogCapture log;
    token.impersonate();
    EXPECT_FALSE(token.isImpersonating());
    EXPECT_TRUE(
        log.contains("CAUGHT: LogWindowsException for function 'ImpersonateLoggedOnUser' => 1314{error}"));

    base::clearFailures();
    token.impersonate();
    base::failNext("RevertToSelf", 5, 0);
    token.revert();
    EXPECT_TRUE(token.isImpersonating());  // still worn
    EXPECT_TRUE(log.contains("CAUGHT: LogWindowsException for function 'RevertToSelf' => 5{error}"));
    base::clearFailures();
    token.revert();
}

TEST_F(ImpersonateUserTokenTest, DestroyingRevertsAndClosesTheToken) {
    {
        ImpersonateUserToken token;
        token.setUserToken(tokenValue(0x44), m_pid);
        token.impersonate();
        EXPECT_EQ(winfile::impersonation::impersonatedSource(), 0x44);
    }
    EXPECT_EQ(winfile::impersonation::impersonatedSource(), 0);
}

}  // namespace
