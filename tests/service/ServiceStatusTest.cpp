#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

#include "platform/win/ServiceStatusFile.h"
#include "service/ServiceQuit.h"
#include "service/win32/ServiceStatus.h"
#include "tests/service/ServiceTestSupport.h"

using namespace winsvc;

namespace {

class ServiceStatusTest : public testing::Test {
protected:
    void SetUp() override {
        resetServiceStatus();
        ServiceQuit::reset();
        registerServiceControlHandlerOnce();
    }

    // The status as another process reads it.
    SERVICE_STATUS reported() {
        SERVICE_STATUS status = {};
        long pid = 0;
        EXPECT_TRUE(statusfile::read("VarnelTamselSvc", &status, &pid));
        EXPECT_EQ(pid, static_cast<long>(getpid()));
        return status;
    }

    TempRoot m_root;
};

TEST_F(ServiceStatusTest, RunningIsReportedOnceAndOnlyInServiceMode) {
    setServiceMode(false);
    reportServiceRunning();
    EXPECT_FALSE(std::filesystem::exists(m_root.statusFile())) << "console mode reports nothing";

    setServiceMode(true);
    reportServiceStatus(SERVICE_START_PENDING);
    EXPECT_EQ(reported().dwCurrentState, SERVICE_START_PENDING);
    EXPECT_EQ(reported().dwControlsAccepted, 0u);
    reportServiceRunning();
    reportServiceRunning();
    EXPECT_EQ(reported().dwCurrentState, SERVICE_RUNNING);
    EXPECT_EQ(reported().dwControlsAccepted,
              SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_POWEREVENT);
    EXPECT_EQ(countOf(readText(m_root.log()), "]: Set service status to running\n"), 1);
}

class StopControl : public ServiceStatusTest, public testing::WithParamInterface<DWORD> {};

TEST_P(StopControl, EndsTheServiceAndKeepsOnlyPowerEvents) {
    setServiceMode(true);
    reportServiceStatus(SERVICE_START_PENDING);
    reportServiceRunning();
    EXPECT_EQ(serviceControlHandler(GetParam(), 0, nullptr, nullptr), NO_ERROR);
    EXPECT_EQ(reported().dwCurrentState, SERVICE_STOP_PENDING);
    EXPECT_EQ(reported().dwControlsAccepted, SERVICE_ACCEPT_POWEREVENT);
    EXPECT_TRUE(stopRequestedByManager());
    EXPECT_TRUE(ServiceQuit::requested());
}

TEST_P(StopControl, BeforeRunningLeavesNoRoomForRunning) {
    setServiceMode(true);
    reportServiceStatus(SERVICE_START_PENDING);
    serviceControlHandler(GetParam(), 0, nullptr, nullptr);
    // The one-time timer may still expire before the shut-down cancels it.
    reportServiceRunning();
    EXPECT_EQ(reported().dwCurrentState, SERVICE_STOP_PENDING);
    EXPECT_EQ(countOf(readText(m_root.log()), "Set service status to running"), 0);
    EXPECT_TRUE(ServiceQuit::requested());
}

INSTANTIATE_TEST_SUITE_P(StopAndShutdown, StopControl,
                         testing::Values(SERVICE_CONTROL_STOP, SERVICE_CONTROL_SHUTDOWN));

TEST_F(ServiceStatusTest, OtherControlsReportTheStatusAgain) {
    setServiceMode(true);
    reportServiceStatus(SERVICE_START_PENDING);
    std::remove(m_root.statusFile().c_str());
    EXPECT_EQ(serviceControlHandler(SERVICE_CONTROL_INTERROGATE, 0, nullptr, nullptr), NO_ERROR);
    EXPECT_EQ(reported().dwCurrentState, SERVICE_START_PENDING);
    EXPECT_FALSE(ServiceQuit::requested());
}

struct PowerCase {
    DWORD broadcast;
    const char* name;
    const char* event;
};

void PrintTo(const PowerCase& c, std::ostream* out) {
    *out << c.name << "_" << c.broadcast;
}

class PowerEvent : public ServiceStatusTest, public testing::WithParamInterface<PowerCase> {};

TEST_P(PowerEvent, IsLoggedWithItsEngineKind) {
    const PowerCase& c = GetParam();
    setServiceMode(true);
    reportServiceStatus(SERVICE_START_PENDING);
    EXPECT_EQ(serviceControlHandler(SERVICE_CONTROL_POWEREVENT, c.broadcast, nullptr, nullptr), NO_ERROR);
    std::string line = std::string("]: PowerEvent recvd: ") + c.name +
                       ", type=" + std::to_string(c.broadcast) + ", " + c.event + "\n";
    EXPECT_EQ(countOf(readText(m_root.log()), line), 1) << line;
    EXPECT_EQ(reported().dwCurrentState, SERVICE_START_PENDING);
    EXPECT_FALSE(ServiceQuit::requested());
}

INSTANTIATE_TEST_SUITE_P(Broadcasts, PowerEvent,
                         testing::Values(PowerCase{0, "PBT_APMQUERYSUSPEND", "VEL_POWER_EVENT_UNKNOWN"},
                                         PowerCase{2, "PBT_APMQUERYSUSPENDFAILED", "VEL_POWER_EVENT_UNKNOWN"},
                                         PowerCase{4, "PBT_APMSUSPEND", "VEL_POWER_EVENT_SUSPEND"},
                                         PowerCase{6, "PBT_APMRESUMECRITICAL", "VEL_POWER_EVENT_UNKNOWN"},
                                         PowerCase{7, "PBT_APMRESUMESUSPEND", "VEL_POWER_EVENT_UNKNOWN"},
                                         PowerCase{9, "PBT_APMBATTERYLOW", "VEL_POWER_EVENT_UNKNOWN"},
                                         PowerCase{10, "PBT_APMPOWERSTATUSCHANGE", "VEL_POWER_EVENT_UNKNOWN"},
                                         PowerCase{11, "PBT_APMOEMEVENT", "VEL_POWER_EVENT_UNKNOWN"},
                                         PowerCase{18, "PBT_APMRESUMEAUTOMATIC", "VEL_POWER_EVENT_RESUME"},
                                         PowerCase{5, "UNKNOWN", "VEL_POWER_EVENT_UNKNOWN"}));

}  // namespace
