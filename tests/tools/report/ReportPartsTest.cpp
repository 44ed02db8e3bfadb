// The report's building blocks: registry dumps, the wireless table, checksums, and the interface
// table as the report prints it.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver/FiltInterface.h"
#include "platform/iphlpapi/IpHelper.h"
#include "platform/registry/Registry.h"
#include "runtime/lum/Crc32.h"
#include "tests/tools/report/BssidTestLists.h"
#include "tools/report/BssidListDecoder.h"
#include "tools/report/FileChecksum.h"
#include "tools/report/FiltRequests.h"
#include "tools/report/RegistryDump.h"
#include "tools/report/ReportSections.h"
#include "tools/report/WirelessTable.h"

namespace {

namespace fs = std::filesystem;
using bssidtest::Bytes;
using report::ReportOutput;

class TemporaryRoot : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("report-parts-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        ::setenv("TAMSEL_HOME", root_.c_str(), 1);
    }
    void TearDown() override {
        iphlpapi::SetInterfaceFolder("");
        fs::remove_all(root_);
    }

    void Set(const char* path, const char* name, uint32_t type, const std::string& data) {
        registry::HKEY key = nullptr;
        ASSERT_EQ(registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE, path, 0, registry::KEY_ALL_ACCESS,
                                           &key, nullptr),
                  0);
        ASSERT_EQ(registry::RegSetValueEx(key, name, type, reinterpret_cast<const uint8_t*>(data.data()),
                                          uint32_t(data.size())),
                  0);
        registry::RegCloseKey(key);
    }

    fs::path root_;
};

using RegistryDumpTest = TemporaryRoot;

TEST_F(RegistryDumpTest, EachValueTypeInItsLayout) {
    const char* key = "SOFTWARE\\Test\\Hook";
    std::string binary;
    for (int i = 0; i < 20; ++i) binary.push_back(char(i));
    Set(key, "", registry::REG_SZ, std::string("default\0", 8));
    Set(key, "Path", registry::REG_EXPAND_SZ, std::string("%SystemRoot%\\x.dll\0", 19));
    Set(key, "Impersonate", registry::REG_DWORD, std::string("\x01\x00\x00\x00", 4));
    Set(key, "Servers", registry::REG_MULTI_SZ, std::string("alpha\0beta\0gamma\0\0", 18));
    Set(key, "Blob", registry::REG_BINARY, binary);
    Set(key, "AVeryLongValueNameHere", registry::REG_BINARY, binary.substr(0, 17));

    ReportOutput out;
    report::DumpRegistryKey(out, registry::HKEY_LOCAL_MACHINE, key, nullptr, 4, false);
    EXPECT_EQ(out.text(),
              "    Hook             = <default>\n"
              "    Path             = <%SystemRoot%\\x.dll>\n"
              "    Impersonate      = 1\n"
              "    Servers          = <alpha>\n"
              "                         <beta>\n"
              "                         <gamma>\n"
              "    Blob             = <00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f \n"
              "                          10 11 12 13 >\n"
              "    AVeryLongValueNameHere = <00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f \n"
              "                                10 >\n");
}

TEST_F(RegistryDumpTest, AdapterAnnotationsLabelThreeValuesAndHideTheRest) {
    const char* key = "SYSTEM\\Class\\0001";
    Set(key, "DriverDesc", registry::REG_SZ, std::string("Lab NIC\0", 8));
    Set(key, "DriverVersion", registry::REG_SZ, std::string("2.0\0", 4));
    Set(key, "providername", registry::REG_SZ, std::string("Varnel\0", 7));
    Set(key, "DriverDate", registry::REG_SZ, std::string("1-2-2026\0", 9));
    ReportOutput out;
    report::DumpRegistryKey(out, registry::HKEY_LOCAL_MACHINE, key, report::ADAPTER_PARAMETER_ANNOTATIONS, 2,
                            false);
    EXPECT_EQ(out.text(),
              "  Driver Version: <2.0>\n"
              "  Driver Vendor : <Varnel>\n"
              "  Driver Date   : <1-2-2026>\n");
}

