#include "platform/com/TypeLib.h"

#include <cstdio>
#include <sstream>

#include "platform/registry/Registry.h"

namespace com {

namespace {

using namespace registry;

bool parseVersion(const std::string& text, std::uint16_t* major, std::uint16_t* minor) {
    unsigned a = 0, b = 0;
    char dot = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%u%c%u%c", &a, &dot, &b, &extra) != 3 || dot != '.' || a > 0xFFFF ||
        b > 0xFFFF)
        return false;
    *major = static_cast<std::uint16_t>(a);
    *minor = static_cast<std::uint16_t>(b);
    return true;
}

std::string versionKey(const TypeLibDescription& lib) {
    char version[16];
    std::snprintf(version, sizeof version, "%x.%x", lib.major, lib.minor);
    return "TypeLib\\" + StringFromGUID(lib.libid) + "\\" + version;
}

LSTATUS setKeyDefault(const std::string& path, const std::string& text) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_ALL_ACCESS, &key, nullptr);
    if (status != base::win32::ERROR_SUCCESS) return status;
    status = RegSetValueEx(key, nullptr, REG_SZ, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                           static_cast<std::uint32_t>(text.size() + 1));
    RegCloseKey(key);
    return status;
}

}  // namespace

bool ParseTypeLib(const std::string& text, TypeLibDescription* description) {
    TypeLibDescription lib;
    std::istringstream in(text);
    std::string line;
    bool haveLibrary = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind, name, guid, version, extra;
        if (!(words >> kind)) continue;
        if (kind == "library" && !haveLibrary) {
            if (!(words >> name >> guid >> version) || (words >> extra) ||
                !GUIDFromString(guid, &lib.libid) || !parseVersion(version, &lib.major, &lib.minor))
                return false;
            lib.name = name;
            haveLibrary = true;
        } else if (kind == "coclass" && haveLibrary) {
            CLSID clsid;
            if (!(words >> name >> guid) || (words >> extra) || !GUIDFromString(guid, &clsid)) return false;
            lib.coclasses.emplace_back(name, clsid);
        } else {
            return false;
        }
    }
    if (!haveLibrary) return false;
    if (description) *description = lib;
    return true;
}

HRESULT RegisterTypeLib(const std::string& text, const std::string& modulePath) {
    TypeLibDescription lib;
    if (!ParseTypeLib(text, &lib)) return E_INVALIDARG;
    std::string base = versionKey(lib);
    std::string folder = modulePath.substr(0, modulePath.find_last_of('/') + 1);
    for (const auto& [path, value] : {std::pair<std::string, std::string>{base, lib.name},
                                      {base + "\\0\\linux", modulePath},
                                      {base + "\\FLAGS", "0"},
                                      {base + "\\HELPDIR", folder}}) {
        LSTATUS status = setKeyDefault(path, value);
        if (status != base::win32::ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    }
    return S_OK;
}

HRESULT UnRegisterTypeLib(const std::string& text) {
    TypeLibDescription lib;
    if (!ParseTypeLib(text, &lib)) return E_INVALIDARG;
    LSTATUS status = RegDeleteTree(HKEY_CLASSES_ROOT, versionKey(lib).c_str());
    if (status != base::win32::ERROR_SUCCESS && status != base::win32::ERROR_FILE_NOT_FOUND)
        return HRESULT_FROM_WIN32(status);
    std::string libraryKey = "TypeLib\\" + StringFromGUID(lib.libid);
    status = RegDeleteKey(HKEY_CLASSES_ROOT, libraryKey.c_str());
    if (status == base::win32::ERROR_ACCESS_DENIED || status == base::win32::ERROR_FILE_NOT_FOUND)
        return S_OK;
    return HRESULT_FROM_WIN32(status);
}

}  // namespace com
