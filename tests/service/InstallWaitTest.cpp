#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "platform/win/ServiceStatusFile.h"
#include "service/win32/ServiceModes.h"
#include "tests/service/ServiceTestSupport.h"

using namespace winsvc;
using std::chrono::steady_clock;

namespace {

// The installer's wait for RUNNING, against service statuses written as a service writes them.
class InstallWait : public testing::Test {
protected:
    void SetUp() override {
        m_units = m_root.path() + "/units";
        std::filesystem::create_directories(m_units);
        setenv("TAMSEL_UNIT_DIR", m_units.c_str(), 1);
        m_manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        ASSERT_NE(m_manager, nullptr);
        m_service = CreateService(m_manager, "VarnelTamselSvc", "Varnel Tamsel", SERVICE_ALL_ACCESS,
                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                  "/bin/true", nullptr, nullptr, "", nullptr, nullptr);
        ASSERT_NE(m_service, nullptr);
    }
    void TearDown() override {
        if (m_service != nullptr) CloseServiceHandle(m_service);
        if (m_manager != nullptr) CloseServiceHandle(m_manager);
        unsetenv("TAMSEL_UNIT_DIR");
    }

    void report(DWORD state, long pid) {
        SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, state, 0, 0, 0, 0, 0};
        ASSERT_TRUE(statusfile::write("VarnelTamselSvc", status, pid));
    }

    // A process id that belonged to a process that has ended.
    static long endedProcess() {
        pid_t child = fork();
        if (child == 0) _exit(0);
        waitpid(child, nullptr, 0);
        return child;
    }

    TempRoot m_root;
    std::string m_units;
    SC_HANDLE m_manager = nullptr;
    SC_HANDLE m_service = nullptr;
};

TEST_F(InstallWait, RunningEndsTheWait) {
    report(SERVICE_RUNNING, getpid());
    EXPECT_TRUE(waitUntilRunning(m_service, 60));
}

TEST_F(InstallWait, StoppedEndsTheWaitAsAFailure) {
    report(SERVICE_STOPPED, 0);
    auto start = steady_clock::now();
    EXPECT_FALSE(waitUntilRunning(m_service, 60));
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(InstallWait, ServiceThatDiedWithoutReportingEndsTheWait) {
    report(SERVICE_START_PENDING, endedProcess());
    auto start = steady_clock::now();
    EXPECT_FALSE(waitUntilRunning(m_service, 60));
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(InstallWait, PendingForeverEndsAtTheTimeOut) {
    report(SERVICE_START_PENDING, getpid());
    auto start = steady_clock::now();
    EXPECT_FALSE(waitUntilRunning(m_service, 1));
    auto waited = steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::seconds(1));
    EXPECT_LT(waited, std::chrono::seconds(5));
}

}  // namespace
