#pragma once

#include "platform/com/ComModule.h"

namespace bindctl {

// The server's module: object map, registry script and type library, lock count.
com::ComModule& Module();

}  // namespace bindctl

// The exports of the in-process server.
extern "C" {
bool DllMain(void* instance, com::DWORD reason, void* reserved);
com::HRESULT DllGetClassObject(com::REFCLSID clsid, com::REFIID riid, void** object);
com::HRESULT DllCanUnloadNow();
com::HRESULT DllRegisterServer();
com::HRESULT DllUnregisterServer();
}
