#pragma once

#include <string>

#include "platform/com/Com.h"

namespace com {

// One class of an in-process server: how to make its class object and how to (un)register it.
struct ObjectMapEntry {
    const CLSID* clsid;
    HRESULT (*updateRegistry)(bool doRegister);
    HRESULT (*getClassObject)(REFIID riid, void** object);
};

// Data built into a module under a type and an id, in place of Windows resources. The list ends
// with an entry whose type is null.
struct ResourceEntry {
    const char* type;
    int id;
    const char* data;
};

inline constexpr int TYPELIB_RESOURCE_ID = 1;

// The module of an in-process server: its object map, resources and path, the lock count that
// tells whether it can be unloaded, and registration of its classes and type library.
class ComModule {
public:
    // `instance` is the address of anything inside the module; it gives the module's path.
    HRESULT Init(const ObjectMapEntry* objectMap, const void* instance, const ResourceEntry* resources);
    void Term();

    long Lock();
    long Unlock();
    long GetLockCount() const;

    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) const;
    // Every class's registry script, then the type library (resource "TYPELIB", id 1) if asked.
    HRESULT RegisterServer(bool registerTypeLib) const;
    HRESULT UnregisterServer(bool unregisterTypeLib) const;
    // Runs the "REGISTRY" resource `id` with %MODULE% standing for the module's path.
    HRESULT UpdateRegistryFromResource(int id, bool doRegister) const;

    const char* FindResource(const char* type, int id) const;
    const std::string& ModulePath() const { return modulePath_; }

private:
    const ObjectMapEntry* objectMap_ = nullptr;
    const ResourceEntry* resources_ = nullptr;
    std::string modulePath_;
};

}  // namespace com
