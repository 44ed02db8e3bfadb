#include "platform/netcfg/NetConfiguration.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/registry/RegistryTree.h"

namespace netcfg {

namespace {

using com::S_FALSE;
using com::S_OK;

// Registers the class with COM in every process that names CLSID_CNetCfg.
struct ClassRegistration {
    ClassRegistration() {
        com::IUnknown* factory = nullptr;
        if (com::SUCCEEDED(com::ClassObject<NetConfigurationImpl>::Create(
                com::IID_IUnknown, reinterpret_cast<void**>(&factory)))) {
            com::CoRegisterClassObject(CLSID_CNetCfg, factory, &cookie);
            factory->Release();
        }
    }
    ~ClassRegistration() {
        if (cookie) com::CoRevokeClassObject(cookie);
    }
    com::DWORD cookie = 0;
};
const ClassRegistration registration;

HRESULT fromErrno(int error) {
    return com::HRESULT_FROM_WIN32((error == EACCES || error == EPERM || error == EROFS)
                                       ? base::win32::ERROR_ACCESS_DENIED
                                       : base::win32::ERROR_CANTWRITE);
}

}  // namespace

const GUID CLSID_CNetCfg{0x5B035261, 0x40F9, 0x11D1, {0xAA, 0xEC, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};

NetConfigurationImpl::NetConfigurationImpl() : model_(std::make_shared<NetCfgModel>()) {}

NetConfigurationImpl::~NetConfigurationImpl() {
    ReleaseNotifyObjects(*model_);
    ReleaseWriteLock();
}

HRESULT NetConfigurationImpl::Initialize(void*) {
    if (model_->initialized) return NETCFG_E_ALREADY_INITIALIZED;
    NetworkState state;
    long status = NetworkStateFile::read(state);
    if (status != base::win32::ERROR_SUCCESS) return com::HRESULT_FROM_WIN32(status);
    // Objects handed out before stay with the configuration they were made from.
    bool writeLocked = model_->writeLocked;
    model_ = std::make_shared<NetCfgModel>();
    model_->state = state;
    model_->loaded = std::move(state);
    model_->writeLocked = writeLocked;
    model_->initialized = true;
    LoadNotifyObjects(model_, this);
    return S_OK;
}

HRESULT NetConfigurationImpl::Uninitialize() {
    if (!model_->initialized) return NETCFG_E_NOT_INITIALIZED;
    model_->initialized = false;
    // The notify objects hold this configuration: they go here, as the system lets them go.
    ReleaseNotifyObjects(*model_);
    return S_OK;
}

HRESULT NetConfigurationImpl::Apply() {
    if (!model_->initialized) return NETCFG_E_NOT_INITIALIZED;
    if (!model_->writeLocked) return NETCFG_E_NO_WRITE_LOCK;
    const auto& bindings = model_->state.bindings;
    long status = NetworkStateFile::update([&](NetworkState& current, bool& changed) -> long {
        for (auto& binding : current.bindings) {
            for (const auto& mine : bindings) {
                if (mine.token() == binding.token() && mine.enabled != binding.enabled) {
                    binding.enabled = mine.enabled;
                    changed = true;
                }
            }
        }
        return base::win32::ERROR_SUCCESS;
    });
    if (status != base::win32::ERROR_SUCCESS) return com::HRESULT_FROM_WIN32(status);
    model_->loaded.bindings = bindings;
    return S_OK;
}

HRESULT NetConfigurationImpl::Cancel() {
    if (!model_->initialized) return NETCFG_E_NOT_INITIALIZED;
    model_->state.bindings = model_->loaded.bindings;
    return S_OK;
}

HRESULT NetConfigurationImpl::EnumComponents(const GUID* classGuid, IEnumNetCfgComponent** components) {
    if (!components) return com::E_POINTER;
    *components = nullptr;
    if (!model_->initialized) return NETCFG_E_NOT_INITIALIZED;
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < model_->state.components.size(); ++i)
        if (!classGuid || model_->state.components[i].classGuid() == *classGuid) chosen.push_back(i);
    return CreateEnumerator<IEnumNetCfgComponent, INetCfgComponent>(
        chosen.size(),
        [&](std::size_t i, INetCfgComponent** item) { return CreateComponent(model_, chosen[i], item); },
        components);
}

HRESULT NetConfigurationImpl::FindComponent(const char* componentId, INetCfgComponent** component) {
    if (!componentId || !component) return com::E_POINTER;
    *component = nullptr;
    if (!model_->initialized) return NETCFG_E_NOT_INITIALIZED;
    const auto& all = model_->state.components;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].id && registry::equalsNoCase(*all[i].id, componentId))
            return CreateComponent(model_, i, component);
    return S_FALSE;
}