TEST_F(RegistryDumpTest, SubkeysAndMissingKey) {
    Set("SOFTWARE\\Top\\Child", "Level", registry::REG_DWORD, std::string("\x02\x00\x00\x00", 4));
    Set("SOFTWARE\\Top", "Name", registry::REG_SZ, std::string("top\0", 4));
    ReportOutput out;
    report::DumpRegistryKey(out, registry::HKEY_LOCAL_MACHINE, "SOFTWARE\\Top", nullptr, 0, true);
    report::DumpRegistryKey(out, registry::HKEY_LOCAL_MACHINE, "SOFTWARE\\Absent", nullptr, 2, false);
    EXPECT_EQ(out.text(),
              "Name             = <top>\n"
              "\n  [Child]\n"
              "    Level            = 2\n"
              "  Error (2) opening reg key SOFTWARE\\Absent\n");
}

Bytes ListOf(int networks) {
    std::vector<Bytes> entries;
    for (int i = 0; i < networks; ++i) entries.push_back(bssidtest::Entry("net" + std::to_string(i)));
    return bssidtest::List(entries);
}

TEST(WirelessTable, KeepsTheFullerListAndTheOrderOfArrival) {
    report::WirelessTable table;
    table.store("wlan-b", ListOf(3));
    table.store("wlan-a", ListOf(1));
    table.store("wlan-b", ListOf(2));  // a later round that saw less
    table.store("wlan-a", ListOf(2));
    ASSERT_EQ(table.entries()[0].adapterName, "wlan-b");
    EXPECT_EQ(report::BssidListItemCount(table.entries()[0].list.data(), table.entries()[0].list.size()), 3u);
    ASSERT_EQ(table.entries()[1].adapterName, "wlan-a");
    EXPECT_EQ(report::BssidListItemCount(table.entries()[1].list.data(), table.entries()[1].list.size()), 2u);
}

TEST(WirelessTable, TenAdaptersAtMostAndLongNamesCut) {
    report::WirelessTable table;
    for (int i = 0; i < 11; ++i) table.store("wlan" + std::to_string(i), ListOf(1));
    table.store(std::string(200, 'x'), ListOf(1));
    EXPECT_EQ(table.entries().size(), 10u);
    EXPECT_EQ(table.entries()[9].adapterName, "wlan9");
    table.clear();
    table.store(std::string(200, 'x'), ListOf(1));
    EXPECT_EQ(table.entries()[0].adapterName, std::string(127, 'x'));
    // Characters of more than one byte (two, three, four) are kept whole.
    std::string wide;
    for (int i = 0; i < 70; ++i) wide += "\xc3\xa9\xe6\xb8\xac\xf0\x9f\x93\xb6";
    table.store(wide, ListOf(1));
    // 42 times three characters and one more.
    EXPECT_EQ(table.entries()[1].adapterName, wide.substr(0, 42 * 9 + 2));
}

TEST(WirelessTable, PrintingStopsAtAnEmptyListAndReportsABrokenOne) {
    report::WirelessTable table;
    Bytes broken = ListOf(1);
    broken.resize(broken.size() - 20);
    table.store("wlan0", broken);
    table.store("wlan1", ListOf(0));
    table.store("wlan2", ListOf(1));
    ReportOutput out;
    table.print(out);
    EXPECT_EQ(out.text(), "Wireless environment for wlan0\n" + std::string(63, '-') +
                              "\n\n\n  Exception while parsing BSSID list.\n\n");
}

TEST(FileChecksum, FileReadInBlocks) {
    const std::string check = "123456789";

    fs::path file = fs::temp_directory_path() / ("crc-" + std::to_string(::getpid()));
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < 1300 / 9 + 1; ++i) out << check;
    }
    std::string whole;
    for (int i = 0; i < 1300 / 9 + 1; ++i) whole += check;
    auto sum = report::ChecksumFile(file.string());
    fs::remove(file);
    ASSERT_TRUE(sum);
    EXPECT_EQ(sum->size, whole.size());
    EXPECT_EQ(sum->crc, Crc32::compute(0, reinterpret_cast<const uint8_t*>(whole.data()), whole.size()));
    EXPECT_FALSE(report::ChecksumFile(file.string()));
}

TEST(FiltIssueOidRequest, WithoutAnOpenDeviceIsAnInvalidParameter) {
    uint8_t data[8] = {};
    uint32_t length = sizeof data;
    uint32_t status = 0;
    FiltDeviceClient closed;
    EXPECT_EQ(report::FiltIssueOidRequest(nullptr, 1, false, 0x0D010217, data, &length, &status), 87u);
    EXPECT_EQ(report::FiltIssueOidRequest(&closed, 1, false, 0x0D010217, data, &length, &status), 87u);
    EXPECT_EQ(length, sizeof data);
}

