#pragma once
// One adapter's symbolic name and whether the engine controls it: taking control creates and
// attaches the adapter's port manager, ending it releases the manager. It also switches the
// operating system's own wireless configuration off and on for the adapter (through the binding of
// the "ms_ndisuio" protocol over it) and asks TCP/IP to reconfigure itself on the adapter.
#include <cstdint>
#include <vector>

#include "vel/adapter/VelAdapter.h"
#include "vel/port/PortManagerProxy.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class PortNameManagerImpl : public ReferenceImpl {
public:
    static constexpr const char* WZC_PROTOCOL = "ms_ndisuio";
    static constexpr const char* LOCK_CLIENT = "VarnelTamsel";
    static constexpr std::uint32_t LOCK_TIMEOUT_MS = 5000;
    static constexpr int RECONFIGURE_RECORD_BYTES = 165;
    static constexpr int GUID_CHARACTERS = 38;

    explicit PortNameManagerImpl(const Ascii& symbolicName) : m_name(symbolicName) {}

    // Creates the adapter's port manager into the holder and attaches it.
    void control(PortManagerProxy& portManager, const VelAdapter& adapter);
    // Clears the manager's references (timers, scan list, detach); reactivate 1 hands the adapter
    // back to the operating system's wireless configuration.
    void release(PortManagerProxy& portManager, std::int32_t reactivate);
    virtual void enableWzc();
    virtual void disableWzc();
    bool managed() const { return m_managed; }

    // 0 on success, -5 without the out-pointer, 1 or -1 on other failures; enabled is false first.
    static std::int32_t wzcIsEnabled(const Ascii& symbolicName, bool* enabled);
    // 0 on success, 1 or -1 on failure.
    static std::int32_t wzcEnable(const Ascii& symbolicName, bool enable);
    // Asks TCP/IP to reconfigure itself on the adapter (only on the systems that need it).
    static void reconfigureTcpIp(const Ascii& symbolicName);
    // The NDIS request of that reconfiguration for an adapter's 38-character GUID in braces.
    static std::vector<std::uint8_t> reconfigureRecord(const char* guid);
    // Forgets the system version read once, for tests that change it.
    static void forgetSystemVersion();

private:
    Ascii m_name;
    bool m_managed = false;
};

class PortNameManager : public Reference {
public:
    static PortNameManager create(const Ascii& symbolicName);
    PortNameManager() = default;

    void control(PortManagerProxy& portManager, const VelAdapter& adapter) const {
        impl()->control(portManager, adapter);
    }
    void release(PortManagerProxy& portManager, std::int32_t reactivate) const {
        impl()->release(portManager, reactivate);
    }
    PortNameManagerImpl* impl() const {
        return static_cast<PortNameManagerImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
