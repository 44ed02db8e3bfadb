#include "platform/com/ComModule.h"

#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <map>

#include "platform/com/ComObject.h"
#include "platform/com/ComRegistrar.h"
#include "platform/com/TypeLib.h"

namespace com {

namespace {
std::atomic<long> moduleLocks{0};
}

long ModuleLock() {
    return ++moduleLocks;
}
long ModuleUnlock() {
    return --moduleLocks;
}
long ModuleLockCount() {
    return moduleLocks.load();
}

HRESULT ComModule::Init(const ObjectMapEntry* objectMap, const void* instance,
                        const ResourceEntry* resources) {
    objectMap_ = objectMap;
    resources_ = resources;
    Dl_info info{};
    if (instance && dladdr(instance, &info) && info.dli_fname) modulePath_ = info.dli_fname;
    return S_OK;
}

void ComModule::Term() {
    objectMap_ = nullptr;
    resources_ = nullptr;
}

long ComModule::Lock() {
    return ModuleLock();
}
long ComModule::Unlock() {
    return ModuleUnlock();
}
long ComModule::GetLockCount() const {
    return ModuleLockCount();
}

HRESULT ComModule::GetClassObject(REFCLSID clsid, REFIID riid, void** object) const {
    if (!object) return E_POINTER;
    *object = nullptr;
    for (const ObjectMapEntry* entry = objectMap_; entry && entry->clsid; ++entry)
        if (*entry->clsid == clsid) return entry->getClassObject(riid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ComModule::RegisterServer(bool registerTypeLib) const {
    for (const ObjectMapEntry* entry = objectMap_; entry && entry->clsid; ++entry) {
        HRESULT hr = entry->updateRegistry(true);
        if (FAILED(hr)) return hr;
    }
    if (!registerTypeLib) return S_OK;
    const char* typeLib = FindResource("TYPELIB", TYPELIB_RESOURCE_ID);
    return typeLib ? RegisterTypeLib(typeLib, modulePath_) : S_OK;
}

HRESULT ComModule::UnregisterServer(bool unregisterTypeLib) const {
    HRESULT result = S_OK;
    for (const ObjectMapEntry* entry = objectMap_; entry && entry->clsid; ++entry) {
        HRESULT hr = entry->updateRegistry(false);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    if (!unregisterTypeLib) return result;
    if (const char* typeLib = FindResource("TYPELIB", TYPELIB_RESOURCE_ID)) {
        HRESULT hr = UnRegisterTypeLib(typeLib);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

HRESULT ComModule::UpdateRegistryFromResource(int id, bool doRegister) const {
    const char* script = FindResource("REGISTRY", id);
    if (!script) return HRESULT_FROM_WIN32(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND
    return RunRegistryScript(script, doRegister, {{"MODULE", modulePath_}});
}

const char* ComModule::FindResource(const char* type, int id) const {
    for (const ResourceEntry* entry = resources_; entry && entry->type; ++entry)
        if (entry->id == id && std::strcmp(entry->type, type) == 0) return entry->data;
    return nullptr;
}

}  // namespace com
