#include "bindctl/BindCtl.h"

#include "bindctl/BindCtlModule.h"
#include "platform/registry/Registry.h"

namespace bindctl {

using com::DWORD;
using com::HRESULT;
using com::S_OK;

CBindCtl::CBindCtl() : flags_(readFlags()) {}

CBindCtl::~CBindCtl() {
    if (component_) component_->Release();
    if (netCfg_) netCfg_->Release();
}

DWORD CBindCtl::readFlags() {
    using namespace registry;
    DWORD flags = 0;
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, BindCtlConstants::FLAGS_KEY, 0, KEY_READ, &key) ==
        base::win32::ERROR_SUCCESS) {
        std::uint32_t type = 0, size = sizeof(DWORD);
        DWORD value = 0;
        if (RegQueryValueEx(key, BindCtlConstants::FLAGS_VALUE, &type,
                            reinterpret_cast<std::uint8_t*>(&value), &size) == base::win32::ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof(DWORD))
            flags = value;
        RegCloseKey(key);
    }
    return flags;
}

HRESULT CBindCtl::UpdateRegistry(bool doRegister) {
    return Module().UpdateRegistryFromResource(BindCtlConstants::IDR_BINDCTL, doRegister);
}

HRESULT CBindCtl::Initialize(netcfg::INetCfgComponent* component, netcfg::INetCfg* netCfg, bool) {
    // A second initialisation replaces what the first one kept instead of leaking it.
    if (component) component->AddRef();
    if (netCfg) netCfg->AddRef();
    if (component_) component_->Release();
    if (netCfg_) netCfg_->Release();
    component_ = component;
    netCfg_ = netCfg;
    return S_OK;
}

HRESULT CBindCtl::ApplyRegistryChanges() {
    return S_OK;
}
HRESULT CBindCtl::ApplyPnpChanges(netcfg::INetCfgPnpReconfigCallback*) {
    return S_OK;
}
HRESULT CBindCtl::CancelChanges() {
    return S_OK;
}

HRESULT CBindCtl::QueryBindingPath(DWORD, netcfg::INetCfgBindingPath* path) {
    if (flags_ & BindCtlConstants::FLAG_ALLOW_VIRTUAL) return S_OK;
    if (!path) return S_OK;

    netcfg::IEnumNetCfgBindingInterface* interfaces = nullptr;
    HRESULT hr = path->EnumBindingInterfaces(&interfaces);
    if (com::FAILED(hr)) return hr;
    interfaces->Reset();
    netcfg::INetCfgBindingInterface* bindingInterface = nullptr;
    com::ULONG fetched = 0;
    while ((hr = interfaces->Next(1, &bindingInterface, &fetched)) == S_OK) {
        netcfg::INetCfgComponent* lower = nullptr;
        if (com::SUCCEEDED(bindingInterface->GetLowerComponent(&lower))) {
            DWORD characteristics = 0;
            bool isVirtual = com::SUCCEEDED(lower->GetCharacteristics(&characteristics)) &&
                             (characteristics & netcfg::NCF_VIRTUAL);
            lower->Release();
            if (isVirtual) {
                bindingInterface->Release();
                interfaces->Release();
                return netcfg::NETCFG_S_DISABLE_QUERY;
            }
        }
        bindingInterface->Release();
    }
    interfaces->Release();
    return hr;
}

HRESULT CBindCtl::NotifyBindingPath(DWORD, netcfg::INetCfgBindingPath*) {
    return S_OK;
}

HRESULT CBindCtl::GetSupportedNotifications(DWORD* notifications) {
    if (!notifications) return com::E_POINTER;
    *notifications = BindCtlConstants::SUPPORTED_NOTIFICATIONS;
    return S_OK;
}

HRESULT CBindCtl::SysQueryBindingPath(DWORD, netcfg::INetCfgBindingPath*) {
    return S_OK;
}
HRESULT CBindCtl::SysNotifyBindingPath(DWORD, netcfg::INetCfgBindingPath*) {
    return S_OK;
}
HRESULT CBindCtl::SysNotifyComponent(DWORD, netcfg::INetCfgComponent*) {
    return S_OK;
}

}  // namespace bindctl
