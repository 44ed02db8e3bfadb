#include "platform/win/FileVersion.h"

#include <cstring>
#include <string>

#include "platform/base/Folders.h"
#include "platform/base/Utf16.h"
#include "platform/image/ImageInspector.h"
#include "platform/image/WindowsPaths.h"
#include "platform/lab/LabCalls.h"

namespace win {

namespace {

using namespace base::win32;

constexpr char RESOURCE_MAGIC[8] = {'V', 'S', '_', 'V', 'E', 'R', 'S', '1'};

// The resource: its magic, then the fixed part.
struct Resource {
    char magic[8];
    VS_FIXEDFILEINFO fixed;
};

std::string localPath(const char16_t* path) {
    std::string text = base::utf16ToUtf8(std::u16string_view(path));
    return winpath::IsWindowsPath(text) ? winpath::MapWindowsPath(text) : text;
}

// False (and the last error) when the file has no version record.
bool resourceOf(const char16_t* path, Resource* resource) {
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::string local = localPath(path);
    auto version = image::ReadFileVersion(local);
    if (!version) {
        SetLastError(base::pathExists(local) ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_FILE_NOT_FOUND);
        return false;
    }
    std::memset(resource, 0, sizeof *resource);
    std::memcpy(resource->magic, RESOURCE_MAGIC, sizeof RESOURCE_MAGIC);
    VS_FIXEDFILEINFO& fixed = resource->fixed;
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    fixed.dwFileVersionMS = static_cast<DWORD>((*version)[0]) << 16 | (*version)[1];
    fixed.dwFileVersionLS = static_cast<DWORD>((*version)[2]) << 16 | (*version)[3];
    fixed.dwProductVersionMS = fixed.dwFileVersionMS;
    fixed.dwProductVersionLS = fixed.dwFileVersionLS;
    return true;
}

// Ends a call that failed with the error: last error and calls record.
int failed(lab::Call& call, DWORD error) {
    SetLastError(error);
    call.finish(static_cast<int>(error));
    return 0;
}

std::string shown(const char16_t* path) {
    return path != nullptr ? std::string("L").append(lab::quoted(base::utf16ToUtf8(std::u16string_view(path)).c_str()))
                           : "NULL";
}

}  // namespace

DWORD GetFileVersionInfoSizeW(const char16_t* path, DWORD* handle) {
    lab::Call call("GetFileVersionInfoSizeW", shown(path) + ", &handle");
    if (handle != nullptr) *handle = 0;
    if (call.injected()) return failed(call, static_cast<DWORD>(call.result()));
    Resource resource;
    if (!resourceOf(path, &resource)) return failed(call, GetLastError());
    return sizeof resource;
}

int GetFileVersionInfoW(const char16_t* path, DWORD, DWORD length, void* data) {
    lab::Call call("GetFileVersionInfoW", shown(path) + ", 0, " + std::to_string(length) + ", data");
    if (call.injected()) return failed(call, static_cast<DWORD>(call.result()));
    Resource resource;
    if (!resourceOf(path, &resource)) return failed(call, GetLastError());
    if (data == nullptr || length < sizeof resource) return failed(call, ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(data, &resource, sizeof resource);
    return 1;
}

int VerQueryValueW(const void* block, const char16_t* subBlock, void** buffer, unsigned* length) {
    std::string name = subBlock != nullptr ? base::utf16ToUtf8(std::u16string_view(subBlock)) : std::string();
    lab::Call call("VerQueryValueW", "block, L" + lab::quoted(name.c_str()) + ", &buffer, &length");
    if (call.injected()) return failed(call, static_cast<DWORD>(call.result()));
    const auto* resource = static_cast<const Resource*>(block);
    if (resource == nullptr || buffer == nullptr || length == nullptr ||
        std::memcmp(resource->magic, RESOURCE_MAGIC, sizeof RESOURCE_MAGIC) != 0 || name != "\\")
        return failed(call, ERROR_RESOURCE_TYPE_NOT_FOUND);
    *buffer = const_cast<VS_FIXEDFILEINFO*>(&resource->fixed);
    *length = sizeof resource->fixed;
    return 1;
}

}  // namespace win
