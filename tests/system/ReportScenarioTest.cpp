// The diagnostic report on the running lab: the service and the filter driver's host on the office
// lab, and briselpkg printing its three sections with the lab's adapters, the address the wireless
// one was given, and what its radio sees of the lab's access points.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <string>

#include "tests/support/ChildProcess.h"
#include "tests/support/TextBlock.h"
#include "tests/system/OfficeLab.h"
#include "tests/system/ServiceProcess.h"

namespace {

using namespace std::chrono_literals;
using tamsel::test::ChildProcess;
using ::testing::HasSubstr;
using ::testing::Not;

const char* const WIRED = "{6F1A0C2E-0000-4000-8000-000000000001}";
const char* const WIRELESS = "{6F1A0C2E-0000-4000-8000-000000000002}";

TEST(ReportScenario, BriselpkgOnTheRunningLabPrintsItsSectionsWithTheLabsAdaptersAndAccessPoints) {
    TempRoot root;
    root.write("lab.xml", officeLab(true));
    root.write("system/configuration.xml", readText(OFFICE_CONFIGURATION));
    ServiceProcess service(root, {"-run"});
    ASSERT_TRUE(service.started());

    ChildProcess host;
    ChildProcess::Options hostOptions;
    hostOptions.environment = {{"TAMSEL_HOME", root.path()}};
    ASSERT_TRUE(host.start(NVOFILT_PATH, hostOptions));
    ASSERT_THAT(host.readLine(20s), HasSubstr("with 2 adapter(s)"));
    // Connected: the wireless adapter has its address from the lab's DHCP.
    ASSERT_TRUE(waitFor([&] {
        return root.logText().find("Network Corp-WiFi: AccessStateMachine new state = ACCESS_CONNECTED") !=
               std::string::npos;
    })) << root.logText();

    ChildProcess report;
    ChildProcess::Options reportOptions;
    reportOptions.environment = {{"TAMSEL_HOME", root.path()}, {"BRISELPKG_PAUSE_MS", "0"}};
    const std::string folder = root.path();
    reportOptions.prepare = [folder] {
        if (chdir(folder.c_str()) != 0) _exit(126);
    };
    ASSERT_TRUE(report.start(BRISELPKG_PATH, reportOptions));
    const std::string text = report.readAll();
    EXPECT_EQ(report.wait(), 0);

    size_t product = text.find("Varnel Tamsel information:\n-----------------------------------------\n");
    size_t network = text.find("Network Information:\n--------------------\n");
    size_t wireless =
        text.find(std::string("Wireless environment for ") + WIRELESS + "\n" + std::string(63, '-'));
    ASSERT_EQ(product, 0u) << text;
    ASSERT_NE(network, std::string::npos) << text;
    ASSERT_NE(wireless, std::string::npos) << text;
    EXPECT_LT(network, wireless);
    EXPECT_THAT(text, HasSubstr("  Driver device exists and can be opened.\n")) << text;
    EXPECT_THAT(text, Not(HasSubstr(std::string("Wireless environment for ") + WIRED)));

    // Both lab adapters as started cards, the wireless one with the lease of the network it joined;
    // the wired one, its cable out, has none.
    const std::string adapters = text.substr(network, wireless - network);
    const std::string wired = tamsel::test::blockOf(adapters, "  Adapter name: Lab Ethernet adapter\n");
    EXPECT_THAT(wired, HasSubstr(std::string("  Bind Name: ") + WIRED + "\n  Status: 180200a\n")) << adapters;
    EXPECT_THAT(wired, Not(HasSubstr("Ip address"))) << wired;
    const std::string radio = tamsel::test::blockOf(adapters, "  Adapter name: Lab wireless adapter\n");
    EXPECT_THAT(radio, HasSubstr(std::string("  Bind Name: ") + WIRELESS + "\n  Status: 180200a\n"))
        << adapters;
    EXPECT_TRUE(
        std::regex_search(radio, std::regex("  TCP/IP configuration:\n    DHCP enabled\n"
                                            "    Lease obtained:   [^\n]+\n    Lease terminates: [^\n]+\n"
                                            "    Ip address:  192\\.0\\.2\\.20\n"
                                            "    Ip mask:     255\\.255\\.255\\.0\n"
                                            "    DHCP Server: 192\\.0\\.2\\.1\n"
                                            "    Default Gateway: 192\\.0\\.2\\.1\n")))
        << radio;

    // The radio sees the three access points: the company's two with their WPA2 personal element,
    // the open guest network.
    const std::string list = text.substr(wireless);
    EXPECT_THAT(list, Not(HasSubstr("Exception while parsing")));
    std::string corp =
        tamsel::test::blockOf(list, "  SSID (len 04): corp\n  BSSID        : 02:aa:00:00:00:01\n");
    EXPECT_THAT(corp, HasSubstr("  Privacy      : Enabled\n  Rssi         : -55\n")) << corp;
    EXPECT_THAT(corp, HasSubstr("        Pairwise cipher(s): 802.11i-CCMP/AES\n"
                                "        Key management suite(s): 802.11i-PSK\n"))
        << corp;
    std::string second =
        tamsel::test::blockOf(list, "  SSID (len 04): corp\n  BSSID        : 02:aa:00:00:00:03\n");
    EXPECT_THAT(second, HasSubstr("  Rssi         : -67\n")) << list;
    std::string guest =
        tamsel::test::blockOf(list, "  SSID (len 05): guest\n  BSSID        : 02:aa:00:00:00:02\n");
    EXPECT_THAT(guest, HasSubstr("  Privacy      : Disabled\n  Rssi         : -71\n")) << list;
    EXPECT_THAT(guest, Not(HasSubstr("RSN Information"))) << guest;

    host.signal(SIGINT);
    EXPECT_EQ(host.waitForExit(), 0);
    service.signal(SIGINT);
    EXPECT_EQ(service.waitForExit(), 0) << service.output();
}

}  // namespace
