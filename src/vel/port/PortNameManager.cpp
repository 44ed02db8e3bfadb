#include "vel/port/PortNameManager.h"

#include <atomic>
#include <cstring>
#include <string>

#include "platform/com/Com.h"
#include "platform/netcfg/NetCfg.h"
#include "platform/win/WinFile.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/port/PortManager.h"

namespace {

using com::S_OK;

// 0 not read yet, 1 a system that needs the reconfiguration, 2 one that does not.
std::atomic<int> VersionState{0};

void put16(std::vector<std::uint8_t>& record, size_t at, std::uint16_t value) {
    record[at] = static_cast<std::uint8_t>(value);
    record[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& record, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        record[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// UTF-16 of an ASCII text into the record.
void putWide(std::vector<std::uint8_t>& record, size_t at, const char* text) {
    for (size_t i = 0; text[i] != 0; ++i) put16(record, at + 2 * i, static_cast<std::uint8_t>(text[i]));
}

// The network configuration opened for one operation, with or without the write lock, and closed
// again when it goes: the lock never outlives the operation.
class NetworkConfiguration {
public:
    explicit NetworkConfiguration(bool writeLock) {
        com::HRESULT hr =
            com::CoInitializeEx(nullptr, com::COINIT_APARTMENTTHREADED | com::COINIT_DISABLE_OLE1DDE);
        if (com::FAILED(hr) && hr != com::RPC_E_CHANGED_MODE) return;
        m_comInitialized = com::SUCCEEDED(hr);
        if (com::FAILED(com::CoCreateInstance(netcfg::CLSID_CNetCfg, nullptr, com::CLSCTX_INPROC_SERVER,
                                              netcfg::IID_INetCfg, reinterpret_cast<void**>(&m_netCfg)))) {
            m_netCfg = nullptr;
            uninitialize();
            return;
        }
        if (writeLock && !acquireLock()) {
            releaseObject();
            return;
        }
        if (com::FAILED(m_netCfg->Initialize(nullptr))) {
            if (m_lock != nullptr) m_lock->ReleaseWriteLock();
            releaseObject();
            return;
        }
        m_open = true;
    }
    ~NetworkConfiguration() { close(); }

    bool open() const { return m_open; }
    netcfg::INetCfg* netCfg() const { return m_netCfg; }

    // -1 when the configuration could not be put away, else 0.
    std::int32_t close() {
        if (!m_open) return 0;
        m_open = false;
        netcfg::INetCfgLock* lock = m_lock;
        if (lock == nullptr)
            m_netCfg->QueryInterface(netcfg::IID_INetCfgLock, reinterpret_cast<void**>(&lock));
        char* holder = nullptr;
        if (lock != nullptr) lock->IsWriteLocked(&holder);
        com::HRESULT uninitialized = m_netCfg->Uninitialize();
        // Only a lock this program took is given back.
        if (lock != nullptr && holder != nullptr &&
            std::strcmp(holder, PortNameManagerImpl::LOCK_CLIENT) == 0)
            lock->ReleaseWriteLock();
        com::CoTaskMemFree(holder);
        if (lock != nullptr && lock != m_lock) lock->Release();
        releaseObject();
        return com::FAILED(uninitialized) ? -1 : 0;
    }

private:
    bool acquireLock() {
        if (com::FAILED(
                m_netCfg->QueryInterface(netcfg::IID_INetCfgLock, reinterpret_cast<void**>(&m_lock)))) {
            m_lock = nullptr;
            return false;
        }
        char* holder = nullptr;
        com::HRESULT hr = m_lock->AcquireWriteLock(PortNameManagerImpl::LOCK_TIMEOUT_MS,
                                                   PortNameManagerImpl::LOCK_CLIENT, &holder);
        com::CoTaskMemFree(holder);
        if (hr == S_OK) return true;
        m_lock->Release();
        m_lock = nullptr;
        return false;
    }
    void releaseObject() {
        if (m_lock != nullptr) m_lock->Release();
        m_lock = nullptr;
        if (m_netCfg != nullptr) m_netCfg->Release();
        m_netCfg = nullptr;
        uninitialize();
    }
    void uninitialize() {
        if (m_comInitialized) com::CoUninitialize();
        m_comInitialized = false;
    }

    netcfg::INetCfg* m_netCfg = nullptr;
    netcfg::INetCfgLock* m_lock = nullptr;
    bool m_comInitialized = false;
    bool m_open = false;
};

// True when one of the path's binding interfaces has the adapter as its lower component.
bool pathOfAdapter(netcfg::INetCfgBindingPath* path, const char* symbolicName) {
    netcfg::IEnumNetCfgBindingInterface* interfaces = nullptr;
    if (com::FAILED(path->EnumBindingInterfaces(&interfaces))) return false;
    bool found = false;
    netcfg::INetCfgBindingInterface* bindingInterface = nullptr;
    com::ULONG fetched = 0;
    while (!found && interfaces->Next(1, &bindingInterface, &fetched) == S_OK) {
        netcfg::INetCfgComponent* lower = nullptr;
        if (com::SUCCEEDED(bindingInterface->GetLowerComponent(&lower))) {
            char* bindName = nullptr;
            if (com::SUCCEEDED(lower->GetBindName(&bindName)))
                found = std::strcmp(bindName, symbolicName) == 0;
            com::CoTaskMemFree(bindName);
            lower->Release();
        }
        bindingInterface->Release();
    }
    interfaces->Release();
    return found;
}

// The first binding path of the wireless-configuration protocol over the adapter; null when none.
netcfg::INetCfgBindingPath* findPath(netcfg::INetCfg* netCfg, const char* symbolicName) {
    netcfg::INetCfgComponent* protocol = nullptr;
    if (netCfg->FindComponent(PortNameManagerImpl::WZC_PROTOCOL, &protocol) != S_OK) return nullptr;
    netcfg::INetCfgComponentBindings* bindings = nullptr;
    netcfg::IEnumNetCfgBindingPath* paths = nullptr;
    netcfg::INetCfgBindingPath* match = nullptr;
    if (com::SUCCEEDED(protocol->QueryInterface(netcfg::IID_INetCfgComponentBindings,
                                                reinterpret_cast<void**>(&bindings))) &&
        com::SUCCEEDED(bindings->EnumBindingPaths(netcfg::EBP_BELOW, &paths))) {
        paths->Reset();
        netcfg::INetCfgBindingPath* path = nullptr;
        com::ULONG fetched = 0;
        while (match == nullptr && paths->Next(1, &path, &fetched) == S_OK) {
            if (pathOfAdapter(path, symbolicName)) {
                match = path;
            } else {
                path->Release();
            }
        }
    }
    if (paths != nullptr) paths->Release();
    if (bindings != nullptr) bindings->Release();
    protocol->Release();
    return match;
}

}  // namespace

PortNameManager PortNameManager::create(const Ascii& symbolicName) {
    PortNameManager manager;
    manager.m = static_cast<ReferenceImpl*>(new PortNameManagerImpl(symbolicName));
    return manager;
}

void PortNameManagerImpl::control(PortManagerProxy& portManager, const VelAdapter& adapter) {
    LUM_ASSERT_TEXT(!m_managed, "! m_managed");
    auto* impl = new PortManagerImpl(adapter);
    portManager = PortManagerProxy(impl);
    impl->release();
    impl->setPortManager();
    impl->attach(m_name.text());
    m_managed = true;
    logInfo(1300, "Adapter controlled: %s", m_name.text());
}

void PortNameManagerImpl::release(PortManagerProxy& portManager, std::int32_t reactivate) {
    LUM_ASSERT_TEXT(m_managed, "m_managed");
    if (portManager.exists()) portManager.clearReferences();
    logInfo(1301, "Adapter control released: %s", m_name.text());
    if (reactivate == 1) enableWzc();
    m_managed = false;
}

void PortNameManagerImpl::enableWzc() {
    bool enabled = true;
    if (wzcIsEnabled(m_name, &enabled) != 0) logError(1302, "wzcIsEnabled failed");
    if (enabled) return;
    // Only a switch that happened is reported as done.
    if (wzcEnable(m_name, true) != 0) {
        logError(1303, "wzcEnable failed");
        return;
    }
    logInfo(1304, "%s: Wireless Zero Config reactivated for adapter", m_name.text());
}

void PortNameManagerImpl::disableWzc() {
    bool enabled = false;
    if (wzcIsEnabled(m_name, &enabled) != 0) logError(1305, "wzcIsEnabled failed");
    if (!enabled) return;
    if (wzcEnable(m_name, false) != 0) {
        logError(1306, "wzcEnable failed");
        return;
    }
    logInfo(1307, "Wireless Zero Config deactivated: %s", m_name.text());
}

std::int32_t PortNameManagerImpl::wzcIsEnabled(const Ascii& symbolicName, bool* enabled) {
    if (enabled == nullptr) return -5;
    *enabled = false;
    NetworkConfiguration configuration(false);
    if (!configuration.open()) return -1;
    netcfg::INetCfgBindingPath* path = findPath(configuration.netCfg(), symbolicName.text());
    if (path == nullptr) return 1;
    *enabled = path->IsEnabled() == S_OK;
    path->Release();
    return configuration.close();
}

std::int32_t PortNameManagerImpl::wzcEnable(const Ascii& symbolicName, bool enable) {
    NetworkConfiguration configuration(true);
    if (!configuration.open()) return -1;
    netcfg::INetCfgBindingPath* path = findPath(configuration.netCfg(), symbolicName.text());
    if (path == nullptr) return 1;
    bool changed = com::SUCCEEDED(path->Enable(enable)) && com::SUCCEEDED(configuration.netCfg()->Apply());
    path->Release();
    std::int32_t closed = configuration.close();
    return changed ? closed : 1;
}

std::vector<std::uint8_t> PortNameManagerImpl::reconfigureRecord(const char* guid) {
    std::vector<std::uint8_t> record(RECONFIGURE_RECORD_BYTES, 0);
    put32(record, 0, 1);    // NDIS
    put32(record, 4, 3);    // reconfigure
    put32(record, 8, 148);  // reconfiguration buffer
    put32(record, 12, 16);
    put16(record, 16, 92);  // lower component
    put16(record, 18, 94);
    put32(record, 20, 40);
    put16(record, 24, 10);  // upper component
    put16(record, 26, 12);
    put32(record, 28, 134);
    put16(record, 32, 0);  // bind list
    put16(record, 34, 2);
    put32(record, 36, 146);
    putWide(record, 40, "\\DEVICE\\");
    putWide(record, 56, guid);
    putWide(record, 134, "Tcpip");
    static const std::uint8_t TCPIP_DATA[17] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0C, 0, 0, 0, 1, 0, 0};
    std::memcpy(record.data() + 148, TCPIP_DATA, sizeof TCPIP_DATA);
    return record;
}

void PortNameManagerImpl::forgetSystemVersion() {
    VersionState = 0;
}

void PortNameManagerImpl::reconfigureTcpIp(const Ascii& symbolicName) {
    if (VersionState == 0) {
        winfile::OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof version;
        bool needed =
            winfile::GetVersionExW(&version) && version.dwMajorVersion == 5 && version.dwMinorVersion != 0;
        VersionState = needed ? 1 : 2;
    }
    if (VersionState != 1) return;
    winfile::HANDLE device = winfile::CreateFileW(
        u"\\\\.\\NDIS", winfile::GENERIC_READ | winfile::GENERIC_WRITE,
        winfile::FILE_SHARE_READ | winfile::FILE_SHARE_WRITE, nullptr, winfile::OPEN_EXISTING, 0, nullptr);
    if (device == winfile::INVALID_HANDLE_VALUE) {
        logError(1310, "Error %d opening device \"\\\\.\\NDIS\"",
                 static_cast<int>(base::win32::GetLastError()));
        return;
    }
    const char* name = symbolicName.text();
    const char* brace = std::strchr(name, '{');
    if (brace == nullptr || std::strlen(brace) != GUID_CHARACTERS) {
        logError(1311, "%s: invalid adaprer class ID", name);
        winfile::CloseHandle(device);
        return;
    }
    std::vector<std::uint8_t> record = reconfigureRecord(brace);
    winfile::DWORD returned = 0;
    if (!winfile::DeviceIoControl(device, winfile::IOCTL_NDIS_DO_PNP_OPERATION, record.data(),
                                  static_cast<winfile::DWORD>(record.size()), nullptr, 0, &returned, nullptr))
        logError(1312, "%s: IOCTL_NDIS_DO_PNP_OPERATION failed, error %d", name,
                 static_cast<int>(base::win32::GetLastError()));
    winfile::CloseHandle(device);
}
