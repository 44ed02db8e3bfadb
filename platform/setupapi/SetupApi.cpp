#include "platform/setupapi/SetupApi.h"

#include <net/if.h>

#include <cstring>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/netcfg/NetCfg.h"
#include "platform/netcfg/NetworkState.h"
#include "platform/registry/Registry.h"
#include "platform/setupapi/DeviceRestart.h"

namespace setupapi {

struct DeviceInfoSet {
    struct Device {
        std::optional<std::string> bindName;
        std::size_t position;
        std::string interfaceName;
        std::optional<std::vector<std::string>> hardwareIds;
        std::optional<std::vector<std::string>> compatibleIds;
        long restartError;
        std::optional<SP_PROPCHANGE_PARAMS> params;
    };
    std::vector<Device> devices;
};

namespace {

std::mutex liveSetsMutex;
std::set<HDEVINFO> liveSets;

bool valid(HDEVINFO devices) {
    std::lock_guard<std::mutex> lock(liveSetsMutex);
    return liveSets.count(devices) == 1;
}

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

// The device an SP_DEVINFO_DATA from SetupDiEnumDeviceInfo stands for, or null with the error set.
DeviceInfoSet::Device* deviceOf(HDEVINFO devices, SP_DEVINFO_DATA* device) {
    if (!valid(devices)) return fail(base::win32::ERROR_INVALID_HANDLE), nullptr;
    if (!device) return fail(base::win32::ERROR_INVALID_PARAMETER), nullptr;
    if (device->cbSize != sizeof(SP_DEVINFO_DATA)) return fail(ERROR_INVALID_USER_BUFFER), nullptr;
    if (device->Reserved == 0 || device->Reserved > devices->devices.size())
        return fail(base::win32::ERROR_INVALID_PARAMETER), nullptr;
    return &devices->devices[device->Reserved - 1];
}

bool isPresent(const netcfg::ComponentRecord& component) {
    return component.present &&
           (component.interfaceName.empty() || ::if_nametoindex(component.interfaceName.c_str()) != 0);
}

}  // namespace

HDEVINFO SetupDiGetClassDevsEx(const GUID* classGuid, const char*, void*, DWORD flags, HDEVINFO deviceInfoSet,
                               const char* machineName, void*) {
    if (deviceInfoSet || (machineName && *machineName))
        return fail(base::win32::ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    netcfg::NetworkState state;
    long status = netcfg::NetworkStateFile::read(state);
    if (status != base::win32::ERROR_SUCCESS) return fail(static_cast<DWORD>(status)), INVALID_HANDLE_VALUE;
    auto* devices = new DeviceInfoSet;
    if (!classGuid || *classGuid == netcfg::GUID_DEVCLASS_NET) {
        for (std::size_t i = 0; i < state.components.size(); ++i) {
            const auto& c = state.components[i];
            if (c.className != "net" || ((flags & DIGCF_PRESENT) && !isPresent(c))) continue;
            devices->devices.push_back({c.bindName, i, c.interfaceName, c.hardwareIds, c.compatibleIds,
                                        c.restartError, std::nullopt});
        }
    }
    std::lock_guard<std::mutex> lock(liveSetsMutex);
    liveSets.insert(devices);
    SetLastError(ERROR_SUCCESS);
    return devices;
}

bool SetupDiEnumDeviceInfo(HDEVINFO devices, DWORD index, SP_DEVINFO_DATA* device) {
    if (!valid(devices)) return fail(base::win32::ERROR_INVALID_HANDLE);
    if (!device) return fail(base::win32::ERROR_INVALID_PARAMETER);
    if (device->cbSize != sizeof(SP_DEVINFO_DATA)) return fail(ERROR_INVALID_USER_BUFFER);
    if (index >= devices->devices.size()) return fail(base::win32::ERROR_NO_MORE_ITEMS);
    device->ClassGuid = netcfg::GUID_DEVCLASS_NET;
    device->DevInst = static_cast<DWORD>(devices->devices[index].position + 1);
    device->Reserved = index + 1;
    return true;
}

bool SetupDiGetDeviceRegistryProperty(HDEVINFO devices, SP_DEVINFO_DATA* device, DWORD property,
                                      DWORD* propertyRegDataType, BYTE* buffer, DWORD bufferSize,
                                      DWORD* requiredSize) {
    DeviceInfoSet::Device* d = deviceOf(devices, device);
    if (!d) return false;
    const std::optional<std::vector<std::string>>* ids = nullptr;
    if (property == SPDRP_HARDWAREID)
        ids = &d->hardwareIds;
    else if (property == SPDRP_COMPATIBLEIDS)
        ids = &d->compatibleIds;
    else
        return fail(base::win32::ERROR_INVALID_PARAMETER);
    if (!*ids) return fail(base::win32::ERROR_INVALID_DATA);

    std::string multi;
    for (const auto& id : **ids) multi += id + '\0';
    multi += '\0';
    if (propertyRegDataType) *propertyRegDataType = registry::REG_MULTI_SZ;
    if (requiredSize) *requiredSize = static_cast<DWORD>(multi.size());
    if (!buffer || bufferSize < multi.size()) return fail(base::win32::ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, multi.data(), multi.size());
    return true;
}

bool SetupDiSetClassInstallParams(HDEVINFO devices, SP_DEVINFO_DATA* device, SP_CLASSINSTALL_HEADER* params,
                                  DWORD paramsSize) {
    DeviceInfoSet::Device* d = deviceOf(devices, device);
    if (!d) return false;
    if (!params) {
        d->params.reset();
        return true;
    }
    if (params->cbSize != sizeof(SP_CLASSINSTALL_HEADER)) return fail(ERROR_INVALID_USER_BUFFER);
    if (params->InstallFunction != DIF_PROPERTYCHANGE || paramsSize != sizeof(SP_PROPCHANGE_PARAMS))
        return fail(base::win32::ERROR_INVALID_PARAMETER);
    auto* change = reinterpret_cast<SP_PROPCHANGE_PARAMS*>(params);
    if (change->StateChange < DICS_ENABLE || change->StateChange > 5 ||
        (change->Scope != DICS_FLAG_GLOBAL && change->Scope != DICS_FLAG_CONFIGSPECIFIC))
        return fail(base::win32::ERROR_INVALID_PARAMETER);
    d->params = *change;
    return true;
}

bool SetupDiCallClassInstaller(DWORD installFunction, HDEVINFO devices, SP_DEVINFO_DATA* device) {
    DeviceInfoSet::Device* d = deviceOf(devices, device);
    if (!d) return false;
    if (installFunction != DIF_PROPERTYCHANGE) return fail(ERROR_NOT_SUPPORTED);
    if (!d->params) return fail(ERROR_NO_CLASSINSTALL_PARAMS);
    if (d->params->StateChange != DICS_PROPCHANGE) return fail(ERROR_NOT_SUPPORTED);
    if (d->restartError) return fail(static_cast<DWORD>(d->restartError));
    DWORD result = DeviceRestart(d->bindName, d->position, d->interfaceName).run();
    if (result != base::win32::ERROR_SUCCESS) return fail(result);
    return true;
}

bool SetupDiDestroyDeviceInfoList(HDEVINFO devices) {
    {
        std::lock_guard<std::mutex> lock(liveSetsMutex);
        if (liveSets.erase(devices) == 0) return fail(base::win32::ERROR_INVALID_HANDLE);
    }
    delete devices;
    return true;
}

}  // namespace setupapi
