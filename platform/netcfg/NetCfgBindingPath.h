#pragma once

#include "platform/netcfg/NetCfgModel.h"

namespace netcfg {

class NetCfgBindingPathImpl : public com::ComObjectRoot, public INetCfgBindingPath {
public:
    using Interfaces = com::InterfaceList<INetCfgBindingPath>;

    NetCfgBindingPathImpl(NetCfgModelPtr model, std::size_t index)
        : model_(std::move(model)), index_(index) {}

    HRESULT IsEnabled() override;
    // Needs the write lock; the change is kept until Apply writes it or Cancel drops it. A path the
    // owner's notify object vetoes stays disabled (NETCFG_S_DISABLE_QUERY).
    HRESULT Enable(bool enable) override;
    HRESULT GetPathToken(char** token) override;
    HRESULT GetOwner(INetCfgComponent** owner) override;
    HRESULT GetDepth(ULONG* interfaces) override;
    HRESULT EnumBindingInterfaces(IEnumNetCfgBindingInterface** interfaces) override;

private:
    BindingRecord& record() const { return model_->state.bindings[index_]; }

    NetCfgModelPtr model_;
    std::size_t index_;
};

// The link between two neighbours of a binding path.
class NetCfgBindingInterfaceImpl : public com::ComObjectRoot, public INetCfgBindingInterface {
public:
    using Interfaces = com::InterfaceList<INetCfgBindingInterface>;

    NetCfgBindingInterfaceImpl(NetCfgModelPtr model, std::string upper, std::string lower)
        : model_(std::move(model)), upper_(std::move(upper)), lower_(std::move(lower)) {}

    HRESULT GetUpperComponent(INetCfgComponent** component) override;
    HRESULT GetLowerComponent(INetCfgComponent** component) override;

private:
    NetCfgModelPtr model_;
    std::string upper_;
    std::string lower_;
};

}  // namespace netcfg
