#include "tools/adapterrestart/AdapterRestart.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/com/Com.h"
#include "platform/netcfg/NetCfg.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryTree.h"
#include "platform/setupapi/SetupApi.h"

namespace adapterrestart {

namespace {

using namespace com;
using namespace netcfg;
using namespace setupapi;

constexpr DWORD FIRST_PROPERTY_BUFFER = 8192;

// A device's multi-string property, always closed by two nulls; empty when it cannot be read.
std::vector<char> readMultiString(HDEVINFO devices, SP_DEVINFO_DATA* device, DWORD property) {
    std::vector<char> buffer(FIRST_PROPERTY_BUFFER + 2, '\0');
    DWORD type = 0, required = 0;
    DWORD size = FIRST_PROPERTY_BUFFER;
    bool ok = SetupDiGetDeviceRegistryProperty(devices, device, property, &type,
                                               reinterpret_cast<BYTE*>(buffer.data()), size, &required);
    if (!ok && GetLastError() == base::win32::ERROR_INSUFFICIENT_BUFFER && type == registry::REG_MULTI_SZ) {
        size = required;
        buffer.assign(size + 2, '\0');
        ok = SetupDiGetDeviceRegistryProperty(devices, device, property, &type,
                                              reinterpret_cast<BYTE*>(buffer.data()), size, &required);
    }
    if (!ok) buffer.assign(2, '\0');
    buffer[buffer.size() - 2] = '\0';
    buffer[buffer.size() - 1] = '\0';
    return buffer;
}

bool listHolds(const std::vector<char>& multi, const char* id) {
    for (const char* entry = multi.data(); *entry; entry += std::strlen(entry) + 1)
        if (registry::equalsNoCase(entry, id)) return true;
    return false;
}

}  // namespace

std::uint32_t RestartDeviceByHardwareId(const char* hardwareId) {
    DWORD result = base::win32::ERROR_NOT_FOUND;
    HDEVINFO devices =
        SetupDiGetClassDevsEx(&GUID_DEVCLASS_NET, nullptr, nullptr, DIGCF_PRESENT, nullptr, nullptr, nullptr);
    if (devices == INVALID_HANDLE_VALUE) return GetLastError();

    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        std::vector<char> hardwareIds = readMultiString(devices, &device, SPDRP_HARDWAREID);
        std::vector<char> compatibleIds = readMultiString(devices, &device, SPDRP_COMPATIBLEIDS);
        if (!listHolds(hardwareIds, hardwareId) && !listHolds(compatibleIds, hardwareId)) continue;

        SP_PROPCHANGE_PARAMS params{};
        params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
        params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
        params.StateChange = DICS_PROPCHANGE;
        params.Scope = DICS_FLAG_CONFIGSPECIFIC;
        params.HwProfile = 0;
        if (SetupDiSetClassInstallParams(devices, &device, &params.ClassInstallHeader, sizeof params) &&
            SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, devices, &device))
            result = base::win32::ERROR_SUCCESS;
        else
            result = GetLastError();
        break;
    }
    SetupDiDestroyDeviceInfoList(devices);
    return result;
}

std::uint32_t RestartMatchingAdapters(const char* adapterList) {
    DWORD result = base::win32::ERROR_NOT_FOUND;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return result;

    INetCfg* netCfg = nullptr;
    if (FAILED(CoCreateInstance(CLSID_CNetCfg, nullptr, CLSCTX_INPROC_SERVER, IID_INetCfg,
                                reinterpret_cast<void**>(&netCfg)))) {
        CoUninitialize();
        return result;
    }
    if (FAILED(netCfg->Initialize(nullptr))) {
        netCfg->Release();
        CoUninitialize();
        return result;
    }

    IEnumNetCfgComponent* components = nullptr;
    if (SUCCEEDED(netCfg->EnumComponents(&GUID_DEVCLASS_NET, &components))) {
        components->Reset();
        INetCfgComponent* component = nullptr;
        ULONG fetched = 0;
        while (components->Next(1, &component, &fetched) == S_OK) {
            char* bindName = nullptr;
            // An empty bind name would occur in every list and restart an adapter nobody named.
            if (SUCCEEDED(component->GetBindName(&bindName)) && *bindName &&
                std::strstr(adapterList, bindName)) {
                result = base::win32::ERROR_GEN_FAILURE;
                char* componentId = nullptr;
                if (SUCCEEDED(component->GetId(&componentId))) {
                    result = RestartDeviceByHardwareId(componentId);
                    CoTaskMemFree(componentId);
                }
            }
            CoTaskMemFree(bindName);
            component->Release();
        }
        components->Release();
    }
    netCfg->Uninitialize();
    netCfg->Release();
    CoUninitialize();
    return result;
}

void PrintUsage(std::FILE* out, const char* programName) {
    std::fprintf(out, "Usage: %s <adapter_symbolic_name_list>\n", programName);
    std::fprintf(out, "Restarts the network adapter(s) listed.\n");
    std::fprintf(out, "The adapter symbolic name in Windows is a GUID.\n");
    std::fprintf(out, "One or more adapters can be listed. If space is used\n");
    std::fprintf(out, "for a separator, the list should be enclosed in\n");
    std::fprintf(out, "quote marks.\n");
}

int Main(int argc, char** argv) {
    if (argc != 2) {
        PrintUsage(stdout, argc > 0 ? argv[0] : "nicbounce");
        return -1;
    }
    // The Win32 code; the process exit status keeps its low eight bits.
    return static_cast<int>(RestartMatchingAdapters(argv[1]));
}

}  // namespace adapterrestart
