#include "platform/win/Module.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <string>

#include "platform/base/Folders.h"
#include "platform/base/Root.h"
#include "platform/win/WinFile.h"

namespace win {

namespace {

// "NAME.dll" (the extension in any case) as "libNAME.so"; empty for any other name.
std::string sharedLibraryName(const std::string& name) {
    if (name.find_first_of("\\/") != std::string::npos || name.size() <= 4) return {};
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (extension != ".dll") return {};
    return "lib" + name.substr(0, name.size() - 4) + ".so";
}

std::string programFolder() {
    return base::withoutTrailingSlash(base::executableFolder());
}

std::string systemFolder() {
    char16_t root[winfile::MAX_PATH];
    if (winfile::SHGetFolderPathW(nullptr, winfile::CSIDL_COMMON_APPDATA, nullptr, 0, root) !=
        winfile::S_OK) {
        return {};
    }
    std::string folder;
    for (const char16_t* p = root; *p; ++p) {
        if (*p >= 0x80) return {};  // the root's name is plain here; anything else is not searched
        folder += static_cast<char>(*p);
    }
    return folder + "/c/Windows/system32";
}

bool isFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

HMODULE LoadLibraryA(const char* name) {
    std::string file = name ? sharedLibraryName(name) : std::string();
    if (!file.empty()) {
        for (const std::string& folder : {programFolder(), systemFolder()}) {
            if (folder.empty() || !isFile(folder + "/" + file)) continue;
            if (void* module = ::dlopen((folder + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
        }
    }
    winfile::SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    void* symbol = module && name ? ::dlsym(module, name) : nullptr;
    if (symbol == nullptr) {
        winfile::SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

int FreeLibrary(HMODULE module) {
    if (module == nullptr || ::dlclose(module) != 0) {
        winfile::SetLastError(winfile::ERROR_INVALID_HANDLE);
        return 0;
    }
    return 1;
}

}  // namespace win
