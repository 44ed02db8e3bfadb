// briselpkg against a running nvofilt host with two simulated adapters (one wireless, with a
// BSSID list that needs a second, larger request), an installation below a temporary root, a
// network configuration and its registry values.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TextBlock.h"
#include "tests/tools/report/BssidTestLists.h"

namespace {

namespace fs = std::filesystem;
using bssidtest::Bytes;

const char WIRED[] = "{6F1A0C2E-0000-4000-8000-0000000000A1}";
const char WIRELESS[] = "{6F1A0C2E-0000-4000-8000-0000000000A2}";

std::string Hex(const Bytes& bytes) {
    std::string text;
    char two[3];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        text += two;
    }
    return text;
}

// Two networks; the second is a hidden one whose entry is long enough that the whole list needs
// 20,000 bytes, more than the report's first request holds.
Bytes WirelessList() {
    Bytes rsn = {0x30, 0x14, 0x01, 0x00, 0x00, 0x0f, 0xac, 0x04, 0x01, 0x00, 0x00,
                 0x0f, 0xac, 0x04, 0x01, 0x00, 0x00, 0x0f, 0xac, 0x01, 0x00, 0x00};
    Bytes first = bssidtest::Entry("corp", rsn);
    Bytes hidden = bssidtest::Entry("");
    hidden.resize(20000 - 4 - first.size(), 0);
    bssidtest::Put32(hidden, 0, uint32_t(hidden.size()));
    return bssidtest::List({first, hidden});
}

void SetString(const std::string& path, const char* name, uint32_t type, const std::string& data) {
    registry::HKEY key = nullptr;
    ASSERT_EQ(registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0,
                                       registry::KEY_ALL_ACCESS, &key, nullptr),
              0);
    ASSERT_EQ(registry::RegSetValueEx(key, name, type, reinterpret_cast<const uint8_t*>(data.c_str()),
                                      uint32_t(data.size() + 1)),
              0);
    registry::RegCloseKey(key);
}

class ReportSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("briselpkg-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "cwd");
        ::setenv("TAMSEL_HOME", root_.c_str(), 1);
        ::unsetenv("TAMSEL_LAB");
        WriteLab();
        Install();
        WriteNetworkConfiguration();
        StartHost();
    }

    void TearDown() override {
        host_.signal(SIGTERM);
        host_.wait();
        fs::remove_all(root_);
    }

    void WriteLab() {
        std::ofstream(root_ / "lab.xml")
            << "<lab>\n"
            << "  <adapter name=\"" << WIRED
            << "\" friendly=\"lab0\" media=\"wired\" mac=\"02:00:00:00:00:a1\"/>\n"
            << "  <adapter name=\"" << WIRELESS
            << "\" friendly=\"lab1\" media=\"wireless\" mac=\"02:00:00:00:00:a2\">\n"
            << "    <oid id=\"0x0D010217\" hex=\"" << Hex(WirelessList()) << "\"/>\n"
            << "  </adapter>\n</lab>\n";
    }

    void Install() {
        fs::path program = root_ / "c" / "Program Files" / "Varnel Tamsel";
        fs::path system = root_ / "c" / "Windows" / "system32";
        fs::create_directories(program);
        fs::create_directories(system / "drivers");
        fs::copy_file(NICBOUNCE_PATH, program / "nicbounce");
        std::ofstream(program / "readme.txt") << "not a module\n";
        fs::copy_file(NVOBIND_PATH, system / "libnvobind.so");
        fs::copy_file(NVOFILT_HOST_PATH, system / "drivers" / "nvofilt");
        std::ofstream(root_ / "c" / "BriselSsoDbg.txt") << "sso log\n";
        SetString("SYSTEM\\CurrentControlSet\\Services\\Varnel Tamsel", "ImagePath", registry::REG_EXPAND_SZ,
                  "\"C:\\Program Files\\Varnel Tamsel\\tamselsvc.exe\" -service");
        SetString("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify\\briselsso", "DllName",
                  registry::REG_SZ, "briselsso.dll");
    }

    void WriteNetworkConfiguration() {
        std::string param =
            "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007";
        std::ofstream(root_ / "netcfg") << "[component]\nbind-name = " << WIRELESS
                                        << "\nid = pci\\ven_1814&dev_3090\ndisplay-name = Lab wireless\n"
                                        << "class = net\ncharacteristics = 0x84\ndevice-status = 0x0180200a\n"
                                        << "param-key = " << param << "\n\n"
                                        << "[component]\nbind-name = Tcpip\nid = ms_tcpip\n"
                                        << "display-name = Internet Protocol (TCP/IP)\nclass = nettrans\n"
                                        << "characteristics = 0x0\n\n"
                                        << "[binding]\npath = Tcpip " << WIRELESS << "\nenabled = yes\n";
        SetString(param, "ProviderName", registry::REG_SZ, "Varnel");
        SetString(param, "DriverVersion", registry::REG_SZ, "3.1.0.7");
        SetString(param, "NetCfgInstanceId", registry::REG_SZ, WIRELESS);
        std::string tcpip =
            std::string("SYSTEM\\CurrentControlSet\\Services\\") + WIRELESS + "\\Parameters\\Tcpip";
        SetString(tcpip, "IPAddress", registry::REG_MULTI_SZ,
                  std::string("10.0.0.5\0"
                              "10.0.0.6\0",
                              18));
        SetString(tcpip, "SubnetMask", registry::REG_MULTI_SZ, std::string("255.255.255.0\0", 14));
        SetString(tcpip, "DefaultGateway", registry::REG_MULTI_SZ, std::string("10.0.0.1\0", 9));
    }

    void StartHost() {
        ASSERT_TRUE(host_.start(NVOFILT_HOST_PATH));
        std::string line = host_.readLine(std::chrono::seconds(20));
        ASSERT_NE(line.find("2 adapter(s)"), std::string::npos) << line;
    }

    // Runs the report in the cwd folder with an argument it is to ignore; its output and status.
    std::string RunReport(int* exitStatus) {
        tamsel::test::ChildProcess report;
        const std::string cwd = (root_ / "cwd").string();
        EXPECT_TRUE(report.start(BRISELPKG_PATH, {"--ignored"}, [&cwd] {
            if (::chdir(cwd.c_str()) != 0) ::_exit(126);
            ::setenv("BRISELPKG_PAUSE_MS", "0", 1);
        }));
        std::string text = report.readAll();
        *exitStatus = report.wait();
        return text;
    }

    fs::path root_;
    tamsel::test::ChildProcess host_;
};

