#pragma once

#include <string>

#include "platform/netcfg/NetCfgModel.h"

namespace netcfg {

// The network configuration object (CLSID_CNetCfg) over the state file. The write lock is an
// advisory lock on "<state file>.writelock", which holds the holder's description, so it is
// shared with every other process and with other configuration objects of this one.
class NetConfigurationImpl : public com::ComObjectRoot, public INetCfg, public INetCfgLock {
public:
    using Interfaces = com::InterfaceList<INetCfg, INetCfgLock>;

    NetConfigurationImpl();
    ~NetConfigurationImpl();

    HRESULT Initialize(void* reserved) override;
    HRESULT Uninitialize() override;
    // Writes the enabled flags of the binding paths; needs the write lock.
    HRESULT Apply() override;
    HRESULT Cancel() override;
    HRESULT EnumComponents(const GUID* classGuid, IEnumNetCfgComponent** components) override;
    HRESULT FindComponent(const char* componentId, INetCfgComponent** component) override;

    // Only before Initialize, as the configuration is read with the lock already held.
    HRESULT AcquireWriteLock(DWORD timeoutMs, const char* clientDescription, char** lockedBy) override;
    HRESULT ReleaseWriteLock() override;
    HRESULT IsWriteLocked(char** lockedBy) override;

    const NetCfgModelPtr& model() const { return model_; }

private:
    static std::string lockFilePath();
    static HRESULT holderOf(int fd, char** lockedBy);

    NetCfgModelPtr model_;
    int lockFd_ = -1;
    std::string description_;
};

// A device that was restarted has its bindings added again: the notify objects are asked about
// every binding path through it, and the paths one vetoes are disabled. Needs COM on the calling
// thread to load them; an HRESULT.
inline constexpr DWORD REQUERY_LOCK_TIMEOUT_MS = 5000;
long RequeryBindingsOver(const std::string& bindName);

}  // namespace netcfg
