#pragma once

#include "platform/com/Com.h"
#include "platform/registry/Registry.h"

// The network configuration interfaces: components (adapters, protocols, services, clients) with
// their bindings, the configuration's write lock, and the interfaces a notify object implements.
// Strings are UTF-8 in task memory (free them with com::CoTaskMemFree).
namespace netcfg {

using com::DWORD;
using com::GUID;
using com::HRESULT;
using com::ULONG;

// The network configuration class. A program that names it links the class into its process,
// where CoCreateInstance finds it.
extern const GUID CLSID_CNetCfg;
inline constexpr GUID IID_INetCfg{
    0xC0E8AE93, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
inline constexpr GUID IID_INetCfgLock{
    0xC0E8AE9F, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
inline constexpr GUID IID_INetCfgComponent{
    0xC0E8AE99, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
inline constexpr GUID IID_INetCfgComponentBindings{
    0xC0E8AE9E, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
inline constexpr GUID IID_INetCfgBindingPath{
    0xC0E8AE96, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
inline constexpr GUID IID_INetCfgBindingInterface{
    0xC0E8AE94, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
inline constexpr GUID IID_IEnumNetCfgComponent{
    0xC0E8AE92, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
inline constexpr GUID IID_IEnumNetCfgBindingPath{
    0xC0E8AE91, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
inline constexpr GUID IID_IEnumNetCfgBindingInterface{
    0xC0E8AE90, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
inline constexpr GUID IID_INetCfgComponentControl{
    0x932238DF, 0xBEA1, 0x11D0, {0x92, 0x98, 0x00, 0xC0, 0x4F, 0xC9, 0x9D, 0xCF}};
inline constexpr GUID IID_INetCfgComponentNotifyBinding{
    0x932238E1, 0xBEA1, 0x11D0, {0x92, 0x98, 0x00, 0xC0, 0x4F, 0xC9, 0x9D, 0xCF}};
inline constexpr GUID IID_INetCfgComponentNotifyGlobal{
    0x932238E2, 0xBEA1, 0x11D0, {0x92, 0x98, 0x00, 0xC0, 0x4F, 0xC9, 0x9D, 0xCF}};

inline constexpr GUID GUID_DEVCLASS_NET{
    0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr GUID GUID_DEVCLASS_NETCLIENT{
    0x4D36E973, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr GUID GUID_DEVCLASS_NETSERVICE{
    0x4D36E974, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr GUID GUID_DEVCLASS_NETTRANS{
    0x4D36E975, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// Component characteristics.
inline constexpr DWORD NCF_VIRTUAL = 0x1;
inline constexpr DWORD NCF_SOFTWARE_ENUMERATED = 0x2;
inline constexpr DWORD NCF_PHYSICAL = 0x4;
inline constexpr DWORD NCF_HIDDEN = 0x8;
inline constexpr DWORD NCF_NO_SERVICE = 0x10;
inline constexpr DWORD NCF_NOT_USER_REMOVABLE = 0x20;
inline constexpr DWORD NCF_MULTIPORT_INSTANCED_ADAPTER = 0x40;
inline constexpr DWORD NCF_FILTER = 0x400;

// Notifications a notify object can ask for, and the change flags it is given.
inline constexpr DWORD NCN_ADD = 0x1;
inline constexpr DWORD NCN_REMOVE = 0x2;
inline constexpr DWORD NCN_UPDATE = 0x4;
inline constexpr DWORD NCN_PROPERTYCHANGE = 0x8;
inline constexpr DWORD NCN_ENABLE = 0x10;
inline constexpr DWORD NCN_DISABLE = 0x20;
inline constexpr DWORD NCN_BINDING_PATH = 0x100;
inline constexpr DWORD NCN_PROPERTYCHANGE_PATH = 0x200;
inline constexpr DWORD NCN_NET = 0x10000;
inline constexpr DWORD NCN_NETTRANS = 0x20000;
inline constexpr DWORD NCN_NETCLIENT = 0x40000;
inline constexpr DWORD NCN_NETSERVICE = 0x80000;

// Binding paths of a component: those that run through it from above, or that it owns.
inline constexpr DWORD EBP_ABOVE = 0x1;
inline constexpr DWORD EBP_BELOW = 0x2;

inline constexpr HRESULT NETCFG_E_ALREADY_INITIALIZED = static_cast<HRESULT>(0x8004A020);
inline constexpr HRESULT NETCFG_E_NOT_INITIALIZED = static_cast<HRESULT>(0x8004A021);
inline constexpr HRESULT NETCFG_E_IN_USE = static_cast<HRESULT>(0x8004A022);
inline constexpr HRESULT NETCFG_E_NO_WRITE_LOCK = static_cast<HRESULT>(0x8004A024);
inline constexpr HRESULT NETCFG_S_DISABLE_QUERY = static_cast<HRESULT>(0x0004A022);

struct INetCfgComponent;
struct INetCfgBindingPath;
struct IEnumNetCfgComponent;
struct IEnumNetCfgBindingPath;
struct IEnumNetCfgBindingInterface;
struct INetCfgPnpReconfigCallback;

struct INetCfg : com::IUnknown {
    virtual HRESULT Initialize(void* reserved) = 0;
    virtual HRESULT Uninitialize() = 0;
    virtual HRESULT Apply() = 0;
    virtual HRESULT Cancel() = 0;
    // classGuid null enumerates every class.
    virtual HRESULT EnumComponents(const GUID* classGuid, IEnumNetCfgComponent** components) = 0;
    // S_FALSE when no component has the id.
    virtual HRESULT FindComponent(const char* componentId, INetCfgComponent** component) = 0;

protected:
    ~INetCfg() = default;
};

struct INetCfgLock : com::IUnknown {
    // S_FALSE when another client kept the lock for the whole timeout; lockedBy then names it.
    virtual HRESULT AcquireWriteLock(DWORD timeoutMs, const char* clientDescription, char** lockedBy) = 0;
    virtual HRESULT ReleaseWriteLock() = 0;
    // S_OK with the holder's name when anyone holds the lock, else S_FALSE.
    virtual HRESULT IsWriteLocked(char** lockedBy) = 0;

protected:
    ~INetCfgLock() = default;
};

struct INetCfgComponent : com::IUnknown {
    virtual HRESULT GetDisplayName(char** displayName) = 0;
    virtual HRESULT GetId(char** componentId) = 0;
    virtual HRESULT GetCharacteristics(DWORD* characteristics) = 0;
    virtual HRESULT GetClassGuid(GUID* classGuid) = 0;
    virtual HRESULT GetBindName(char** bindName) = 0;
    virtual HRESULT GetDeviceStatus(ULONG* status) = 0;
    virtual HRESULT OpenParamKey(registry::HKEY* key) = 0;

protected:
    ~INetCfgComponent() = default;
};

struct INetCfgComponentBindings : com::IUnknown {
    virtual HRESULT EnumBindingPaths(DWORD flags, IEnumNetCfgBindingPath** paths) = 0;

protected:
    ~INetCfgComponentBindings() = default;
};

struct INetCfgBindingInterface : com::IUnknown {
    virtual HRESULT GetUpperComponent(INetCfgComponent** component) = 0;
    virtual HRESULT GetLowerComponent(INetCfgComponent** component) = 0;

protected:
    ~INetCfgBindingInterface() = default;
};

struct INetCfgBindingPath : com::IUnknown {
    // S_OK when enabled, S_FALSE when disabled.
    virtual HRESULT IsEnabled() = 0;
    virtual HRESULT Enable(bool enable) = 0;
    virtual HRESULT GetPathToken(char** token) = 0;
    virtual HRESULT GetOwner(INetCfgComponent** owner) = 0;
    virtual HRESULT GetDepth(ULONG* interfaces) = 0;
    virtual HRESULT EnumBindingInterfaces(IEnumNetCfgBindingInterface** interfaces) = 0;

protected:
    ~INetCfgBindingPath() = default;
};

// Next gives S_OK when it fetched all it was asked for, else S_FALSE.
struct IEnumNetCfgComponent : com::IUnknown {
    virtual HRESULT Next(ULONG count, INetCfgComponent** items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;

protected:
    ~IEnumNetCfgComponent() = default;
};

struct IEnumNetCfgBindingPath : com::IUnknown {
    virtual HRESULT Next(ULONG count, INetCfgBindingPath** items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;

protected:
    ~IEnumNetCfgBindingPath() = default;
};

struct IEnumNetCfgBindingInterface : com::IUnknown {
    virtual HRESULT Next(ULONG count, INetCfgBindingInterface** items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;

protected:
    ~IEnumNetCfgBindingInterface() = default;
};

// What a notify object implements.
struct INetCfgComponentControl : com::IUnknown {
    virtual HRESULT Initialize(INetCfgComponent* component, INetCfg* netCfg, bool installing) = 0;
    virtual HRESULT ApplyRegistryChanges() = 0;
    virtual HRESULT ApplyPnpChanges(INetCfgPnpReconfigCallback* callback) = 0;
    virtual HRESULT CancelChanges() = 0;

protected:
    ~INetCfgComponentControl() = default;
};

struct INetCfgComponentNotifyBinding : com::IUnknown {
    // NETCFG_S_DISABLE_QUERY disables the path.
    virtual HRESULT QueryBindingPath(DWORD changeFlag, INetCfgBindingPath* path) = 0;
    virtual HRESULT NotifyBindingPath(DWORD changeFlag, INetCfgBindingPath* path) = 0;

protected:
    ~INetCfgComponentNotifyBinding() = default;
};

struct INetCfgComponentNotifyGlobal : com::IUnknown {
    virtual HRESULT GetSupportedNotifications(DWORD* notifications) = 0;
    virtual HRESULT SysQueryBindingPath(DWORD changeFlag, INetCfgBindingPath* path) = 0;
    virtual HRESULT SysNotifyBindingPath(DWORD changeFlag, INetCfgBindingPath* path) = 0;
    virtual HRESULT SysNotifyComponent(DWORD changeFlag, INetCfgComponent* component) = 0;

protected:
    ~INetCfgComponentNotifyGlobal() = default;
};

}  // namespace netcfg

#define NETCFG_INTERFACE_ID(I)                                            \
    template <>                                                           \
    struct com::InterfaceTraits<netcfg::I> {                              \
        static constexpr const com::IID& id() { return netcfg::IID_##I; } \
    };
NETCFG_INTERFACE_ID(INetCfg)
NETCFG_INTERFACE_ID(INetCfgLock)
NETCFG_INTERFACE_ID(INetCfgComponent)
NETCFG_INTERFACE_ID(INetCfgComponentBindings)
NETCFG_INTERFACE_ID(INetCfgBindingPath)
NETCFG_INTERFACE_ID(INetCfgBindingInterface)
NETCFG_INTERFACE_ID(IEnumNetCfgComponent)
NETCFG_INTERFACE_ID(IEnumNetCfgBindingPath)
NETCFG_INTERFACE_ID(IEnumNetCfgBindingInterface)
NETCFG_INTERFACE_ID(INetCfgComponentControl)
NETCFG_INTERFACE_ID(INetCfgComponentNotifyBinding)
NETCFG_INTERFACE_ID(INetCfgComponentNotifyGlobal)
#undef NETCFG_INTERFACE_ID