TEST_F(ReportSystemTest, PrintsAllThreeSections) {
    int status = -1;
    std::string text = RunReport(&status);
    EXPECT_EQ(status, 0);

    size_t product = text.find("Varnel Tamsel information:\n-----------------------------------------\n\n");
    size_t network = text.find("Network Information:\n--------------------\n");
    size_t wireless =
        text.find(std::string("Wireless environment for ") + WIRELESS + "\n" + std::string(63, '-'));
    ASSERT_EQ(product, 0u) << text;
    ASSERT_NE(network, std::string::npos) << text;
    ASSERT_NE(wireless, std::string::npos) << text;
    EXPECT_LT(network, wireless);
    EXPECT_EQ(text.find(std::string("Wireless environment for ") + WIRED), std::string::npos);

    // Product: the folder from the service's image path, the core file with its version, size and
    // CRC, each imported module once, the hook key, the filter driver and the copied log.
    EXPECT_NE(text.find("  Using path: C:\\Program Files\\Varnel Tamsel\n\nChanging directory to:\n"
                        "  C:\\Program Files\\Varnel Tamsel\n\nVarnel Tamsel core files:\n"),
              std::string::npos)
        << text;
    std::string core = tamsel::test::blockOf(text, "  C:\\Program Files\\Varnel Tamsel\\nicbounce.exe");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(
        core, match,
        std::regex(R"(^  C:\\Program Files\\Varnel Tamsel\\nicbounce\.exe *  Version: 1\.0\.0\.\d+ )"
                   R"(\(Size: (\d+) CRC32: 0x[0-9A-F]{8}\)\n)")))
        << core;
    EXPECT_EQ(std::stoull(match[1]), fs::file_size(NICBOUNCE_PATH));
    EXPECT_EQ(text.find("readme.txt"), std::string::npos);
    size_t libc = core.find("libc.so.6");
    ASSERT_NE(libc, std::string::npos) << core;
    EXPECT_EQ(core.find("libc.so.6", libc + 1), std::string::npos) << core;
    EXPECT_NE(core.find("\n    /"), std::string::npos) << core;  // imports two deeper

    EXPECT_NE(text.find("\n  C:\\Windows\\system32\\nvobind.dll"), std::string::npos) << text;
    EXPECT_NE(text.find("  briselsso.dll                    Load: error 126  Version: Unknown "
                        "(Size: Unknown CRC32: Unknown)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(
        text.find(
            "Varnel Tamsel winlogon hook registry entries:\n    DllName          = <briselsso.dll>\n\n"),
        std::string::npos)
        << text;
    EXPECT_NE(
        text.find(
            "Varnel Tamsel driver(s) information:\n  Information on \"\\\\.\\Global\\Pellodur\":\n"
            "  Driver device exists and can be opened.\n    C:\\Windows\\system32\\drivers\\nvofilt.sys"),
        std::string::npos)
        << text;
    EXPECT_EQ(text.find("QUENHOLT"), std::string::npos);
    EXPECT_NE(text.find("  \"C:\\BriselSsoDbg.txt\" Copied\n"
                        "  Error 2 copying the \"C:\\BriselSsoDbg_bak.txt\" to \".\\\"\n"),
              std::string::npos)
        << text;
    std::ifstream copied(root_ / "cwd" / "BriselSsoDbg.txt");
    std::stringstream copiedText;
    copiedText << copied.rdbuf();
    EXPECT_EQ(copiedText.str(), "sso log\n");

    // Network: the configured adapter with its labelled values only, bindings and static address.
    EXPECT_EQ(tamsel::test::blockOf(text, "  Adapter name: "),
              std::string("  Adapter name: Lab wireless\n"
                          "  Adapter ID: pci\\ven_1814&dev_3090\n"
                          "  Driver Vendor : <Varnel>\n"
                          "  Driver Version: <3.1.0.7>\n"
                          "  Bind Name: ") +
                  WIRELESS +
                  "\n"
                  "  Status: 180200a\n"
                  "  Characteristics:\n"
                  "    Physical network card.\n"
                  "  Upper bindings:\n"
                  "    Internet Protocol (TCP/IP) (Enabled)\n"
                  "  TCP/IP configuration:\n"
                  "    Static Ip/Mask: 10.0.0.5/255.255.255.0\n"
                  "                    10.0.0.6\n"
                  "    Default Gateway: 10.0.0.1\n");
    EXPECT_NE(text.find("Ethernet Interface Information:\n", network), std::string::npos);

    // Wireless: both networks of the 20,000-byte list, the hidden one skipped.
    std::string list = text.substr(wireless);
    EXPECT_NE(
        list.find(
            "\n\n  SSID (len 04): corp\n  BSSID        : 00:1a:2b:3c:4d:5e\n  Privacy      : Enabled\n"),
        std::string::npos)
        << list;
    EXPECT_NE(list.find("    ID: 0x30 Length: 20\n      RSN Information:\n        Version: 0x0001\n"
                        "        Group cipher: 802.11i-CCMP/AES\n"
                        "        Pairwise cipher(s): 802.11i-CCMP/AES\n"
                        "        Key management suite(s): 802.11i-802.1x\n"
                        "        RSN capabilities (0x0000):\n"),
              std::string::npos)
        << list;
    EXPECT_NE(list.find("  SSID (len 00):  -> zero SSID, will skip\n  BSSID        : 00:1a:2b:3c:4d:5e\n\n"),
              std::string::npos)
        << list;
    EXPECT_EQ(list.find("Exception while parsing"), std::string::npos);
}

TEST_F(ReportSystemTest, WithoutTheDriverHostTheWirelessSectionIsEmpty) {
    host_.signal(SIGTERM);
    host_.wait();
    int status = 0;
    std::string text = RunReport(&status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(text.find("  Information on \"\\\\.\\Global\\Pellodur\":\n  Error (2) opening the driver.\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Ethernet Interface Information:\n"), std::string::npos);
    EXPECT_EQ(text.find("Wireless environment for"), std::string::npos);
}

}  // namespace
