// What a newcomer watches in scripts/run: the real service on the office lab and configuration as
// the script lays them out, with the lines scripts/follow-log prints from its log as they happen,
// the lab moved with scripts/lab; and scripts/run itself, closed with its terminal or started on a
// root it cannot write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/UnwritableFolder.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/ServiceProcess.h"

namespace {

using namespace std::chrono_literals;
using tamsel::test::ChildProcess;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

// The lab as scripts/run lays it out, its certificates found where they are; the cable is moved
// by the test instead of at the lab's own times.
std::string runLab() {
    std::string lab = readText(OFFICE_LAB);
    const std::string folder = std::string(OFFICE_LAB).substr(0, std::string(OFFICE_LAB).rfind('/') + 1);
    lab = std::regex_replace(lab, std::regex("\"\\.\\./pki/"), "\"" + folder + "../pki/");
    return std::regex_replace(lab, std::regex("<at [^>]*/>"), "");
}

// scripts/follow-log on the root's log, in a process group of its own with its tail and awk.
class Follower {
public:
    explicit Follower(const std::string& log) {
        ChildProcess::Options options;
        // A fresh root, as scripts/run follows it: the service may write its first lines before
        // the follower is watching, and they are news all the same.
        options.arguments = {"--from-start", log};
        options.prepare = [] { setsid(); };
        m_child.start(FOLLOW_LOG, options);
    }
    ~Follower() {
        if (m_child.started()) kill(-m_child.pid(), SIGTERM);
    }

    // Reads printed lines until one ends with the text; false at the deadline.
    bool waitFor(const std::string& end, std::chrono::seconds deadline = 30s) {
        auto until = std::chrono::steady_clock::now() + deadline;
        while (readLine(until)) {
            if (m_lines.back() == end) return true;
        }
        return false;
    }
    // Reads printed lines until each of the texts has been a whole line since the call, in any
    // order; false at the deadline.
    bool waitForAll(const std::vector<std::string>& ends, std::chrono::seconds deadline = 30s) {
        const size_t from = m_lines.size();
        const auto seen = [&] {
            for (const std::string& end : ends)
                if (std::find(m_lines.begin() + static_cast<long>(from), m_lines.end(), end) == m_lines.end())
                    return false;
            return true;
        };
        auto until = std::chrono::steady_clock::now() + deadline;
        while (!seen()) {
            if (!readLine(until)) return false;
        }
        return true;
    }
    const std::vector<std::string>& lines() const { return m_lines; }

private:
    // One more printed line into lines(); false at the end of the output or the deadline.
    bool readLine(std::chrono::steady_clock::time_point until) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        std::string line = m_child.readLine(left);
        if (line.size() >= 5 &&
            (line.rfind("<eof>") == line.size() - 5 || line.rfind("<timeout>") != std::string::npos))
            return false;
        // The time in front: "hh:mm:ss.mmm  text".
        m_lines.push_back(line.size() > 14 ? line.substr(14) : line);
        return true;
    }

    ChildProcess m_child;
    std::vector<std::string> m_lines;
};

// scripts/lab with its words, on the root's lab: the exit status and what it printed, errors too.
tamsel::test::ProgramResult labScript(const TempRoot& root, const std::string& words) {
    return tamsel::test::runProgram(
        {"sh", "-c", "TAMSEL_HOME='" + root.path() + "' exec '" SCRIPTS_DIR "/lab' " + words + " 2>&1"});
}

// Whether the lines hold these, in this order (others may come between).
bool inOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
    size_t at = 0;
    for (const std::string& line : lines)
        if (at < wanted.size() && line == wanted[at]) ++at;
    return at == wanted.size();
}