// A control device that answers every OID request from a script of {NDIS status, bytes needed or
// written} and notes the data capacity of each request it was sent.
class ScriptedDevice {
public:
    struct Answer {
        uint32_t ndisStatus;
        uint32_t bytes;
    };

    ScriptedDevice(const fs::path& path, std::vector<Answer> script) : script_(std::move(script)) {
        listen_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listen_, 1) != 0)
            ADD_FAILURE() << "cannot listen on " << path;
        server_ = std::thread([this] { serve(); });
    }
    ~ScriptedDevice() {
        ::shutdown(listen_, SHUT_RDWR);
        server_.join();
        ::close(listen_);
    }
    std::vector<uint32_t> capacities() {
        std::lock_guard<std::mutex> guard(mutex_);
        return capacities_;
    }

private:
    static bool ReadFull(int fd, uint8_t* at, size_t length) {
        while (length) {
            ssize_t n = ::recv(fd, at, length, 0);
            if (n <= 0) return false;
            at += n;
            length -= size_t(n);
        }
        return true;
    }
    static void Reply(int fd, uint32_t id, const Bytes& output) {
        Bytes frame(16);
        bssidtest::Put32(frame, 0, uint32_t(16 + output.size()));
        bssidtest::Put32(frame, 4, id);
        bssidtest::Put32(frame, 12, uint32_t(output.size()));
        frame.insert(frame.end(), output.begin(), output.end());
        (void)!::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL);
    }
    void serve() {
        int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        Reply(fd, 0, {});
        uint8_t header[24];
        for (size_t next = 0; ReadFull(fd, header, sizeof header); ++next) {
            uint32_t inputLength = FiltGetU32(header, 16), outputLength = FiltGetU32(header, 20);
            Bytes input(inputLength);
            if (!ReadFull(fd, input.data(), input.size())) break;
            {
                std::lock_guard<std::mutex> guard(mutex_);
                capacities_.push_back(outputLength - 24);
            }
            Answer answer = next < script_.size() ? script_[next] : Answer{0xC0000001, 0};
            Bytes output(outputLength, 0);
            std::copy(input.begin(), input.begin() + 24, output.begin());
            bool failed = answer.ndisStatus != 0;
            FiltPutU32(output.data(), 12, failed ? 0 : answer.bytes);
            FiltPutU32(output.data(), 16, failed ? answer.bytes : 0);
            FiltPutU32(output.data(), 20, answer.ndisStatus);
            if (!failed) FiltPutU32(output.data(), 24, 0);  // an empty list
            Reply(fd, FiltGetU32(header, 8), output);
        }
        ::close(fd);
    }

    std::vector<Answer> script_;
    int listen_ = -1;
    std::thread server_;
    std::mutex mutex_;
    std::vector<uint32_t> capacities_;
};

using BssidListQueryTest = TemporaryRoot;

// The buffer grows to what the adapter says it needs, rounded up to 256 bytes, for four tries at
// most; a size that no request can carry is not asked for (nor set aside).
TEST_F(BssidListQueryTest, BufferGrowsToTheBytesNeededWithinLimits) {
    constexpr uint32_t SHORT = 0xC0010016, INVALID_LENGTH = 0xC0010014, FAILURE = 0xC0000001;
    const struct {
        const char* name;
        std::vector<ScriptedDevice::Answer> script;
        bool fetched;
        std::vector<uint32_t> capacities;
    } cases[] = {
        {"second try", {{SHORT, 20000}, {0, 20000}}, true, {16384, 20224}},
        {"invalid length", {{INVALID_LENGTH, 16385}, {0, 4}}, true, {16384, 16640}},
        {"four tries",
         {{SHORT, 17000}, {SHORT, 18000}, {SHORT, 19000}, {SHORT, 20000}},
         false,
         {16384, 17152, 18176, 19200}},
        {"other failure", {{FAILURE, 0}}, false, {16384}},
        {"more than a request carries", {{SHORT, 0x7FFFFF00}}, false, {16384}},
        {"size wrapping", {{SHORT, 0xFFFFFFF0}}, false, {16384}},
    };
    for (const auto& c : cases) {
        fs::path socket = root_ / "device";
        fs::remove(socket);
        ScriptedDevice device(socket, c.script);
        FiltDeviceClient client;
        ASSERT_EQ(client.open(socket.string()), 0u) << c.name;
        std::vector<uint8_t> list;
        EXPECT_EQ(report::QueryBssidList(client, 2, &list), c.fetched) << c.name;
        client.close();
        EXPECT_EQ(device.capacities(), c.capacities) << c.name;
    }
}

