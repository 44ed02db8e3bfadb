#pragma once

#include "platform/netcfg/NetCfgModel.h"

namespace netcfg {

class NetCfgComponentImpl : public com::ComObjectRoot,
                            public INetCfgComponent,
                            public INetCfgComponentBindings {
public:
    using Interfaces = com::InterfaceList<INetCfgComponent, INetCfgComponentBindings>;

    NetCfgComponentImpl(NetCfgModelPtr model, std::size_t index) : model_(std::move(model)), index_(index) {}

    HRESULT GetDisplayName(char** displayName) override;
    HRESULT GetId(char** componentId) override;
    HRESULT GetCharacteristics(DWORD* characteristics) override;
    HRESULT GetClassGuid(GUID* classGuid) override;
    HRESULT GetBindName(char** bindName) override;
    HRESULT GetDeviceStatus(ULONG* status) override;
    // The key named in the state, else Control\Class\{class}\<bind name> below SYSTEM\CurrentControlSet.
    HRESULT OpenParamKey(registry::HKEY* key) override;

    HRESULT EnumBindingPaths(DWORD flags, IEnumNetCfgBindingPath** paths) override;

private:
    const ComponentRecord& record() const { return model_->state.components[index_]; }

    NetCfgModelPtr model_;
    std::size_t index_;
};

}  // namespace netcfg