std::string NetConfigurationImpl::lockFilePath() {
    return NetworkStateFile::path() + ".writelock";
}

HRESULT NetConfigurationImpl::holderOf(int fd, char** lockedBy) {
    if (!lockedBy) return S_OK;
    char buf[256];
    ssize_t n = ::pread(fd, buf, sizeof buf, 0);
    *lockedBy = com::CoTaskMemStrDup(std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0));
    return *lockedBy ? S_OK : com::E_OUTOFMEMORY;
}

HRESULT NetConfigurationImpl::AcquireWriteLock(DWORD timeoutMs, const char* clientDescription,
                                               char** lockedBy) {
    if (lockedBy) *lockedBy = nullptr;
    if (model_->initialized) return NETCFG_E_ALREADY_INITIALIZED;
    if (lockFd_ >= 0) return S_OK;
    std::string path = lockFilePath();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return fromErrno(errno);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // flock has no timed wait; a holder normally keeps the lock for moments only.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            int error = errno;
            HRESULT hr = error == EWOULDBLOCK ? S_FALSE : fromErrno(error);
            if (hr == S_FALSE && com::FAILED(holderOf(fd, lockedBy))) hr = com::E_OUTOFMEMORY;
            ::close(fd);
            return hr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    description_ = clientDescription ? clientDescription : "";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, description_.data(), description_.size(), 0) < 0) {
        int error = errno;
        ::close(fd);
        return fromErrno(error);
    }
    lockFd_ = fd;
    model_->writeLocked = true;
    return S_OK;
}

HRESULT NetConfigurationImpl::ReleaseWriteLock() {
    if (lockFd_ < 0) return S_OK;
    // A stale holder's name is harmless: the lock itself goes with the descriptor.
    [[maybe_unused]] int ignored = ::ftruncate(lockFd_, 0);
    ::close(lockFd_);
    lockFd_ = -1;
    model_->writeLocked = false;
    return S_OK;
}

HRESULT NetConfigurationImpl::IsWriteLocked(char** lockedBy) {
    if (lockedBy) *lockedBy = nullptr;
    if (lockFd_ >= 0) {
        if (!lockedBy) return S_OK;
        *lockedBy = com::CoTaskMemStrDup(description_);
        return *lockedBy ? S_OK : com::E_OUTOFMEMORY;
    }
    int fd = ::open(lockFilePath().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? S_FALSE : fromErrno(errno);
    HRESULT hr;
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        hr = S_FALSE;
    } else {
        hr = errno == EWOULDBLOCK ? holderOf(fd, lockedBy) : fromErrno(errno);
    }
    ::close(fd);
    return hr;
}

long RequeryBindingsOver(const std::string& bindName) {
    INetCfg* netCfg = nullptr;
    HRESULT hr = com::CreateComObject<NetConfigurationImpl>(&netCfg);
    if (com::FAILED(hr)) return hr;
    auto* configuration = static_cast<NetConfigurationImpl*>(netCfg);
    hr = configuration->AcquireWriteLock(REQUERY_LOCK_TIMEOUT_MS, "device restart", nullptr);
    if (hr == S_OK) hr = configuration->Initialize(nullptr);
    if (hr == S_OK) {
        NetCfgModelPtr model = configuration->model();
        bool changed = false;
        for (std::size_t i = 0; i < model->state.bindings.size(); ++i) {
            const auto& path = model->state.bindings[i].path;
            if (std::find(path.begin() + 1, path.end(), bindName) == path.end()) continue;
            if (QueryBindingPath(model, i, NCN_ADD | NCN_BINDING_PATH) == NETCFG_S_DISABLE_QUERY &&
                model->state.bindings[i].enabled) {
                model->state.bindings[i].enabled = false;
                changed = true;
            }
        }
        if (changed) hr = configuration->Apply();
        configuration->Uninitialize();
    }
    configuration->ReleaseWriteLock();
    netCfg->Release();
    return hr;
}

}  // namespace netcfg
