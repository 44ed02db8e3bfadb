#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "tests/system/LabClient.h"
#include "tests/system/OfficeLab.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/ServiceProcess.h"

namespace {

using tamsel::test::LabClient;

const char* const WIRED = "{6F1A0C2E-0000-4000-8000-000000000001}";
const char* const WIRELESS = "{6F1A0C2E-0000-4000-8000-000000000002}";

TEST(EngineStart, TheLibraryStartsOnTheLabAndFollowsItsAdaptersAndPowerUntilCtrlC) {
    TempRoot root;
    root.write("lab.xml", officeLab(true));
    ServiceProcess service(root, {"-run"}, {{"TAMSEL_TEST_ONE_TIME_TIMER_S", "0"}});
    const std::string unmanaged = "AdapterStateMachine::handleEvent(): new state = unmanaged";
    ASSERT_TRUE(waitFor([&] {
        std::string log = root.logText();
        return countOf(log, std::string(WIRED) + ": " + unmanaged) == 1 &&
               countOf(log, std::string(WIRELESS) + ": " + unmanaged) == 1 &&
               countOf(log, "]: OneTimeTimer timer expired\n") == 1;
    })) << root.logText();
    std::string log = root.logText();
    for (const char* line : {"]: Successfully initialized FIPS module.\n",
                             "]: Successfully initialized qxAuth Ver: 4.2.0.17 2009-",
                             "]: Smart card change event: 0 smart card(s) detected\n",
                             "]: Tivra unknown version successfully loaded.\n"})
        EXPECT_EQ(countOf(log, line), 1) << line << "\n" << log;

    std::string socket = root.path() + "/run/lab";
    struct stat info = {};
    ASSERT_EQ(stat(socket.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    LabClient lab(socket);
    ASSERT_TRUE(lab.connected());
    std::vector<std::string> calls = lab.command("calls");
    int enabled = 0;
    for (const std::string& call : calls) enabled += call.rfind("qxLogEnable(", 0) == 0 ? 1 : 0;
    EXPECT_EQ(enabled, 14);
    EXPECT_EQ(calls.back(), "ok");

    EXPECT_EQ(lab.command("remove adapter friendly=wlan0"), std::vector<std::string>{"ok"});
    EXPECT_TRUE(waitFor([&] {
        return countOf(root.logText(), std::string("]: Adapter removed: ") + WIRELESS) == 1;
    })) << root.logText();

    EXPECT_EQ(lab.command("power resume"), std::vector<std::string>{"ok"});
    EXPECT_TRUE(waitFor([&] {
        std::string text = root.logText();
        return countOf(text,
                       "]: PowerEvent recvd: PBT_APMRESUMEAUTOMATIC, type=18, VEL_POWER_EVENT_RESUME\n") ==
                   1 &&
               countOf(text, "]: ServicePowerImpl::notifySubscribers(),# of subscribers: 0\n") == 1;
    })) << root.logText();

    service.signal(SIGINT);
    ASSERT_EQ(service.waitForExit(), 0) << service.output();
    log = root.logText();
    EXPECT_EQ(countOf(log, "]: Tivra: unloaded\n"), 1) << log;
    EXPECT_NE(stat(socket.c_str(), &info), 0) << "run/lab is gone with the library";
    expectOrderedRun(log);
}

}  // namespace