// A data length past what one request carries is refused before any buffer is made for it.
TEST_F(BssidListQueryTest, OidRequestLongerThanARequestCarriesIsNotEnoughMemory) {
    fs::path socket = root_ / "device";
    ScriptedDevice device(socket, {{0, 0}});
    FiltDeviceClient client;
    ASSERT_EQ(client.open(socket.string()), 0u);
    uint8_t data[4] = {};
    for (uint32_t length : {0xFFFFFFF0u, 1u << 20}) {
        uint32_t asked = length, status = 0;
        EXPECT_EQ(report::FiltIssueOidRequest(&client, 1, false, 0x0D010217, data, &asked, &status), 8u)
            << length;
        EXPECT_EQ(asked, length);
    }
    uint32_t small = sizeof data, status = 1;
    EXPECT_EQ(report::FiltIssueOidRequest(&client, 1, false, 0x0D010217, data, &small, &status), 0u);
    EXPECT_EQ(status, 0u);
    client.close();
    EXPECT_EQ(device.capacities(), std::vector<uint32_t>{4});
}

using ProductSectionTest = TemporaryRoot;

// Nothing installed: the default folder with the registry's error, no driver, no logs; the
// current folder is where it was.
TEST_F(ProductSectionTest, WithoutTheServiceKeyTheDefaultFolderIsUsed) {
    std::string before = fs::current_path().string();
    ReportOutput out;
    report::PrintProductSection(out, (root_ / "run" / "Pellodur").string());
    EXPECT_EQ(fs::current_path().string(), before);
    EXPECT_EQ(out.text(),
              "Varnel Tamsel information:\n-----------------------------------------\n\n"
              "Retrieving Varnel Tamsel installation folder\n"
              "(determined as the location of the service executable)...\n"
              "  Error (2) opening reg key: \n"
              "   HKLM\\SYSTEM\\CurrentControlSet\\Services\\Varnel Tamsel\n"
              "  Using path: C:\\Program Files\\Varnel Tamsel\n\n"
              "Changing directory to:\n"
              "  C:\\Program Files\\Varnel Tamsel\n"
              "  Error (2) changing directory\n\n"
              "Varnel Tamsel winlogon hook registry entries:\n"
              "    Error (2) opening reg key SOFTWARE\\Microsoft\\Windows "
              "NT\\CurrentVersion\\Winlogon\\Notify\\briselsso\n"
              "\n"
              "Varnel Tamsel driver(s) information:\n"
              "  Information on \"\\\\.\\Global\\Pellodur\":\n"
              "  Error (2) opening the driver.\n"
              "    Error 2 changing current directory to C:\\Windows\\system32\\drivers.\n"
              "    nvofilt.sys                      Load: error 126  Version: Unknown (Size: Unknown CRC32: "
              "Unknown)\n"
              "\n"
              "Varnel Tamsel SSO debug files (if any):\n"
              "  Error 2 copying the \"C:\\BriselSsoDbg.txt\" to \".\\\"\n"
              "  Error 2 copying the \"C:\\BriselSsoDbg_bak.txt\" to \".\\\"\n"
              "\n"
              "Varnel Tamsel FIPS debug files (if any):\n"
              "  Error 2 copying \"C:\\Windows\\system32\\drivers\\KtlDrvLog.txt\"\n"
              "  Error 2 copying \"C:\\3vOD-Drv-Install-log.txt\"\n"
              "  Error 2 copying \"C:\\3vOD-Drv-uninstall-log.txt\"\n"
              "\n");
}

using NetworkSectionTest = TemporaryRoot;

