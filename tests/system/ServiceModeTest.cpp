#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "tests/system/ServiceProcess.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The status the service last reported, as the key=value lines of its status file.
std::map<std::string, long> status(const TempRoot& root) {
    std::map<std::string, long> values;
    std::istringstream in(readText(root.path() + "/run/VarnelTamselSvc.status"));
    for (std::string line; std::getline(in, line);) {
        size_t at = line.find('=');
        if (at != std::string::npos) values[line.substr(0, at)] = atol(line.c_str() + at + 1);
    }
    return values;
}

constexpr long START_PENDING = 2;
constexpr long STOPPED = 1;
constexpr long RUNNING = 4;

struct StopCase {
    const char* name;
    const char* timerSeconds;
    bool runningFirst;
};

void PrintTo(const StopCase& c, std::ostream* out) {
    *out << c.name;
}

class ServiceStop : public testing::TestWithParam<StopCase> {};

// Without an argument the program runs as the service; the manager's stop arrives as SIGTERM.
TEST_P(ServiceStop, EndsInStopped) {
    const StopCase& c = GetParam();
    TempRoot root;
    ServiceProcess service(root, {}, {{"TAMSEL_TEST_ONE_TIME_TIMER_S", c.timerSeconds}});
    long expected = c.runningFirst ? RUNNING : START_PENDING;
    ASSERT_TRUE(waitFor([&] {
        return status(root)["state"] == expected &&
               countOf(root.logText(), "OneTimeTimerStartEventImpl event processed") == 1;
    })) << root.logText();
    EXPECT_EQ(status(root)["pid"], service.pid());
    EXPECT_EQ(status(root)["controls"], c.runningFirst ? 0x45 : 0);

    service.signal(SIGTERM);
    ASSERT_EQ(service.waitForExit(), 0) << service.output();
    EXPECT_EQ(status(root)["state"], STOPPED);
    // Stop and shutdown are no longer taken; power events still are once RUNNING was reported.
    EXPECT_EQ(status(root)["controls"], c.runningFirst ? 0x40 : 0);
    std::string log = root.logText();
    EXPECT_EQ(countOf(log, "]: Set service status to running\n"), c.runningFirst ? 1 : 0);
    EXPECT_EQ(countOf(log, "]: OneTimeTimerCancelEventImpl event processed\n"), 1);
    EXPECT_EQ(countOf(log, "]: Normal Shutdown: 5.1.1.18\n"), 1);
    EXPECT_THAT(log, Not(HasSubstr("Assertion")));
}

INSTANTIATE_TEST_SUITE_P(Service, ServiceStop,
                         testing::Values(StopCase{"beforeRunning", "25", false},
                                         StopCase{"whenRunning", "0", true}));

TEST(ServiceFailure, EngineThatEndsByItselfLeavesWithoutStoppedAndFails) {
    TempRoot root;
    std::filesystem::create_directories(root.path() + "/run/vel");
    ServiceProcess service(root, {});
    EXPECT_EQ(service.waitForExit(), 1) << service.output();
    EXPECT_EQ(status(root)["state"], START_PENDING) << "STOPPED is not reported";
    std::string log = root.logText();
    EXPECT_EQ(countOf(log, "]: Fatal Shutdown: 5.1.1.18\n"), 1);
    EXPECT_EQ(countOf(log, "]: Normal Shutdown: 5.1.1.18\n"), 1);
}

// Installs into a unit folder of the test's own, where no systemd looks: the installer starts the
// program itself in service mode.
class Installation : public testing::Test {
protected:
    void SetUp() override {
        m_units = m_root.path() + "/units";
        std::filesystem::create_directories(m_units);
    }

    void TearDown() override {
        // A service left running by a failed test is not left behind.
        long pid = status(m_root)["pid"];
        if (pid > 0 && status(m_root)["state"] != STOPPED) kill(static_cast<pid_t>(pid), SIGKILL);
    }

    std::pair<int, std::string> run(const std::string& mode) {
        return runToEnd(m_root, {mode},
                        {{"TAMSEL_UNIT_DIR", m_units}, {"TAMSEL_TEST_ONE_TIME_TIMER_S", "1"}});
    }

    std::string unitFile() const { return m_units + "/VarnelTamselSvc.service"; }

    TempRoot m_root;
    std::string m_units;
};

