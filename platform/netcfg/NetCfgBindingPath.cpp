#include "platform/netcfg/NetCfgBindingPath.h"

#include "platform/netcfg/NetCfgComponent.h"

namespace netcfg {

HRESULT NetCfgBindingPathImpl::IsEnabled() {
    return record().enabled ? com::S_OK : com::S_FALSE;
}

HRESULT NetCfgBindingPathImpl::Enable(bool enable) {
    if (!model_->writeLocked) return NETCFG_E_NO_WRITE_LOCK;
    // The owner's notify object may keep the path disabled.
    if (enable && !record().enabled) {
        HRESULT hr = QueryBindingPath(model_, index_, NCN_ENABLE | NCN_BINDING_PATH);
        if (hr == NETCFG_S_DISABLE_QUERY) return hr;
    }
    record().enabled = enable;
    return com::S_OK;
}

HRESULT NetCfgBindingPathImpl::GetPathToken(char** token) {
    if (!token) return com::E_POINTER;
    *token = com::CoTaskMemStrDup(record().token());
    return *token ? com::S_OK : com::E_OUTOFMEMORY;
}

HRESULT NetCfgBindingPathImpl::GetOwner(INetCfgComponent** owner) {
    if (!owner) return com::E_POINTER;
    return CreateComponentByBindName(model_, record().path.front(), owner);
}

HRESULT NetCfgBindingPathImpl::GetDepth(ULONG* interfaces) {
    if (!interfaces) return com::E_POINTER;
    *interfaces = static_cast<ULONG>(record().path.size() - 1);
    return com::S_OK;
}

HRESULT NetCfgBindingPathImpl::EnumBindingInterfaces(IEnumNetCfgBindingInterface** interfaces) {
    const std::vector<std::string> path = record().path;
    return CreateEnumerator<IEnumNetCfgBindingInterface, INetCfgBindingInterface>(
        path.size() - 1,
        [&](std::size_t i, INetCfgBindingInterface** item) {
            return com::CreateComObject<NetCfgBindingInterfaceImpl>(item, model_, path[i], path[i + 1]);
        },
        interfaces);
}

HRESULT NetCfgBindingInterfaceImpl::GetUpperComponent(INetCfgComponent** component) {
    if (!component) return com::E_POINTER;
    return CreateComponentByBindName(model_, upper_, component);
}

HRESULT NetCfgBindingInterfaceImpl::GetLowerComponent(INetCfgComponent** component) {
    if (!component) return com::E_POINTER;
    return CreateComponentByBindName(model_, lower_, component);
}

HRESULT CreateBindingPath(const NetCfgModelPtr& model, std::size_t index, INetCfgBindingPath** path) {
    return com::CreateComObject<NetCfgBindingPathImpl>(path, model, index);
}

}  // namespace netcfg