// The network section as printed with local time in UTC, the zone of the test put back after.
std::string NetworkSectionInUtc() {
    const char* zone = std::getenv("TZ");
    std::string savedZone = zone ? zone : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    ReportOutput out;
    report::PrintNetworkSection(out);
    if (zone)
        ::setenv("TZ", savedZone.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
    return out.text();
}

// An adapter on DHCP: its lease times as the C library's local time text, the addresses the
// server gave and every gateway on its own line.
TEST_F(NetworkSectionTest, DhcpAdapterWithLeaseTimesAndGateways) {
    const char* param =
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0003";
    std::ofstream(root_ / "netcfg") << "[component]\nbind-name = {D1}\nid = pci\\ven_8086\n"
                                    << "display-name = Lab wired\nclass = net\ncharacteristics = 0x1\n"
                                    << "device-status = 0x1a\nparam-key = " << param << "\n";
    Set(param, "DriverDate", registry::REG_SZ, std::string("6-1-2006\0", 9));
    Set(param, "BusType", registry::REG_SZ, std::string("5\0", 2));
    const char* tcpip = "SYSTEM\\CurrentControlSet\\Services\\{D1}\\Parameters\\Tcpip";
    auto dword = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    Set(tcpip, "EnableDHCP", registry::REG_DWORD, dword(1));
    Set(tcpip, "LeaseObtainedTime", registry::REG_DWORD, dword(1143936000));    // 2 Apr 2006 00:00
    Set(tcpip, "LeaseTerminatesTime", registry::REG_DWORD, dword(1144972800));  // 14 Apr 2006 00:00
    Set(tcpip, "DhcpIPAddress", registry::REG_SZ, std::string("10.1.0.9\0", 9));
    Set(tcpip, "DhcpSubnetMask", registry::REG_SZ, std::string("255.255.0.0\0", 12));
    Set(tcpip, "DhcpServer", registry::REG_DWORD, dword(7));  // of another type: left out
    Set(tcpip, "DhcpDefaultGateway", registry::REG_MULTI_SZ,
        std::string("10.1.0.1\0"
                    "10.1.0.2\0\0",
                    19));
    fs::create_directories(root_ / "net");
    iphlpapi::SetInterfaceFolder((root_ / "net").string());

    const std::string text = NetworkSectionInUtc();

    EXPECT_EQ(text,
              "Network Information:\n"
              "--------------------\n"
              "  Adapter name: Lab wired\n"
              "  Adapter ID: pci\\ven_8086\n"
              "  Driver Date   : <6-1-2006>\n"
              "  Bind Name: {D1}\n"
              "  Status: 1a\n"
              "  Characteristics:\n"
              "    Emulates a physical network card.\n"
              "  Upper bindings:\n"
              "  TCP/IP configuration:\n"
              "    DHCP enabled\n"
              "    Lease obtained:   Sun Apr  2 00:00:00 2006\n"
              "    Lease terminates: Fri Apr 14 00:00:00 2006\n"
              "    Ip address:  10.1.0.9\n"
              "    Ip mask:     255.255.0.0\n"
              "    Default Gateway: 10.1.0.1\n"
              "                     10.1.0.2\n"
              "\n"
              "Ethernet Interface Information:\n");
}

// Numbers stored with fewer than four bytes are read as the bytes they have, as the registry dump
// prints such a value, and nothing behind them.
TEST_F(NetworkSectionTest, ShortNumbersGiveTheBytesTheyHave) {
    std::ofstream(root_ / "netcfg")
        << "[component]\nbind-name = {S1}\nid = pci\\ven_1\n"
        << "display-name = Short\nclass = net\ncharacteristics = 0x4\ndevice-status = 0x1a\n";
    const char* tcpip = "SYSTEM\\CurrentControlSet\\Services\\{S1}\\Parameters\\Tcpip";
    Set(tcpip, "EnableDHCP", registry::REG_DWORD, std::string("\x01", 1));
    Set(tcpip, "LeaseObtainedTime", registry::REG_DWORD, std::string("\x3c", 1));            // 60 s
    Set(tcpip, "LeaseTerminatesTime", registry::REG_DWORD, std::string("\x10\x0e\x00", 3));  // 3600 s
    fs::create_directories(root_ / "net");
    iphlpapi::SetInterfaceFolder((root_ / "net").string());

    const std::string text = NetworkSectionInUtc();
    EXPECT_NE(text.find("    DHCP enabled\n"
                        "    Lease obtained:   Thu Jan  1 00:01:00 1970\n"
                        "    Lease terminates: Thu Jan  1 01:00:00 1970\n"),
              std::string::npos)
        << text;
}

using InterfaceTableTest = TemporaryRoot;

void WriteInterface(const fs::path& folder, const char* type, const char* address, const char* flags,
                    const char* state) {
    fs::create_directories(folder / "statistics");
    std::ofstream(folder / "type") << type << "\n";
    std::ofstream(folder / "address") << address << "\n";
    std::ofstream(folder / "flags") << flags << "\n";
    std::ofstream(folder / "operstate") << state << "\n";
    std::ofstream(folder / "ifindex") << "2\n";
    const struct {
        const char* file;
        int value;
    } counters[] = {{"rx_bytes", 100},   {"rx_packets", 150}, {"multicast", 20},
                    {"rx_dropped", 3},   {"rx_errors", 4},    {"tx_bytes", 105},
                    {"tx_packets", 106}, {"tx_dropped", 7},   {"tx_errors", 8}};
    for (const auto& counter : counters)
        std::ofstream(folder / "statistics" / counter.file) << counter.value << "\n";
}

TEST_F(InterfaceTableTest, EthernetRowsWithStatusAndCounters) {
    fs::path net = root_ / "net";
    WriteInterface(net / "eth7", "1", "02:00:00:00:00:07", "0x1003", "up");
    WriteInterface(net / "lo", "772", "00:00:00:00:00:00", "0x9", "unknown");
    iphlpapi::SetInterfaceFolder(net.string());
    ReportOutput out;
    report::PrintInterfaceTable(out);
    EXPECT_EQ(out.text(),
              "Ethernet Interface Information:\n"
              "  eth7:\n"
              "    MAC: 02:00:00:00:00:07\n"
              "    Administrative status: Enabled\n"
              "    Operational status: Interface is up\n"
              "    Input octets       : 100\n"
              "    Input unicasts     : 130\n"
              "    Input non-unicasts : 20\n"
              "    Input discards     : 3\n"
              "    Input errors       : 4\n"
              "    Input unknown proto: 0\n"
              "    Ouput octets       : 105\n"
              "    Ouput unicasts     : 106\n"
              "    Ouput non-unicasts : 0\n"
              "    Ouput discards     : 7\n"
              "    Ouput errors       : 8\n"
              "\n");
}

TEST_F(InterfaceTableTest, StatusesWithoutCountersBelowConnecting) {
    const struct {
        const char* flags;
        const char* state;
        const char* lines;
    } cases[] = {
        {"0x1002", "down",
         "    Administrative status: Disabled\n    Operational status: Interface is down\n\n"},
        {"0x1003", "down", "    Administrative status: Enabled\n    Operational status: No link\n\n"},
        {"0x1003", "dormant", "    Administrative status: Enabled\n    Operational status: Connecting\n"},
    };
    for (const auto& c : cases) {
        fs::path net = root_ / "net";
        fs::remove_all(net);
        WriteInterface(net / "eth9", "1", "02:00:00:00:00:09", c.flags, c.state);
        iphlpapi::SetInterfaceFolder(net.string());
        ReportOutput out;
        report::PrintInterfaceTable(out);
        EXPECT_NE(out.text().find(std::string("    MAC: 02:00:00:00:00:09\n") + c.lines), std::string::npos)
            << c.state << "\n"
            << out.text();
    }
}

TEST_F(InterfaceTableTest, SizeIsAskedForFirst) {
    fs::path net = root_ / "net";
    WriteInterface(net / "eth1", "1", "02:00:00:00:00:01", "0x1003", "up");
    WriteInterface(net / "eth2", "1", "02:00:00:00:00:02", "0x1003", "up");
    iphlpapi::SetInterfaceFolder(net.string());
    uint32_t size = 0;
    ASSERT_EQ(iphlpapi::GetIfTable(nullptr, &size, true), iphlpapi::ERROR_INSUFFICIENT_BUFFER);
    std::vector<uint8_t> small(size - 1);
    uint32_t smallSize = size - 1;
    EXPECT_EQ(iphlpapi::GetIfTable(reinterpret_cast<iphlpapi::MIB_IFTABLE*>(small.data()), &smallSize, true),
              iphlpapi::ERROR_INSUFFICIENT_BUFFER);
    std::vector<uint8_t> buffer(size);
    ASSERT_EQ(iphlpapi::GetIfTable(reinterpret_cast<iphlpapi::MIB_IFTABLE*>(buffer.data()), &size, true),
              iphlpapi::NO_ERROR);
    EXPECT_EQ(reinterpret_cast<iphlpapi::MIB_IFTABLE*>(buffer.data())->dwNumEntries, 2u);
}

}  // namespace
