#pragma once
// The VPN side of one configuration: its VPN entries (which VPN connection entry belongs to which
// network of which group) and, through its behaviour, the tunnel's state machines.
#include <cstdint>
#include <memory>

#include "vel/configuration/MetaConnection.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/vpn/VpnBehavior.h"

class VpnManagerImpl : public ReferenceImpl {
public:
    VpnManagerImpl();
    ~VpnManagerImpl() override;

    void clearReferences() override;

    // Replaces the entries (MetaConnection records).
    void setMetaConnections(ElementVector entries);
    ElementVector metaConnections() const { return m_entries; }
    // Removes the entry of the same group and network names.
    void removeVpnForNetwork(const MetaConnection& entry);

    VpnBehaviorInterface& behavior() { return *m_behavior; }

private:
    ElementVector m_entries = ElementVector::create();
    std::unique_ptr<VpnBehaviorInterface> m_behavior;
};

class VpnManager : public Reference {
public:
    VpnManager() = default;
    static VpnManager create();

    void setMetaConnections(const ElementVector& entries) const { impl()->setMetaConnections(entries); }
    ElementVector metaConnections() const { return impl()->metaConnections(); }
    // Drops the VPN entry kept for a meta connection.
    void removeNetworkVpn(const MetaConnection& entry) const { impl()->removeVpnForNetwork(entry); }
    bool isAutomatedVpnCapable() const { return impl()->behavior().isAutomatedVpnCapable(); }
    void handleNetworkEvent(std::int32_t event) const { impl()->behavior().handleNetworkEvent(event); }

    VpnManagerImpl* impl() const { return static_cast<VpnManagerImpl*>(static_cast<ReferenceImpl*>(m)); }
};
