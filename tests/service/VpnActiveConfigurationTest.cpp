// The VPN machines' view of the engine: a user logged on, as the installed logon component says,
// is the user an automatic tunnel needs.
#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/lum/LumMain.h"
#include "service/VpnActiveConfiguration.h"
#include "tests/support/FakeLogonStatus.h"
#include "vel/vpn/VpnConstants.h"

namespace {

TEST(VpnActiveConfiguration, ReportsAUserOnlyWhileTheLogonComponentHasAUserSession) {
    LumRuntime runtime;
    VpnActiveConfiguration engine;
    EXPECT_NE(engine.logonStatus(), VpnConstants::LOGON_STATUS_USER) << "no logon component";

    tamsel::test::FakeLogonStatus logon;
    struct Case {
        std::int32_t context;
        bool user;
    };
    for (Case c :
         {Case{LogonStatusInterface::NO_USER_SESSION, false}, Case{LogonStatusInterface::USER_SESSION, true},
          Case{LogonStatusInterface::NO_USER_SESSION, false}}) {
        logon.set(c.context);
        EXPECT_EQ(engine.logonStatus() == VpnConstants::LOGON_STATUS_USER, c.user) << c.context;
    }
}

}  // namespace
