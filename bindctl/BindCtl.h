#pragma once

#include "bindctl/BindCtlConstants.h"
#include "platform/com/ComObject.h"
#include "platform/netcfg/NetCfg.h"

namespace bindctl {

// The notify object: refuses every binding path of its component that runs over a virtual
// adapter, unless "BindCtlFlags" (read when the object is made) allows them; accepts everything
// else it is told.
class CBindCtl : public com::ComObjectRoot,
                 public netcfg::INetCfgComponentControl,
                 public netcfg::INetCfgComponentNotifyBinding,
                 public netcfg::INetCfgComponentNotifyGlobal {
public:
    using Interfaces =
        com::InterfaceList<netcfg::INetCfgComponentControl, netcfg::INetCfgComponentNotifyBinding,
                           netcfg::INetCfgComponentNotifyGlobal>;

    CBindCtl();
    ~CBindCtl();
    CBindCtl(const CBindCtl&) = delete;
    CBindCtl& operator=(const CBindCtl&) = delete;

    // Runs the class's registry script.
    static com::HRESULT UpdateRegistry(bool doRegister);

    com::HRESULT Initialize(netcfg::INetCfgComponent* component, netcfg::INetCfg* netCfg,
                            bool installing) override;
    com::HRESULT ApplyRegistryChanges() override;
    com::HRESULT ApplyPnpChanges(netcfg::INetCfgPnpReconfigCallback* callback) override;
    com::HRESULT CancelChanges() override;

    com::HRESULT QueryBindingPath(com::DWORD changeFlag, netcfg::INetCfgBindingPath* path) override;
    com::HRESULT NotifyBindingPath(com::DWORD changeFlag, netcfg::INetCfgBindingPath* path) override;

    com::HRESULT GetSupportedNotifications(com::DWORD* notifications) override;
    com::HRESULT SysQueryBindingPath(com::DWORD changeFlag, netcfg::INetCfgBindingPath* path) override;
    com::HRESULT SysNotifyBindingPath(com::DWORD changeFlag, netcfg::INetCfgBindingPath* path) override;
    com::HRESULT SysNotifyComponent(com::DWORD changeFlag, netcfg::INetCfgComponent* component) override;

private:
    static com::DWORD readFlags();

    netcfg::INetCfgComponent* component_ = nullptr;
    netcfg::INetCfg* netCfg_ = nullptr;
    com::DWORD flags_;
};

}  // namespace bindctl