TEST(OfficeRun, TheNewcomerWatchesTheWirelessAndTheWiredNetworkConnectAsTheCableMoves) {
    TempRoot root;
    root.write("lab.xml", runLab());
    root.write("system/configuration.xml", readText(OFFICE_CONFIGURATION));
    root.write("system/userConfiguration.xml", readText(OFFICE_USER_CONFIGURATION));
    Follower follower(root.log());
    ServiceProcess service(root, {"-run"});
    ASSERT_TRUE(service.started());

    // The cable is out: the radio connects first.
    ASSERT_TRUE(follower.waitFor("Corp-WiFi: connected"))
        << testing::PrintToString(follower.lines()) << "\n" << service.diagnosis(root);
    // The README's commands: the cable plugged in, and pulled after the VPN is up.
    tamsel::test::ProgramResult plugged = labScript(root, "link eth0 up");
    ASSERT_EQ(plugged.exitStatus, 0) << plugged.output;
    EXPECT_EQ(plugged.output, "ok\n");
    ASSERT_TRUE(follower.waitFor("Wired-LAN: connected"))
        << testing::PrintToString(follower.lines()) << "\n" << service.diagnosis(root);
    ASSERT_TRUE(follower.waitFor("VPN up"))
        << testing::PrintToString(follower.lines()) << "\n" << service.diagnosis(root);
    tamsel::test::ProgramResult added =
        labScript(root, "add accessPoint ssid=guest bssid=02:aa:00:00:00:09 channel=11 signal=-70");
    EXPECT_EQ(added.exitStatus, 0) << added.output;
    EXPECT_EQ(added.output, "ok\n");
    tamsel::test::ProgramResult refused = labScript(root, "link eth9 up");
    EXPECT_EQ(refused.exitStatus, 1) << refused.output;
    EXPECT_THAT(refused.output, testing::StartsWith("error: "));
    ASSERT_EQ(labScript(root, "link eth0 down").output, "ok\n");
    // The tunnel goes down on its own thread, at times after the radio connected again.
    ASSERT_TRUE(follower.waitForAll({"Corp-WiFi: connected", "VPN down"}))
        << testing::PrintToString(follower.lines()) << "\n" << service.diagnosis(root);
    service.signal(SIGINT);
    ASSERT_TRUE(follower.waitFor("service stopped"))
        << testing::PrintToString(follower.lines()) << "\n" << service.diagnosis(root);
    EXPECT_EQ(service.waitForExit(), 0);

    const std::vector<std::string>& lines = follower.lines();
    EXPECT_TRUE(inOrder(
        lines,
        {"service started, version 5.1.1.18", "adapter found: Lab Ethernet adapter (wired)",
         "adapter found: Lab wireless adapter (wifi)", "Corp-WiFi: matched with Lab wireless adapter",
         "Corp-WiFi: authenticated", "Corp-WiFi: connected",
         "Lab Ethernet adapter: cable plugged in", "Corp-WiFi: lets Lab wireless adapter go",
         "Wired-LAN: matched with Lab Ethernet adapter", "Wired-LAN: authenticated", "Wired-LAN: connected",
         "Lab Ethernet adapter: cable unplugged", "Wired-LAN: no longer connected",
         "Corp-WiFi: matched with Lab wireless adapter", "Corp-WiFi: connected", "service stopped"}))
        << testing::PrintToString(lines);
    // alice logs on at the lab's start, while the radio connects.
    EXPECT_THAT(lines, Contains("a user logged on"));
    // The address comes from the adapter's own thread, beside the network's lines, so it has no
    // place in the order above.
    EXPECT_THAT(lines, Contains("Lab wireless adapter: address 192.0.2.20"));
    EXPECT_THAT(lines, Contains("Lab Ethernet adapter: address 192.0.2.10"));
    // alice's automatic VPN comes up with the wired connection and goes down with its cable.
    EXPECT_TRUE(inOrder(lines, {"Lab Ethernet adapter: cable plugged in", "VPN: connecting to Office", "VPN up",
                                "Lab Ethernet adapter: cable unplugged", "VPN down"}))
        << testing::PrintToString(lines);
    EXPECT_THAT(lines, Not(Contains(HasSubstr("authentication failed"))));
    EXPECT_THAT(lines, Not(Contains(HasSubstr("Internal error"))));
    const std::string log = root.logText();
    EXPECT_THAT(log, Not(HasSubstr("Internal error")));
    EXPECT_THAT(log, Not(HasSubstr("FATAL")));
    EXPECT_THAT(log, Not(HasSubstr("Assertion")));
}

TEST(OfficeRun, TheLabScriptSaysSoWhenNoServiceRunsOnTheRoot) {
    TempRoot root;
    tamsel::test::ProgramResult result = labScript(root, "link eth0 up");
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_THAT(result.output, HasSubstr("cannot reach " + root.path() + "/run/lab"));
}