TEST_F(Installation, InstallStartsTheServiceAndUninstallStopsAndRemovesIt) {
    auto [installed, installOutput] = run("-install");
    ASSERT_EQ(installed, 0) << installOutput;
    EXPECT_TRUE(std::regex_match(installOutput, std::regex("Installing Varnel Tamsel\\.\\.\\.\n"
                                                           "Varnel Tamsel has been installed\\.\n"
                                                           "Starting Varnel Tamsel\\.\\.\\.\\.*\n"
                                                           "Varnel Tamsel has been started\\.\n")))
        << installOutput;

    std::string unit = readText(unitFile());
    EXPECT_THAT(unit, HasSubstr("\nExecStart=" + std::string(TAMSELSVC_PATH) + "\n"));
    EXPECT_THAT(unit,
                HasSubstr("\nDescription=Manages network authentication for wired and wireless networks\n"));
    EXPECT_THAT(unit, HasSubstr("\nEnvironment=\"TAMSEL_HOME=" + m_root.path() + "\"\n"));
    // Two restarts 2 s apart within 20 s, then none.
    EXPECT_THAT(unit, HasSubstr("\nRestart=on-failure\nRestartSec=2.000\n"));
    EXPECT_THAT(unit, HasSubstr("\nStartLimitIntervalSec=20\nStartLimitBurst=3\n"));

    long pid = status(m_root)["pid"];
    EXPECT_EQ(status(m_root)["state"], RUNNING);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(kill(static_cast<pid_t>(pid), 0), 0) << "the service runs on after the installer ended";
    // The status is written at once, its log line by the log's own thread.
    EXPECT_TRUE(waitFor([&] { return countOf(m_root.logText(), "]: Set service status to running\n") == 1; }))
        << m_root.logText();

    auto [again, againOutput] = run("-install");
    EXPECT_EQ(again, 1);
    EXPECT_THAT(againOutput,
                HasSubstr("CAUGHT: WindowsException for function 'CreateService' => 1073{error}"));

    auto [removed, removeOutput] = run("-uninstall");
    ASSERT_EQ(removed, 0) << removeOutput;
    EXPECT_TRUE(std::regex_match(removeOutput, std::regex("Removing Varnel Tamsel\\.\\.\\.\n"
                                                          "Stopping Varnel Tamsel\\.\\.\\.\\.*"
                                                          "Varnel Tamsel has been removed\\.\n")))
        << removeOutput;
    EXPECT_FALSE(std::filesystem::exists(unitFile()));
    std::string log = m_root.logText();
    EXPECT_EQ(countOf(log, "]: Normal Shutdown: 5.1.1.18\n"), 1);
    EXPECT_EQ(log.substr(log.rfind("]: ") + 3), "Logging thread normal shutdown.\n");
}

TEST_F(Installation, ServiceThatDoesNotStartIsReportedAndRemovable) {
    // The service ends at once: its pipe's name is taken.
    std::filesystem::create_directories(m_root.path() + "/run/vel");
    auto start = std::chrono::steady_clock::now();
    auto [installed, installOutput] = run("-install");
    EXPECT_EQ(installed, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20))
        << "no wait for the time-out";
    EXPECT_TRUE(std::regex_match(installOutput, std::regex("Installing Varnel Tamsel\\.\\.\\.\n"
                                                           "Varnel Tamsel has been installed\\.\n"
                                                           "Starting Varnel Tamsel\\.\\.\\.\\.*\n"
                                                           "Varnel Tamsel failed to start\\.\n")))
        << installOutput;
    EXPECT_EQ(countOf(m_root.logText(), "]: Fatal Shutdown: 5.1.1.18\n"), 1);

    auto [removed, removeOutput] = run("-uninstall");
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(removeOutput, "Removing Varnel Tamsel...\nVarnel Tamsel has been removed.\n");
    EXPECT_FALSE(std::filesystem::exists(unitFile()));
}

struct FailureCase {
    const char* name;
    const char* mode;
    bool unitFolderExists;
    const char* report;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class FailedMode : public Installation, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailedMode, ReportsTheFailedCallAndEndsWithNonZero) {
    const FailureCase& c = GetParam();
    if (!c.unitFolderExists) std::filesystem::remove(m_units);
    auto [code, output] = run(c.mode);
    EXPECT_EQ(code, 1);
    EXPECT_THAT(output, HasSubstr(c.report));
    EXPECT_FALSE(std::filesystem::exists(m_root.path() + "/logs/CurrentLog.txt")) << "no service ran";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FailedMode,
    testing::Values(FailureCase{"installWithoutUnitFolder", "-install", false,
                                "CAUGHT: WindowsException for function 'OpenSCManager' => "},
                    FailureCase{"uninstallWithoutUnitFolder", "-uninstall", false,
                                "CAUGHT: WindowsException for function 'OpenSCManager' => "},
                    FailureCase{"uninstallNotInstalled", "-uninstall", true,
                                "CAUGHT: WindowsException for function 'OpenService' => 1060{error}"}));

}  // namespace
