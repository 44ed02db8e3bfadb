#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <sstream>

#include "platform/win/ServiceControl.h"
#include "platform/win/ServiceStatusFile.h"
#include "platform/win/ServiceUnit.h"
#include "tests/platform/win/WinServiceTestSupport.h"

using namespace winsvc;
using ::testing::HasSubstr;

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct UnitCase {
    const char* name;
    unit::ServiceUnit unit;
    const char* execStart;
};

void PrintTo(const UnitCase& c, std::ostream* out) {
    *out << c.name;
}

class UnitText : public testing::TestWithParam<UnitCase> {};

TEST_P(UnitText, IsReadBackAsWritten) {
    const UnitCase& c = GetParam();
    std::string text = unit::text(c.unit);
    EXPECT_THAT(text, HasSubstr(std::string("\nExecStart=") + c.execStart + "\n"));
    unit::ServiceUnit back;
    ASSERT_TRUE(unit::parse(text, &back)) << text;
    EXPECT_EQ(back.displayName, c.unit.displayName);
    EXPECT_EQ(back.description, c.unit.description);
    EXPECT_EQ(back.binaryPath, c.unit.binaryPath);
    EXPECT_EQ(back.home, c.unit.home);
    EXPECT_EQ(back.autoStart, c.unit.autoStart);
    EXPECT_EQ(back.restarts, c.unit.restarts);
    EXPECT_EQ(back.restartDelayMs, c.unit.restarts > 0 ? c.unit.restartDelayMs : 0u);
    EXPECT_EQ(back.resetPeriodS, c.unit.restarts > 0 ? c.unit.resetPeriodS : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Units, UnitText,
    testing::Values(UnitCase{"plain", {"S", "Shown", "", "/opt/t/svc", "", false, 0, 0, 0}, "/opt/t/svc"},
                    UnitCase{"described",
                             {"S", "Shown", "Does things", "/opt/t/svc", "/tmp/root", true, 2, 2000, 20},
                             "/opt/t/svc"},
                    UnitCase{"blankInPath",
                             {"S", "Shown", "", "/opt/my tools/svc", "", true, 1, 1500, 60},
                             "\"/opt/my tools/svc\""},
                    UnitCase{"quoteInPath",
                             {"S", "Shown", "", "/opt/a\"b/svc", "", false, 0, 0, 0},
                             "\"/opt/a\\\"b/svc\""}));

TEST(UnitText, OtherTextIsNotAUnit) {
    unit::ServiceUnit u;
    EXPECT_FALSE(unit::parse("[Unit]\nDescription=x\n", &u));
}

struct FailureCase {
    const char* name;
    std::vector<SC_ACTION> actions;
    const char* expected;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class FailureActions : public testing::TestWithParam<FailureCase> {};

// systemd restarts with one delay up to a count: the leading restart actions give both.
TEST_P(FailureActions, BecomeTheUnitsRestartPolicy) {
    const FailureCase& c = GetParam();
    TempRoot root;
    SC_HANDLE manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = CreateService(manager, "TestSvc", "Test", SERVICE_ALL_ACCESS,
                                      SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                      "/bin/true", nullptr, nullptr, "", nullptr, nullptr);
    ASSERT_NE(service, nullptr);
    SERVICE_FAILURE_ACTIONS failure = {20, nullptr, nullptr, static_cast<DWORD>(c.actions.size()),
                                       c.actions.data()};
    ASSERT_TRUE(ChangeServiceConfig2(service, SERVICE_CONFIG_FAILURE_ACTIONS, &failure));
    SERVICE_DESCRIPTION description = {"Tests things"};
    ASSERT_TRUE(ChangeServiceConfig2(service, SERVICE_CONFIG_DESCRIPTION, &description));
    std::string text = readText(root.units() + "/TestSvc.service");
    EXPECT_THAT(text, HasSubstr(c.expected)) << text;
    EXPECT_THAT(text, HasSubstr("\nDescription=Tests things\n"));
    EXPECT_THAT(text, HasSubstr("\nEnvironment=\"TAMSEL_HOME=" + root.path() + "\"\n"));
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, FailureActions,
    testing::Values(
        FailureCase{"twoRestartsThenNone",
                    {{SC_ACTION_RESTART, 2000}, {SC_ACTION_RESTART, 2000}, {SC_ACTION_NONE, 2000}},
                    "StartLimitIntervalSec=20\nStartLimitBurst=3\n\n[Service]\nType=simple\n"},
        FailureCase{"none", {{SC_ACTION_NONE, 0}}, "\nRestart=no\n"},
        FailureCase{"restartAfterAGap",
                    {{SC_ACTION_RESTART, 500}, {SC_ACTION_NONE, 0}, {SC_ACTION_RESTART, 500}},
                    "\nRestart=on-failure\nRestartSec=0.500\n"}));

TEST(ServiceManager, RefusesWhatDoesNotExistOrExistsAlready) {
    TempRoot root;
    SC_HANDLE manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(OpenService(manager, "TestSvc", SERVICE_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SERVICE_DOES_NOT_EXIST);
    SC_HANDLE service = CreateService(manager, "TestSvc", "Test", SERVICE_ALL_ACCESS,
                                      SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                      "/bin/true", nullptr, nullptr, "", nullptr, nullptr);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(CreateService(manager, "TestSvc", "Test", SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                            SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, "/bin/true", nullptr, nullptr, "",
                            nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SERVICE_EXISTS);
    SERVICE_STATUS status;
    ASSERT_TRUE(QueryServiceStatus(service, &status));
    EXPECT_EQ(status.dwCurrentState, SERVICE_STOPPED) << "a service that never ran has stopped";
    EXPECT_FALSE(ControlService(service, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(GetLastError(), ERROR_SERVICE_NOT_ACTIVE);
    EXPECT_TRUE(DeleteService(service));
    EXPECT_FALSE(std::filesystem::exists(root.units() + "/TestSvc.service"));
    EXPECT_FALSE(DeleteService(service));
    EXPECT_EQ(GetLastError(), ERROR_SERVICE_DOES_NOT_EXIST);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

TEST(ServiceManager, StartedProgramRunsDetachedAndStopsOnControl) {
    TempRoot root;
    // A program that runs until its stop arrives as SIGTERM.
    std::string program = root.path() + "/svc.sh";
    std::ofstream(program) << "#!/bin/sh\nexec sleep 60\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    SC_HANDLE manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = CreateService(manager, "TestSvc", "Test", SERVICE_ALL_ACCESS,
                                      SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                      program.c_str(), nullptr, nullptr, "", nullptr, nullptr);
    ASSERT_NE(service, nullptr);
    // A caller that takes its control signals on a thread of its own has them blocked; the
    // program it starts must not inherit that.
    sigset_t term, before;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &term, &before);
    BOOL started = StartService(service, 0, nullptr);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    ASSERT_TRUE(started);
    SERVICE_STATUS status;
    ASSERT_TRUE(QueryServiceStatus(service, &status));
    EXPECT_EQ(status.dwCurrentState, SERVICE_START_PENDING)
        << "as the manager records it before the program runs";
    EXPECT_FALSE(StartService(service, 0, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_SERVICE_ALREADY_RUNNING);

    // The program never reports: once it has gone the query says STOPPED by itself.
    ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &status));
    EXPECT_TRUE(waitFor(
        [&] { return QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOPPED; }));
    EXPECT_EQ(status.dwWin32ExitCode, ERROR_PROCESS_ABORTED);
    EXPECT_TRUE(DeleteService(service));
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

// The status file outlives its writer (and a reboot): a number that now belongs to another
// process must not make the service look alive, nor draw its stop.
TEST(ServiceManager, StatusOfAProcessThatHasGoneIsStoppedWhoeverHasItsNumberNow) {
    TempRoot root;
    SC_HANDLE manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = CreateService(manager, "TestSvc", "Test", SERVICE_ALL_ACCESS,
                                      SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                      "/bin/true", nullptr, nullptr, "", nullptr, nullptr);
    ASSERT_NE(service, nullptr);
    // Written by this process, which lives: running.
    SERVICE_STATUS running = {SERVICE_WIN32_OWN_PROCESS, SERVICE_RUNNING, 0x45, 0, 0, 0, 0};
    ASSERT_TRUE(statusfile::write("TestSvc", running, static_cast<long>(getpid())));
    SERVICE_STATUS status;
    ASSERT_TRUE(QueryServiceStatus(service, &status));
    EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);

    // Written by an earlier process that had this process's number.
    std::string file = statusfile::path("TestSvc");
    std::string text = readText(file);
    size_t start = text.find("\nstart=");
    ASSERT_NE(start, std::string::npos) << text;
    text.insert(start + 7, "1");
    std::ofstream(file, std::ios::trunc) << text;
    ASSERT_TRUE(QueryServiceStatus(service, &status));
    ASSERT_EQ(status.dwCurrentState, SERVICE_STOPPED) << "the stop below would go to this process";
    EXPECT_EQ(status.dwWin32ExitCode, ERROR_PROCESS_ABORTED);
    EXPECT_FALSE(ControlService(service, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(GetLastError(), ERROR_SERVICE_NOT_ACTIVE);
    EXPECT_TRUE(StartService(service, 0, nullptr)) << "nothing runs that would refuse it";
    EXPECT_TRUE(DeleteService(service));
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

TEST(ServiceManager, NeedsAUnitFolderItCanWrite) {
    TempRoot root;
    setenv("TAMSEL_UNIT_DIR", (root.path() + "/missing").c_str(), 1);
    EXPECT_EQ(OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
}

}  // namespace
