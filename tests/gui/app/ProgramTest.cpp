// The program itself, started as the user starts it: one instance per session, the hand-off of a
// second start, "-Quit", the end of the session, and a lock left by a holder that died.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestText.h"

using namespace tamsel::test;
using namespace std::chrono_literals;

namespace {

const std::string STARTED = "tamselgui has successfully started.";
const std::string SOCKET = "run/{CD50AF56-127D-442C-A52D-E0592BDE7280}-t33.sock";

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ProgramTest : public ::testing::Test {
protected:
    ChildProcess::Options options(const std::vector<std::string>& arguments = {}) {
        ChildProcess::Options o;
        o.arguments = arguments;
        o.environment = {{"TAMSEL_HOME", home.path()},
                         {"QT_QPA_PLATFORM", "offscreen"},
                         {"XDG_SESSION_ID", "t33"},
                         {"ASAN_OPTIONS", "detect_leaks=0"}};
        o.errorToOutput = true;
        return o;
    }
    // Runs the program to its end: its exit code.
    int runToEnd(const std::vector<std::string>& arguments) {
        ChildProcess p;
        EXPECT_TRUE(p.start(TAMSEL_GUI_PROGRAM, options(arguments)));
        p.readAll();
        return p.waitForExit(60s);
    }
    // Starts an instance and waits until its controller runs (it serves its hand-off socket
    // before). After an earlier run, its log is the one begun after the earlier one's was set aside.
    void startInstance(ChildProcess& p, bool earlierRun = false) {
        ASSERT_TRUE(p.start(TAMSEL_GUI_PROGRAM, options()));
        ASSERT_TRUE(waitFor(
            [&] {
                return (!earlierRun || fileExists(home.log("GuiPreviousLog.txt"))) &&
                       fileText(home.log("GuiCurrentLog.txt")).find("System tray is") != std::string::npos;
            },
            60s));
        EXPECT_TRUE(fileExists(home.file(SOCKET)));
        EXPECT_NE(fileText(home.log("GuiCurrentLog.txt")).find(STARTED), std::string::npos);
    }
    bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

    TempHome home{"gui"};
};

}  // namespace

TEST_F(ProgramTest, ASecondStartHandsOverAndQuitFreesTheLock) {
    ChildProcess first;
    startInstance(first);
    EXPECT_EQ(runToEnd({}), 0);
    EXPECT_TRUE(first.running());
    // The second start left the running instance's log where it was.
    EXPECT_FALSE(fileExists(home.log("GuiPreviousLog.txt")));

    EXPECT_EQ(runToEnd({"-Quit"}), 0);
    EXPECT_EQ(first.waitForExit(30s), 0);
    const std::string log = fileText(home.log("GuiCurrentLog.txt"));
    EXPECT_NE(log.find("Quit Signal was sent to tamselgui.exe."), std::string::npos);
    EXPECT_EQ(runToEnd({"-Quit"}), 1);
}

TEST_F(ProgramTest, AKilledHoldersLockIsTakenAndTheSessionsEndDisconnectsTheVpn) {
    ChildProcess first;
    startInstance(first);
    first.signal(SIGKILL);
    EXPECT_EQ(first.waitForExit(30s), 128 + SIGKILL);

    ChildProcess second;
    startInstance(second, true);
    second.signal(SIGTERM);
    EXPECT_EQ(second.waitForExit(30s), 0);
    const std::string log = fileText(home.log("GuiCurrentLog.txt"));
    EXPECT_NE(log.find("commitData, invoking vpnDisconnect"), std::string::npos);
    EXPECT_NE(log.find("tamselgui.exe is now shutting down gracefully."), std::string::npos);
}

TEST_F(ProgramTest, ALockThatCannotBeMadeEndsWithAnError) {
    // The run folder is a file: no lock can be made below it.
    home.write("run", "not a folder");
    EXPECT_EQ(runToEnd({}), 1);
}
