#include "platform/com/Com.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/registry/Registry.h"

namespace com {

namespace {

struct Apartment {
    int count = 0;
    DWORD model = 0;
};
thread_local Apartment apartment;

struct RegisteredClass {
    DWORD cookie;
    CLSID clsid;
    IUnknown* classObject;
};

std::mutex classTableMutex;
std::vector<RegisteredClass>& classTable() {
    static std::vector<RegisteredClass> table;
    return table;
}
DWORD nextCookie = 1;

using GetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);

// The in-process server registered for `clsid`, loaded once and kept for the life of the process.
HRESULT classObjectFromServer(REFCLSID clsid, IClassFactory** factory) {
    using namespace registry;
    std::string path = "CLSID\\" + StringFromGUID(clsid) + "\\InprocServer32";
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &key) != base::win32::ERROR_SUCCESS)
        return REGDB_E_CLASSNOTREG;
    std::uint32_t type = 0, size = 0;
    std::string module;
    if (RegQueryValueEx(key, nullptr, &type, nullptr, &size) == base::win32::ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        std::vector<std::uint8_t> data(size);
        if (RegQueryValueEx(key, nullptr, nullptr, data.data(), &size) == base::win32::ERROR_SUCCESS)
            module.assign(reinterpret_cast<const char*>(data.data()),
                          strnlen(reinterpret_cast<const char*>(data.data()), size));
    }
    RegCloseKey(key);
    if (module.empty()) return REGDB_E_CLASSNOTREG;

    void* library = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return HRESULT_FROM_WIN32(126);  // ERROR_MOD_NOT_FOUND
    auto getClassObject = reinterpret_cast<GetClassObjectFunction>(dlsym(library, "DllGetClassObject"));
    if (!getClassObject) return CO_E_ERRORINDLL;
    return getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory));
}

HRESULT registeredClassObject(REFCLSID clsid, IClassFactory** factory) {
    std::lock_guard<std::mutex> lock(classTableMutex);
    for (const auto& entry : classTable())
        if (entry.clsid == clsid)
            return entry.classObject->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(factory));
    return REGDB_E_CLASSNOTREG;
}

}  // namespace

HRESULT CoInitializeEx(void*, DWORD coInit) {
    DWORD model = coInit & COINIT_APARTMENTTHREADED;
    if (apartment.count > 0) {
        if (apartment.model != model) return RPC_E_CHANGED_MODE;
        ++apartment.count;
        return S_FALSE;
    }
    apartment.model = model;
    apartment.count = 1;
    return S_OK;
}

void CoUninitialize() {
    if (apartment.count > 0) --apartment.count;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsContext, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (apartment.count == 0) return CO_E_NOTINITIALIZED;
    if (outer && !(riid == IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    IClassFactory* factory = nullptr;
    HRESULT hr = registeredClassObject(clsid, &factory);
    if (hr == REGDB_E_CLASSNOTREG && (clsContext & CLSCTX_INPROC_SERVER))
        hr = classObjectFromServer(clsid, &factory);
    if (FAILED(hr)) return hr;
    hr = factory->CreateInstance(outer, riid, object);
    factory->Release();
    return hr;
}

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD* cookie) {
    if (!classObject || !cookie) return E_INVALIDARG;
    classObject->AddRef();
    std::lock_guard<std::mutex> lock(classTableMutex);
    *cookie = nextCookie++;
    classTable().push_back({*cookie, clsid, classObject});
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie) {
    IUnknown* classObject = nullptr;
    {
        std::lock_guard<std::mutex> lock(classTableMutex);
        auto& table = classTable();
        for (auto it = table.begin(); it != table.end(); ++it) {
            if (it->cookie == cookie) {
                classObject = it->classObject;
                table.erase(it);
                break;
            }
        }
    }
    if (!classObject) return E_INVALIDARG;
    classObject->Release();
    return S_OK;
}

void* CoTaskMemAlloc(std::size_t size) {
    return std::malloc(size ? size : 1);
}
void CoTaskMemFree(void* memory) {
    std::free(memory);
}

char* CoTaskMemStrDup(const std::string& text) {
    auto* copy = static_cast<char*>(CoTaskMemAlloc(text.size() + 1));
    if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

std::string StringFromGUID(REFGUID g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                  g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return text;
}

bool GUIDFromString(const std::string& text, GUID* guid) {
    // {8-4-4-4-12}
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
    const char* layout = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    std::uint8_t bytes[16];
    int n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (layout[i] != 'x') {
            if (text[i] != layout[i]) return false;
            continue;
        }
        char c = text[i];
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
        if (d < 0) return false;
        if (n % 2 == 0)
            bytes[n / 2] = static_cast<std::uint8_t>(d << 4);
        else
            bytes[n / 2] |= static_cast<std::uint8_t>(d);
        ++n;
    }
    if (!guid) return true;
    guid->Data1 = (std::uint32_t(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
    guid->Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    guid->Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    std::memcpy(guid->Data4, bytes + 8, 8);
    return true;
}

}  // namespace com
