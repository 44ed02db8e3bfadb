#include "platform/win/Module.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/base/Folders.h"
#include "platform/base/Root.h"
#include "platform/base/Utf16.h"
#include "platform/base/Win32Error.h"
#include "platform/lab/LabCalls.h"

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

// Ends a failed call: its last error, and the code in the calls record.
void failed(lab::Call& call, DWORD error) {
    SetLastError(error);
    call.finish(static_cast<int>(error));
}

HMODULE load(const char* function, const std::string& name, const std::string& shown) {
    lab::Call call(function, shown);
    if (call.injected()) {
        failed(call, static_cast<DWORD>(call.result()));
        return nullptr;
    }
    std::string file = sharedLibraryName(name);
    if (!file.empty()) {
        std::string systemFolder = base::programDataRoot() + "/c/Windows/system32";
        for (const std::string& folder : {base::withoutTrailingSlash(base::executableFolder()), systemFolder}) {
            if (folder.empty() || !isFile(folder + "/" + file)) continue;
            if (void* module = ::dlopen((folder + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
        }
    }
    failed(call, ERROR_MOD_NOT_FOUND);
    return nullptr;
}

}  // namespace

HMODULE LoadLibraryA(const char* name) {
    return load("LoadLibraryA", name != nullptr ? name : "", lab::quoted(name));
}

HMODULE LoadLibraryW(const char16_t* name) {
    std::string text = name != nullptr ? base::utf16ToUtf8(std::u16string_view(name)) : std::string();
    std::string file = text;
    // A name without an extension is a library's: Windows adds ".dll".
    size_t last = file.find_last_of("\\/");
    if (!file.empty() && file.find('.', last == std::string::npos ? 0 : last + 1) == std::string::npos) file += ".dll";
    return load("LoadLibraryW", file, name != nullptr ? std::string("L").append(lab::quoted(text.c_str())) : "NULL");
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    lab::Call call("GetProcAddress", "module, " + lab::quoted(name));
    if (call.injected()) {
        failed(call, static_cast<DWORD>(call.result()));
        return nullptr;
    }
    void* symbol = module && name ? ::dlsym(module, name) : nullptr;
    if (symbol == nullptr) {
        failed(call, ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

int FreeLibrary(HMODULE module) {
    lab::Call call("FreeLibrary", "module");
    if (call.injected()) {
        failed(call, static_cast<DWORD>(call.result()));
        return 0;
    }
    if (module == nullptr || ::dlclose(module) != 0) {
        failed(call, ERROR_INVALID_HANDLE);
        return 0;
    }
    return 1;
}

}  // namespace win
