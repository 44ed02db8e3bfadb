#include <algorithm>
#include <ctime>
#include <vector>

#include "platform/base/LocalTime.h"
#include "platform/iphlpapi/IpHelper.h"
#include "platform/netcfg/NetCfg.h"
#include "tools/report/RegistryDump.h"
#include "tools/report/ReportConstants.h"
#include "tools/report/ReportSections.h"

namespace report {

namespace {

using namespace netcfg;
using com::FAILED;
using com::SUCCEEDED;
using R = ReportConstants;

std::string TakeString(char* text) {
    std::string value = text ? text : "";
    com::CoTaskMemFree(text);
    return value;
}

struct RegistryValue {
    uint32_t type = registry::REG_NONE;
    // The stored bytes and two zero bytes behind them, which end a text that has no end.
    std::vector<uint8_t> data;
    uint32_t size = 0;  // the stored bytes
};

bool ReadValue(registry::HKEY key, const char* name, uint32_t wantedType, RegistryValue* value) {
    uint32_t size = 0;
    if (registry::RegQueryValueEx(key, name, &value->type, nullptr, &size) != 0 || value->type != wantedType)
        return false;
    value->data.assign(size + 2, 0);
    if (registry::RegQueryValueEx(key, name, &value->type, value->data.data(), &size) != 0) return false;
    value->size = std::min<uint32_t>(size, uint32_t(value->data.size()));
    return true;
}

bool ReadString(registry::HKEY key, const char* name, std::string* text) {
    RegistryValue value;
    if (!ReadValue(key, name, registry::REG_SZ, &value)) return false;
    *text = reinterpret_cast<const char*>(value.data.data());
    return true;
}

bool ReadDword(registry::HKEY key, const char* name, uint32_t* number) {
    RegistryValue value;
    if (!ReadValue(key, name, registry::REG_DWORD, &value)) return false;
    // A value stored with fewer than four bytes gives the bytes it has, as the registry dump
    // prints it; the rest of the number stays 0.
    *number = 0;
    for (uint32_t i = 0; i < 4 && i < value.size; ++i) *number |= uint32_t(value.data[i]) << (8 * i);
    return true;
}

std::vector<std::string> ReadMultiString(registry::HKEY key, const char* name) {
    std::vector<std::string> strings;
    RegistryValue value;
    if (!ReadValue(key, name, registry::REG_MULTI_SZ, &value)) return strings;
    const char* text = reinterpret_cast<const char*>(value.data.data());
    for (size_t at = 0; at < value.data.size() && text[at];) {
        strings.emplace_back(text + at);
        at += strings.back().size() + 1;
    }
    return strings;
}

void PrintGateways(ReportOutput& out, registry::HKEY key, const char* name) {
    std::vector<std::string> gateways = ReadMultiString(key, name);
    if (gateways.empty()) return;
    out.print("    Default Gateway: ");
    for (size_t i = 0; i < gateways.size(); ++i) out.print("%*s%s\n", i ? 21 : 0, "", gateways[i].c_str());
}

void PrintLeaseTime(ReportOutput& out, registry::HKEY key, const char* label, const char* name) {
    uint32_t seconds = 0;
    if (!ReadDword(key, name, &seconds)) return;
    std::time_t when = std::time_t(seconds);
    char text[64];
    std::tm local{};
    base::localTime(when, local);
    // The C library's own local time text, line end included.
    std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y\n", &local);
    out.print("%s%s", label, text);
}

void PrintTcpip(ReportOutput& out, const std::string& bindName) {
    std::string path = std::string(R::TCPIP_KEY_PREFIX) + bindName + R::TCPIP_KEY_SUFFIX;
    registry::HKEY key = nullptr;
    if (registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0, registry::KEY_READ, &key) != 0)
        return;
    out.print("  TCP/IP configuration:\n");
    uint32_t dhcp = 0;
    if (ReadDword(key, "EnableDHCP", &dhcp) && dhcp) {
        out.print("    DHCP enabled\n");
        PrintLeaseTime(out, key, "    Lease obtained:   ", "LeaseObtainedTime");
        PrintLeaseTime(out, key, "    Lease terminates: ", "LeaseTerminatesTime");
        std::string text;
        if (ReadString(key, "DhcpIPAddress", &text)) out.print("    Ip address:  %s\n", text.c_str());
        if (ReadString(key, "DhcpSubnetMask", &text)) out.print("    Ip mask:     %s\n", text.c_str());
        if (ReadString(key, "DhcpServer", &text)) out.print("    DHCP Server: %s\n", text.c_str());
        PrintGateways(out, key, "DhcpDefaultGateway");
    } else {
        std::vector<std::string> addresses = ReadMultiString(key, "IPAddress");
        std::vector<std::string> masks = ReadMultiString(key, "SubnetMask");
        if (!addresses.empty()) out.print("    Static Ip/Mask: ");
        for (size_t i = 0; i < addresses.size(); ++i) {
            out.print("%*s%s", i ? 20 : 0, "", addresses[i].c_str());
            if (i < masks.size()) out.print("/%s", masks[i].c_str());
            out.print("\n");
        }
        PrintGateways(out, key, "DefaultGateway");
    }
    registry::RegCloseKey(key);
}

void PrintUpperBindings(ReportOutput& out, INetCfgComponent* component) {
    out.print("  Upper bindings:\n");
    INetCfgComponentBindings* bindings = nullptr;
    if (FAILED(component->QueryInterface(IID_INetCfgComponentBindings, reinterpret_cast<void**>(&bindings))))
        return;
    IEnumNetCfgBindingPath* paths = nullptr;
    if (SUCCEEDED(bindings->EnumBindingPaths(EBP_ABOVE, &paths))) {
        INetCfgBindingPath* path = nullptr;
        ULONG fetched = 0;
        while (paths->Next(1, &path, &fetched) == com::S_OK) {
            INetCfgComponent* owner = nullptr;
            if (SUCCEEDED(path->GetOwner(&owner))) {
                char* name = nullptr;
                std::string ownerName = SUCCEEDED(owner->GetDisplayName(&name)) ? TakeString(name) : "";
                out.print("    %s (%s)\n", ownerName.c_str(),
                          path->IsEnabled() == com::S_OK ? "Enabled" : "Disabled");
                owner->Release();
            }
            path->Release();
        }
        paths->Release();
    }
    bindings->Release();
}

void PrintAdapter(ReportOutput& out, INetCfgComponent* component) {
    DWORD characteristics = 0;
    ULONG status = 0;
    if (FAILED(component->GetCharacteristics(&characteristics)) ||
        !(characteristics & (NCF_VIRTUAL | NCF_PHYSICAL | NCF_FILTER)) ||
        FAILED(component->GetDeviceStatus(&status)))
        return;
    char* text = nullptr;
    std::string displayName = SUCCEEDED(component->GetDisplayName(&text)) ? TakeString(text) : "";
    std::string id = SUCCEEDED(component->GetId(&text)) ? TakeString(text) : "";
    std::string bindName = SUCCEEDED(component->GetBindName(&text)) ? TakeString(text) : "";
    out.print("  Adapter name: %s\n", displayName.c_str());
    out.print("  Adapter ID: %s\n", id.c_str());
    registry::HKEY parameters = nullptr;
    if (SUCCEEDED(component->OpenParamKey(&parameters)) && parameters) {
        DumpRegistryKey(out, parameters, nullptr, ADAPTER_PARAMETER_ANNOTATIONS, 2, false);
        registry::RegCloseKey(parameters);
    }
    out.print("  Bind Name: %s\n", bindName.c_str());
    out.print("  Status: %x\n", status);
    out.print("  Characteristics:\n");
    static const struct {
        DWORD flag;
        const char* text;
    } FLAGS[] = {
        {0x1, "    Emulates a physical network card.\n"},
        {0x4, "    Physical network card.\n"},
        {0x2, "    Software enumerated component.\n"},
        {0x8, "    Hidden from the view of a user.\n"},
        {0x10, "    No associated network service.\n"},
        {0x20, "    Not user removable.\n"},
        {0x40, "    Multiport adapter.\n"},
        {0x400, "    Filter driver.\n"},
    };
    for (const auto& row : FLAGS)
        if (characteristics & row.flag) out.print("%s", row.text);
    PrintUpperBindings(out, component);
    PrintTcpip(out, bindName);
    out.print("\n");
}

const char* AdminStatus(uint32_t status) {
    switch (status) {
        case 1:
            return "Enabled\n";
        case 2:
            return "Disabled\n";
        case 3:
            return "Test mode\n";
        default:
            return nullptr;
    }
}

const char* OperStatus(uint32_t status) {
    static const char* const TEXTS[] = {"Interface is down\n", "Peer unreachable\n", "No link\n",
                                        "Connecting\n",        "Connected\n",        "Interface is up\n"};
    return status < 6 ? TEXTS[status] : nullptr;
}

}  // namespace

