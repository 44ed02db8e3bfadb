#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The small part of COM that the network configuration stand-in, the adapter restart utility and
// the notify object use: result codes, GUIDs, IUnknown, class factories, apartments per thread,
// and CoCreateInstance over classes registered in this process or as in-process servers in the
// registry (HKCR\CLSID\{...}\InprocServer32 names a shared library exporting DllGetClassObject).
namespace com {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;

constexpr bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
inline constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);
inline constexpr HRESULT CO_E_ERRORINDLL = static_cast<HRESULT>(0x800401F9);
inline constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106);

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}
constexpr HRESULT HRESULT_FROM_WIN32(long error) {
    return error <= 0 ? static_cast<HRESULT>(error)
                      : static_cast<HRESULT>((static_cast<std::uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
inline constexpr DWORD COINIT_DISABLE_OLE1DDE = 0x4;
inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

inline constexpr IID IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory{
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

// The interface identifier of each interface type, for the interface maps of ComObject.h.
template <class I>
struct InterfaceTraits;

template <>
struct InterfaceTraits<IUnknown> {
    static constexpr const IID& id() { return IID_IUnknown; }
};
template <>
struct InterfaceTraits<IClassFactory> {
    static constexpr const IID& id() { return IID_IClassFactory; }
};

// Apartments are counted per thread; the first initialisation fixes the thread's model.
HRESULT CoInitializeEx(void* reserved, DWORD coInit);
void CoUninitialize();

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsContext, REFIID riid, void** object);

// Makes `classObject` (an IClassFactory) serve CoCreateInstance of `clsid` in this process.
HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD* cookie);
HRESULT CoRevokeClassObject(DWORD cookie);

void* CoTaskMemAlloc(std::size_t size);
void CoTaskMemFree(void* memory);
// A copy of `text` in task memory, for the string results of interfaces.
char* CoTaskMemStrDup(const std::string& text);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string StringFromGUID(REFGUID guid);
// Accepts the braced form in either case; false on anything else.
bool GUIDFromString(const std::string& text, GUID* guid);

}  // namespace com
