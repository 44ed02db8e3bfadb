// What a newcomer watches in scripts/run: the real service on the office lab and configuration as
// the script lays them out, with the lines scripts/follow-log prints from its log as they happen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/system/LabClient.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/ServiceProcess.h"

namespace {

using namespace std::chrono_literals;
using tamsel::test::ChildProcess;
using tamsel::test::LabClient;
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
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            std::string line = m_child.readLine(left);
            if (line.size() >= 5 &&
                (line.rfind("<eof>") == line.size() - 5 || line.rfind("<timeout>") != std::string::npos))
                return false;
            // The time in front: "hh:mm:ss.mmm  text".
            m_lines.push_back(line.size() > 14 ? line.substr(14) : line);
            if (m_lines.back() == end) return true;
        }
    }
    const std::vector<std::string>& lines() const { return m_lines; }

private:
    ChildProcess m_child;
    std::vector<std::string> m_lines;
};

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
    LabClient lab(root.path() + "/run/lab");
    ASSERT_EQ(lab.command("link eth0 up"), std::vector<std::string>{"ok"});
    ASSERT_TRUE(follower.waitFor("Wired-LAN: connected"))
        << testing::PrintToString(follower.lines()) << "\n" << service.diagnosis(root);
    ASSERT_TRUE(follower.waitFor("VPN up"))
        << testing::PrintToString(follower.lines()) << "\n" << service.diagnosis(root);
    ASSERT_EQ(lab.command("link eth0 down"), std::vector<std::string>{"ok"});
    ASSERT_TRUE(follower.waitFor("Corp-WiFi: connected"))
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

}  // namespace
