#include "vel/vpn/IpSecDll.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"

IpSecDllImpl::IpSecDllImpl() : m_module(win::LoadLibraryA(LIBRARY_NAME)) {
    if (m_module == nullptr) {
        logError(0, "Error loading library %s", LIBRARY_NAME);
    } else {
        logInfo(0, "Loaded Library %s", LIBRARY_NAME);
    }
}

IpSecDllImpl::~IpSecDllImpl() {
    if (m_module == nullptr) return;
    if (win::FreeLibrary(m_module)) {
        logInfo(0, "Unloaded Library %s", LIBRARY_NAME);
    } else {
        logError(0, "Error unloading dll %s", LIBRARY_NAME);
    }
}

IpSecDll IpSecDll::load() {
    return IpSecDll(new IpSecDllImpl, Reference::TAKE_OVER);
}

bool IpSecDll::isLoaded() const {
    if (!LUM_ASSERT_TEXT(m, "m")) return false;
    return impl()->handle() != nullptr;
}

win::HMODULE IpSecDll::handle() const {
    if (!LUM_ASSERT_TEXT(m, "m")) return nullptr;
    return impl()->handle();
}