// The processes whose environment names the root: whatever scripts/run started there.
std::vector<std::string> processesIn(const std::string& root) {
    std::vector<std::string> found;
    const std::string wanted = "TAMSEL_HOME=" + root;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string pid = entry.path().filename();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "environ", std::ios::binary);
        const std::string environment((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ifstream command(entry.path() / "comm");
        std::string name;
        std::getline(command, name);
        for (size_t at = 0, end; (end = environment.find('\0', at)) != std::string::npos; at = end + 1) {
            if (environment.compare(at, end - at, wanted) == 0) {
                found.push_back(pid + " " + name);
                break;
            }
        }
    }
    return found;
}

// scripts/run on the programs of this build (nothing is set up or built), its console on a pipe.
class RunScript {
public:
    RunScript(const std::string& root, std::function<void()> prepare = {}) {
        ChildProcess::Options options;
        options.arguments = {root};
        options.environment = {{"TAMSEL_RUN_BUILD", RUN_BUILD}};
        options.errorToOutput = true;
        options.prepare = std::move(prepare);
        m_child.start(SCRIPTS_DIR "/run", options);
    }

    // Reads the console until a line holds the text; false at its end or the deadline.
    bool waitFor(const std::string& part, std::chrono::seconds deadline = 60s) {
        auto until = std::chrono::steady_clock::now() + deadline;
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            std::string line = m_child.readLine(left);
            m_console += line + "\n";
            if (line.find(part) != std::string::npos) return true;
            if (line.size() >= 5 && (line.rfind("<eof>") == line.size() - 5 || line.find("<timeout>") != std::string::npos))
                return false;
        }
    }
    const std::string& console() const { return m_console; }
    ChildProcess& process() { return m_child; }

private:
    ChildProcess m_child;
    std::string m_console;
};

// Closing the terminal hangs the script up: it stops the service, the driver's host and the log's
// follower as Ctrl+C does, and nothing of the run is left.
TEST(OfficeRun, ClosingTheTerminalLeavesNoProcessOfTheRunBehind) {
    TempRoot root;
    RunScript run(root.path());
    ASSERT_TRUE(run.waitFor("Corp-WiFi: connected")) << run.console();
    const std::vector<std::string> started = processesIn(root.path());
    // The service and its keeper, nvofilt, and the follower with its tail and awk.
    EXPECT_GE(started.size(), 4u) << testing::PrintToString(started);

    run.process().signal(SIGHUP);
    EXPECT_EQ(run.process().waitForExit(std::chrono::seconds(30)), 129) << run.console();
    EXPECT_TRUE(tamsel::test::waitFor([&] { return processesIn(root.path()).empty(); }, std::chrono::seconds(5)))
        << testing::PrintToString(processesIn(root.path()));
}

// On a root it may not write, each program names the folder it could not create and the system's
// reason, and the script ends with a failure, leaving nothing running.
TEST(OfficeRun, ARootThatIsReadOnlyIsNamedOnTheConsoleAndTheRunFails) {
    TempRoot folder;
    const std::string root = folder.path() + "/root";
    folder.write("root/lab.xml", runLab());
    folder.write("root/system/configuration.xml", readText(OFFICE_CONFIGURATION));
    folder.write("root/system/userConfiguration.xml", readText(OFFICE_USER_CONFIGURATION));
    RunScript run(root, tamsel::test::readOnlyFolder(root));
    run.waitFor("<no such line>", 60s);
    const int code = run.process().waitForExit(std::chrono::seconds(30));
    if (code == tamsel::test::CANNOT_MOUNT) GTEST_SKIP() << "this test may not mount a folder read-only";
    EXPECT_EQ(code, 1) << run.console();
    // Whichever program fails first is named, with the folder and the reason; the others are
    // stopped, at times before they said the same.
    const std::string console = run.console();
    const std::string reason = root + "/run: Read-only file system\n";
    EXPECT_TRUE(console.find("nvofilt: cannot create the folder " + reason) != std::string::npos ||
                console.find("Varnel Tamsel cannot start: cannot create its instance lock in " + reason) !=
                    std::string::npos)
        << console;
    EXPECT_THAT(console, testing::ContainsRegex("run: (nvofilt|tamselsvc) ended with status 1; everything is stopped"));
    EXPECT_TRUE(processesIn(root).empty()) << testing::PrintToString(processesIn(root));
}

}  // namespace
