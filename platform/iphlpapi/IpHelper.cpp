#include "platform/iphlpapi/IpHelper.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

namespace iphlpapi {

namespace {

namespace fs = std::filesystem;

constexpr uint32_t ARPHRD_ETHER = 1;
constexpr uint32_t ARPHRD_LOOPBACK = 772;
constexpr uint32_t IFF_UP = 0x1;

std::mutex folderMutex;
std::string interfaceFolder = "/sys/class/net";

std::string ReadLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

uint64_t ReadNumber(const fs::path& file) {
    std::string text = ReadLine(file);
    if (text.empty()) return 0;
    return std::strtoull(text.c_str(), nullptr, 0);
}

uint32_t OperationalStatus(bool up, const std::string& state) {
    if (!up) return IF_OPER_STATUS_NON_OPERATIONAL;
    if (state == "up" || state == "unknown") return IF_OPER_STATUS_OPERATIONAL;
    if (state == "dormant") return IF_OPER_STATUS_CONNECTING;
    return IF_OPER_STATUS_DISCONNECTED;
}

MIB_IFROW ReadRow(const fs::path& folder) {
    MIB_IFROW row{};
    std::string name = folder.filename().string();
    std::strncpy(row.wszName, name.c_str(), sizeof(row.wszName) - 1);
    row.dwIndex = uint32_t(ReadNumber(folder / "ifindex"));
    uint32_t hardware = uint32_t(ReadNumber(folder / "type"));
    row.dwType = hardware == ARPHRD_ETHER      ? IF_TYPE_ETHERNET_CSMACD
                 : hardware == ARPHRD_LOOPBACK ? IF_TYPE_SOFTWARE_LOOPBACK
                                               : IF_TYPE_OTHER;
    row.dwMtu = uint32_t(ReadNumber(folder / "mtu"));
    std::string address = ReadLine(folder / "address");
    for (size_t at = 0; at + 1 < address.size() && row.dwPhysAddrLen < MAXLEN_PHYSADDR; at += 3)
        row.bPhysAddr[row.dwPhysAddrLen++] =
            uint8_t(std::strtoul(address.substr(at, 2).c_str(), nullptr, 16));
    bool up = ReadNumber(folder / "flags") & IFF_UP;
    row.dwAdminStatus = up ? IF_ADMIN_STATUS_UP : IF_ADMIN_STATUS_DOWN;
    row.dwOperStatus = OperationalStatus(up, ReadLine(folder / "operstate"));
    fs::path stats = folder / "statistics";
    auto counter = [&stats](const char* file) { return uint32_t(ReadNumber(stats / file)); };
    row.dwInOctets = counter("rx_bytes");
    row.dwInUcastPkts = counter("rx_packets") - std::min(counter("rx_packets"), counter("multicast"));
    row.dwInNUcastPkts = counter("multicast");
    row.dwInDiscards = counter("rx_dropped");
    row.dwInErrors = counter("rx_errors");
    row.dwOutOctets = counter("tx_bytes");
    row.dwOutUcastPkts = counter("tx_packets");
    row.dwOutDiscards = counter("tx_dropped");
    row.dwOutErrors = counter("tx_errors");
    std::string description = name;
    row.dwDescrLen = uint32_t(std::min<size_t>(description.size(), MAXLEN_IFDESCR - 1));
    std::memcpy(row.bDescr, description.data(), row.dwDescrLen);
    return row;
}

}  // namespace

void SetInterfaceFolder(const std::string& folder) {
    std::lock_guard<std::mutex> guard(folderMutex);
    interfaceFolder = folder.empty() ? "/sys/class/net" : folder;
}

uint32_t GetIfTable(MIB_IFTABLE* table, uint32_t* size, bool order) {
    if (!size) return ERROR_INVALID_PARAMETER;
    std::string folder;
    {
        std::lock_guard<std::mutex> guard(folderMutex);
        folder = interfaceFolder;
    }
    std::vector<MIB_IFROW> rows;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) rows.push_back(ReadRow(entry.path()));
    if (error && rows.empty()) return ERROR_NOT_SUPPORTED;
    if (order)
        std::sort(rows.begin(), rows.end(),
                  [](const MIB_IFROW& a, const MIB_IFROW& b) { return a.dwIndex < b.dwIndex; });
    uint32_t needed =
        uint32_t(offsetof(MIB_IFTABLE, table) + std::max<size_t>(rows.size(), 1) * sizeof(MIB_IFROW));
    if (!table || *size < needed) {
        *size = needed;
        return ERROR_INSUFFICIENT_BUFFER;
    }
    table->dwNumEntries = uint32_t(rows.size());
    MIB_IFROW* out = table->table;
    for (size_t i = 0; i < rows.size(); ++i) out[i] = rows[i];
    return NO_ERROR;
}

}  // namespace iphlpapi
