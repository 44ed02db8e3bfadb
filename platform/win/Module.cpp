#include "platform/win/Module.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/base/FailureInjection.h"
#include "platform/base/Folders.h"
#include "platform/base/Root.h"
#include "platform/base/Win32Error.h"

namespace win {

namespace {

using namespace base::win32;

// "NAME.dll" (the extension in any case) as "libNAME.so"; empty for any other name.
std::string sharedLibraryName(const std::string& name) {
    if (name.find_first_of("\\/") != std::string::npos || name.size() <= 4) return {};
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (extension != ".dll") return {};
    return "lib" + name.substr(0, name.size() - 4) + ".so";
}

bool isFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// True, with the last error set, when the call is to fail.
bool injected(const char* call) {
    std::uint32_t code = 0;
    if (!base::injectedFailure(call, code)) return false;
    SetLastError(code);
    return true;
}

}  // namespace

HMODULE LoadLibraryA(const char* name) {
    if (injected("LoadLibraryA")) return nullptr;
    std::string file = name ? sharedLibraryName(name) : std::string();
    if (!file.empty()) {
        std::string systemFolder = base::programDataRoot() + "/c/Windows/system32";
        for (const std::string& folder :
             {base::withoutTrailingSlash(base::executableFolder()), systemFolder}) {
            if (folder.empty() || !isFile(folder + "/" + file)) continue;
            if (void* module = ::dlopen((folder + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
        }
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    if (injected("GetProcAddress")) return nullptr;
    void* symbol = module && name ? ::dlsym(module, name) : nullptr;
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

int FreeLibrary(HMODULE module) {
    if (injected("FreeLibrary")) return 0;
    if (module == nullptr || ::dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return 1;
}

}  // namespace win
