#include "vel/cm/TivraPlugin.h"

#include <string>
#include <vector>

#include "platform/base/Utf16.h"
#include "platform/qxauth/qxAuth.h"
#include "platform/win/FileVersion.h"
#include "platform/win/Module.h"
#include "platform/win/ServiceControl.h"
#include "runtime/lum/Log.h"

namespace {

win::HMODULE Module = nullptr;
// The record the library made for the agent; it stays valid for a later load.
QX_TLV Record = {};

void logFailure(const char* entry, int result) {
    logInfo(0, "FAILURE: %s()=%s\n", entry, qxErrorString(result));
}

// The agent's service program, its path without the quotes around it; empty when unknown.
std::string servicePath() {
    using namespace winsvc;
    SC_HANDLE manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) return {};
    std::string path;
    SC_HANDLE service = OpenService(manager, TivraPlugin::SERVICE_NAME, SERVICE_QUERY_CONFIG);
    if (service != nullptr) {
        DWORD needed = 0;
        if (!QueryServiceConfig(service, nullptr, 0, &needed) &&
            GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            std::vector<char> buffer(needed);
            auto* config = reinterpret_cast<QUERY_SERVICE_CONFIG*>(buffer.data());
            if (QueryServiceConfig(service, config, needed, &needed) && config->lpBinaryPathName != nullptr) {
                path = config->lpBinaryPathName;
                path = path.size() >= 2 ? path.substr(1, path.size() - 2) : std::string();
            }
        }
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return path;
}

}  // namespace

int TivraPlugin::load() {
    if (Module != nullptr) return 1;
    win::HMODULE module = win::LoadLibraryW(u"" QX_TIVRA_MODULE_NAME);
    if (module == nullptr) return 1;
    auto start = reinterpret_cast<QX_TIVRA_INIT2>(win::GetProcAddress(module, QX_TIVRA_INIT2_NAME));
    int result = -1;
    if (start == nullptr) {
        logInfo(0, "Tivra: can't load  %s()", QX_TIVRA_INIT2_NAME);
    } else if ((result = qxTlvInit(&Record)) != QX_OK && result != QX_ERR_NOT_APPLICABLE) {
        logFailure("qxTlvInit", result);
    } else if ((result = start(&Record, INIT_NAME)) == QX_OK) {
        Module = module;
        return 0;
    } else if (result != QX_ERR_NOT_APPLICABLE) {
        logFailure(QX_TIVRA_INIT2_NAME, result);
    }
    win::FreeLibrary(module);
    return result;
}

void TivraPlugin::unload() {
    if (Module == nullptr) return;
    auto stop = reinterpret_cast<QX_TIVRA_EXIT>(win::GetProcAddress(Module, QX_TIVRA_EXIT_NAME));
    if (stop == nullptr) {
        logInfo(0, "Tivra: can't load  %s()", QX_TIVRA_EXIT_NAME);
    } else {
        int result = stop();
        if (result != QX_OK && result != QX_ERR_NOT_APPLICABLE) logFailure(QX_TIVRA_EXIT_NAME, result);
    }
    logInfo(0, "Tivra: unloaded");
    win::FreeLibrary(Module);
    Module = nullptr;
}

bool TivraPlugin::version(TivraVersion* version) {
    std::string path = servicePath();
    if (path.empty()) return false;
    std::u16string wide = base::utf8ToUtf16(path);
    win::DWORD handle = 0;
    win::DWORD size = win::GetFileVersionInfoSizeW(wide.c_str(), &handle);
    if (size == 0) return false;
    std::vector<char> data(size);
    if (!win::GetFileVersionInfoW(wide.c_str(), handle, size, data.data())) return false;
    void* fixed = nullptr;
    unsigned length = 0;
    if (!win::VerQueryValueW(data.data(), u"\\", &fixed, &length) || length < sizeof(win::VS_FIXEDFILEINFO))
        return false;
    const auto* info = static_cast<const win::VS_FIXEDFILEINFO*>(fixed);
    *version = TivraVersion{{static_cast<int>(info->dwProductVersionMS >> 16),
                             static_cast<int>(info->dwProductVersionMS & 0xFFFF),
                             static_cast<int>(info->dwProductVersionLS >> 16),
                             static_cast<int>(info->dwProductVersionLS & 0xFFFF)}};
    return true;
}
