#pragma once
// A tray program's end of the pipe on the real service of ServiceClientTest: connected once the
// service has its configuration, closed before the service stops.
#include <memory>

#include "tests/system/ServiceClientTest.h"
#include "tests/system/TrayPipe.h"

class TrayClientTest : public ServiceClientTest {
protected:
    void TearDown() override {
        tray.reset();
        ServiceClientTest::TearDown();
    }

    // A tray program on the pipe once the service has its configuration: the requests before are
    // answered with fault 1.
    tamsel::test::TrayPipe& connectTray() {
        tray = std::make_unique<tamsel::test::TrayPipe>();
        EXPECT_TRUE(tray->connected()) << root.logText();
        EXPECT_TRUE(waitFor([&] {
            return tray->ask("getActiveGroupRequest").name() == "getActiveGroupResponse";
        })) << root.logText();
        return *tray;
    }

    std::unique_ptr<tamsel::test::TrayPipe> tray;
};
