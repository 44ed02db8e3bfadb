#pragma once

#include <cstdint>

#include "platform/base/Win32Error.h"
#include "platform/com/Com.h"

// The device installer functions for the devices of the net class, over the network
// configuration state: the present devices with their hardware and compatible ids, and the class
// installer's property change that restarts a device. A device that is a Linux interface is
// restarted for real (taken down and up), or refused with ERROR_ACCESS_DENIED when this process
// may not; a device that is none has its restart counted in the state file. Errors are Win32
// codes through GetLastError.
namespace setupapi {

using com::DWORD;
using com::GUID;
using BYTE = std::uint8_t;

struct DeviceInfoSet;
using HDEVINFO = DeviceInfoSet*;
inline HDEVINFO const INVALID_HANDLE_VALUE = reinterpret_cast<HDEVINFO>(~std::uintptr_t{0});

struct SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    std::uintptr_t Reserved;
};

struct SP_CLASSINSTALL_HEADER {
    DWORD cbSize;
    DWORD InstallFunction;
};

struct SP_PROPCHANGE_PARAMS {
    SP_CLASSINSTALL_HEADER ClassInstallHeader;
    DWORD StateChange;
    DWORD Scope;
    DWORD HwProfile;
};

inline constexpr DWORD DIGCF_PRESENT = 0x2;
inline constexpr DWORD SPDRP_HARDWAREID = 0x1;
inline constexpr DWORD SPDRP_COMPATIBLEIDS = 0x2;
inline constexpr DWORD DIF_PROPERTYCHANGE = 0x12;
inline constexpr DWORD DICS_ENABLE = 1;
inline constexpr DWORD DICS_DISABLE = 2;
inline constexpr DWORD DICS_PROPCHANGE = 3;
inline constexpr DWORD DICS_FLAG_GLOBAL = 1;
inline constexpr DWORD DICS_FLAG_CONFIGSPECIFIC = 2;

using namespace base::win32;

// Devices of the net class only (a null class is every class, which here is the same); a
// snapshot of the state file taken now. INVALID_HANDLE_VALUE on failure.
HDEVINFO SetupDiGetClassDevsEx(const GUID* classGuid, const char* enumerator, void* parentWindow, DWORD flags,
                               HDEVINFO deviceInfoSet, const char* machineName, void* reserved);
bool SetupDiEnumDeviceInfo(HDEVINFO devices, DWORD index, SP_DEVINFO_DATA* device);
// SPDRP_HARDWAREID and SPDRP_COMPATIBLEIDS as REG_MULTI_SZ; ERROR_INVALID_DATA when the device
// has none, ERROR_INSUFFICIENT_BUFFER with *requiredSize when the buffer is too small.
bool SetupDiGetDeviceRegistryProperty(HDEVINFO devices, SP_DEVINFO_DATA* device, DWORD property,
                                      DWORD* propertyRegDataType, BYTE* buffer, DWORD bufferSize,
                                      DWORD* requiredSize);
bool SetupDiSetClassInstallParams(HDEVINFO devices, SP_DEVINFO_DATA* device, SP_CLASSINSTALL_HEADER* params,
                                  DWORD paramsSize);
// DIF_PROPERTYCHANGE with DICS_PROPCHANGE restarts the device.
bool SetupDiCallClassInstaller(DWORD installFunction, HDEVINFO devices, SP_DEVINFO_DATA* device);
bool SetupDiDestroyDeviceInfoList(HDEVINFO devices);

}  // namespace setupapi
