// The devices the service opens by their "\\.\" names, and the version the system reports.
#include <mutex>
#include <string_view>

#include "platform/base/FailureInjection.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinHandle.h"

namespace winfile {

namespace {

std::mutex DeviceMutex;
std::vector<DeviceControl> Controls;
DWORD VersionMajor = 5;
DWORD VersionMinor = 1;
constexpr size_t MAX_RECORDED = 100;

}  // namespace

HANDLE openDevice(const char16_t* path) {
    if (std::u16string_view(path) != u"\\\\.\\NDIS") {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return handles::open(handles::Kind::Device, -1);
}

BOOL DeviceIoControl(HANDLE device, DWORD controlCode, const void* in, DWORD inSize, void*, DWORD,
                     DWORD* returned, void*) {
    if (returned) *returned = 0;
    std::intptr_t unused = 0;
    if (!handles::value(device, handles::Kind::Device, &unused)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    DWORD error = 0;
    if (base::injectedFailure("DeviceIoControl", error)) {
        SetLastError(error);
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(in);
    std::lock_guard<std::mutex> lock(DeviceMutex);
    if (Controls.size() >= MAX_RECORDED) Controls.erase(Controls.begin());
    Controls.push_back({controlCode, bytes != nullptr ? std::vector<unsigned char>(bytes, bytes + inSize)
                                                      : std::vector<unsigned char>()});
    SetLastError(ERROR_SUCCESS);
    return true;
}

std::vector<DeviceControl> recordedDeviceControls() {
    std::lock_guard<std::mutex> lock(DeviceMutex);
    return Controls;
}

void clearDeviceControls() {
    std::lock_guard<std::mutex> lock(DeviceMutex);
    Controls.clear();
}

BOOL GetVersionExW(OSVERSIONINFOW* info) {
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::lock_guard<std::mutex> lock(DeviceMutex);
    info->dwMajorVersion = VersionMajor;
    info->dwMinorVersion = VersionMinor;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = 2;
    info->szCSDVersion[0] = 0;
    return true;
}

void setSystemVersion(DWORD major, DWORD minor) {
    std::lock_guard<std::mutex> lock(DeviceMutex);
    VersionMajor = major;
    VersionMinor = minor;
}

}  // namespace winfile
