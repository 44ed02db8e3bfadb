#include "bindctl/BindCtlModule.h"

#include "bindctl/BindCtl.h"
#include "bindctl/BindCtlResources.h"

#define NVOBIND_EXPORT __attribute__((visibility("default")))

namespace bindctl {

namespace {

constexpr com::DWORD DLL_PROCESS_DETACH = 0;
constexpr com::DWORD DLL_PROCESS_ATTACH = 1;

const com::ObjectMapEntry OBJECT_MAP[] = {
    {&CLSID_CBindCtl, &CBindCtl::UpdateRegistry, &com::ClassObject<CBindCtl>::Create},
    {nullptr, nullptr, nullptr},
};

const com::ResourceEntry RESOURCES[] = {
    {"REGISTRY", BindCtlConstants::IDR_BINDCTL, BINDCTL_REGISTRY_SCRIPT},
    {"TYPELIB", com::TYPELIB_RESOURCE_ID, BINDCTL_TYPE_LIBRARY},
    {nullptr, 0, nullptr},
};

}  // namespace

com::ComModule& Module() {
    static com::ComModule module;
    return module;
}

}  // namespace bindctl

using bindctl::Module;

extern "C" {

// Loading and unloading the library stand for process attach and detach; there are no thread
// notifications to turn off.
NVOBIND_EXPORT bool DllMain(void* instance, com::DWORD reason, void*) {
    if (reason == bindctl::DLL_PROCESS_ATTACH)
        Module().Init(bindctl::OBJECT_MAP, instance, bindctl::RESOURCES);
    else if (reason == bindctl::DLL_PROCESS_DETACH)
        Module().Term();
    return true;
}

NVOBIND_EXPORT com::HRESULT DllGetClassObject(com::REFCLSID clsid, com::REFIID riid, void** object) {
    return Module().GetClassObject(clsid, riid, object);
}

NVOBIND_EXPORT com::HRESULT DllCanUnloadNow() {
    return Module().GetLockCount() == 0 ? com::S_OK : com::S_FALSE;
}

NVOBIND_EXPORT com::HRESULT DllRegisterServer() {
    return Module().RegisterServer(true);
}

NVOBIND_EXPORT com::HRESULT DllUnregisterServer() {
    Module().UnregisterServer(true);
    return com::S_OK;
}

}  // extern "C"

namespace {

__attribute__((constructor)) void attachModule() {
    DllMain(reinterpret_cast<void*>(&DllMain), bindctl::DLL_PROCESS_ATTACH, nullptr);
}
__attribute__((destructor)) void detachModule() {
    DllMain(reinterpret_cast<void*>(&DllMain), bindctl::DLL_PROCESS_DETACH, nullptr);
}

}  // namespace
