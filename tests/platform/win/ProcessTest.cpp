#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "platform/base/FailureInjection.h"
#include "platform/base/Utf16.h"
#include "platform/base/Win32Error.h"
#include "platform/lab/LabCalls.h"
#include "platform/win/Process.h"
#include "tests/support/TempHome.h"

namespace tamsel::test {
namespace {

using base::win32::GetLastError;

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override { lab::clearCalls(); }
    void TearDown() override { base::clearFailures(); }

    // CreateProcessW as the service calls it: hidden, nothing inherited, the caller's folder.
    static win::BOOL start(const std::string& application, const std::string& commandLine) {
        std::u16string name = base::utf8ToUtf16(application);
        std::u16string line = base::utf8ToUtf16(commandLine);
        win::STARTUPINFOW startup;
        startup.dwFlags = win::STARTF_USESHOWWINDOW;
        startup.wShowWindow = win::SW_HIDE;
        win::PROCESS_INFORMATION information;
        return win::CreateProcessW(name.c_str(), line.data(), nullptr, nullptr, 0, 0, nullptr, nullptr,
                                   &startup, &information);
    }
    // Waits, with a deadline, until the file has the text.
    static bool waitForText(const std::string& path, const std::string& text) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream in(path);
            std::string got;
            if (std::getline(in, got) && got == text) return true;
            std::this_thread::yield();
        }
        return false;
    }

    TempHome home{"process"};
};

// The caller goes on while the program runs, and keeps no child behind: the program holds on a
// pipe until the test opens it, and writes what its command line gave it.
TEST_F(ProcessTest, StartsTheProgramDetachedWithTheArgumentsOfItsCommandLine) {
    std::string fifo = home.path() + "/go";
    std::string out = home.path() + "/out";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    ASSERT_NE(start("/bin/sh.exe", "sh -c \"read x < " + fifo + "; echo [$0] $1$2 > " + out + "\" " +
                                       "\"one two\" {A1} {B2}"),
              0);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child of the caller is left";
    EXPECT_EQ(errno, ECHILD);

    { std::ofstream(fifo) << "go\n"; }
    EXPECT_TRUE(waitForText(out, "[one two] {A1}{B2}"));
}

// The service takes its control signals on a thread of its own and blocks them elsewhere: the
// program must not inherit that and become unstoppable.
TEST_F(ProcessTest, TheProgramStartsWithNoSignalBlocked) {
    std::string out = home.path() + "/mask";
    sigset_t control;
    sigemptyset(&control);
    sigaddset(&control, SIGTERM);
    sigaddset(&control, SIGINT);
    sigset_t previous;
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &control, &previous), 0);
    // Not through a shell: it would clear the mask itself.
    win::BOOL started = start("/bin/sed", "sed -n \"/SigBlk/w " + out + "\" /proc/self/status");
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ASSERT_NE(started, 0);
    EXPECT_TRUE(waitForText(out, "SigBlk:\t0000000000000000"));
}

TEST_F(ProcessTest, AMissingProgramOrAnArmedFailureStartsNothing) {
    EXPECT_EQ(start(home.path() + "/nicbounce.exe", "\"" + home.path() + "/nicbounce.exe\" {A1}"), 0);
    EXPECT_EQ(GetLastError(), base::win32::ERROR_FILE_NOT_FOUND);

    base::failNext("CreateProcessW", base::win32::ERROR_ACCESS_DENIED, 1);
    EXPECT_EQ(start("/bin/true", "true"), 0);
    EXPECT_EQ(GetLastError(), base::win32::ERROR_ACCESS_DENIED);
    EXPECT_NE(start("/bin/true", "true"), 0);

    std::vector<std::string> calls = lab::recordedCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], "CreateProcessW(\"" + home.path() + "/nicbounce.exe\", \"\"" + home.path() +
                            "/nicbounce.exe\" {A1}\", hidden) = 2");
    EXPECT_EQ(calls[2], "CreateProcessW(\"/bin/true\", \"true\", hidden) = 1");
}

}  // namespace
}  // namespace tamsel::test