void PrintInterfaceTable(ReportOutput& out) {
    using namespace iphlpapi;
    out.print("Ethernet Interface Information:\n");
    std::vector<uint8_t> buffer;
    uint32_t size = 0;
    uint32_t result = GetIfTable(nullptr, &size, false);
    for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        buffer.assign(size, 0);
        result = GetIfTable(reinterpret_cast<MIB_IFTABLE*>(buffer.data()), &size, false);
    }
    if (result != NO_ERROR) {
        out.print(" Error %d getting interface table data.\n\n", int(result));
        return;
    }
    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(buffer.data());
    const MIB_IFROW* rows = table->table;
    for (uint32_t i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IFROW& row = rows[i];
        if (row.dwType != IF_TYPE_ETHERNET_CSMACD) continue;
        out.print("  %.*s:\n", int(row.dwDescrLen), reinterpret_cast<const char*>(row.bDescr));
        out.print("    MAC: ");
        if (row.dwPhysAddrLen == 6)
            out.print("%02x:%02x:%02x:%02x:%02x:%02x\n", row.bPhysAddr[0], row.bPhysAddr[1], row.bPhysAddr[2],
                      row.bPhysAddr[3], row.bPhysAddr[4], row.bPhysAddr[5]);
        else
            out.print("incorrect (%d bytes) length reported\n", int(row.dwPhysAddrLen));
        out.print("    Administrative status: ");
        if (const char* text = AdminStatus(row.dwAdminStatus))
            out.print("%s", text);
        else
            out.print("Unknown (%d)\n", int(row.dwAdminStatus));
        out.print("    Operational status: ");
        if (const char* text = OperStatus(row.dwOperStatus))
            out.print("%s", text);
        else
            out.print("Unknown (%d)\n", int(row.dwOperStatus));
        if (row.dwOperStatus > 2) {
            out.print("    Input octets       : %u\n", row.dwInOctets);
            out.print("    Input unicasts     : %u\n", row.dwInUcastPkts);
            out.print("    Input non-unicasts : %u\n", row.dwInNUcastPkts);
            out.print("    Input discards     : %u\n", row.dwInDiscards);
            out.print("    Input errors       : %u\n", row.dwInErrors);
            out.print("    Input unknown proto: %u\n", row.dwInUnknownProtos);
            out.print("    Ouput octets       : %u\n", row.dwOutOctets);
            out.print("    Ouput unicasts     : %u\n", row.dwOutUcastPkts);
            out.print("    Ouput non-unicasts : %u\n", row.dwOutNUcastPkts);
            out.print("    Ouput discards     : %u\n", row.dwOutDiscards);
            out.print("    Ouput errors       : %u\n", row.dwOutErrors);
        }
        out.print("\n");
    }
}

void PrintNetworkSection(ReportOutput& out) {
    out.print("Network Information:\n");
    out.print("--------------------\n");
    bool initialized = SUCCEEDED(com::CoInitializeEx(nullptr, com::COINIT_APARTMENTTHREADED));
    INetCfg* netCfg = nullptr;
    if (SUCCEEDED(com::CoCreateInstance(CLSID_CNetCfg, nullptr, com::CLSCTX_INPROC_SERVER, IID_INetCfg,
                                        reinterpret_cast<void**>(&netCfg)))) {
        if (SUCCEEDED(netCfg->Initialize(nullptr))) {
            IEnumNetCfgComponent* components = nullptr;
            if (SUCCEEDED(netCfg->EnumComponents(&GUID_DEVCLASS_NET, &components))) {
                INetCfgComponent* component = nullptr;
                ULONG fetched = 0;
                while (components->Next(1, &component, &fetched) == com::S_OK) {
                    PrintAdapter(out, component);
                    component->Release();
                }
                components->Release();
            }
            netCfg->Uninitialize();
        }
        netCfg->Release();
    }
    if (initialized) com::CoUninitialize();
    PrintInterfaceTable(out);
}

}  // namespace report
