#pragma once
// The holder through which the adapter, the port and the credential requests reach a port manager.
// It adds nothing to the operations it forwards.
#include <cstdint>

#include "platform/qxauth/qxAuth.h"
#include "vel/reference/Reference.h"

class PortManagerImpl;
class VelAdapter;

class PortManagerProxy {
public:
    PortManagerProxy() = default;
    // Adds a reference (p may be null: an empty holder).
    explicit PortManagerProxy(PortManagerImpl* p);

    // Tests for the manager and, either way, makes the holder usable.
    bool exists();
    bool empty() const { return m.isNull(); }
    // The manager; asserts that the holder holds one ("m").
    PortManagerImpl* get() const;
    // Lets the manager go.
    void clear() { m.reset(); }

    // Each is one call of the manager's operation of that name.
    void attach(const char* adapterName) const;
    void closePort() const;
    void associate(const QX_ASSOCIATE& record) const;
    void adhoc(const QX_ADHOC& record) const;
    void radioOff() const;
    void radioOn() const;
    bool isRadioOn() const;
    void unblockOsWaitForIp() const;
    void rsnProbeIeVerifyEnable(std::int32_t value) const;
    void set8021xCfg(const QX_8021X_CFG& settings) const;
    void authenticate(QX_HANDLE key, std::int32_t type) const;
    void auth(std::int32_t type) const;
    void authReset() const;
    std::int32_t getAssociationInfo(QX_ASSOCIATION_INFO* info) const;
    std::int32_t getLocation(const QX_LOCATION_QUERY& query) const;
    std::int32_t getLinkSpeed(std::int32_t* kbps) const;
    std::int32_t getLinkState(std::int32_t* state) const;
    bool isWired() const;
    bool isStale(std::int32_t generation) const;
    std::int32_t generation() const;
    void clearReferences() const;

    // The manager held (checked); the reference holder.
    Reference m;
    bool m_checked = false;
};
