#pragma once
// The VPN library, loaded while this object lives.
#include "platform/win/Module.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class IpSecDllImpl : public ReferenceImpl {
public:
    static constexpr const char* LIBRARY_NAME = "dunmere.dll";

    IpSecDllImpl();
    ~IpSecDllImpl() override;

    // Null when the library did not load.
    win::HMODULE handle() const { return m_module; }

private:
    win::HMODULE m_module = nullptr;
};

class IpSecDll : public Reference {
public:
    // Loads the library (logged either way).
    static IpSecDll load();

    IpSecDll() = default;

    bool isLoaded() const;
    win::HMODULE handle() const;

private:
    IpSecDll(IpSecDllImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    IpSecDllImpl* impl() const { return static_cast<IpSecDllImpl*>(static_cast<ReferenceImpl*>(m)); }
};
