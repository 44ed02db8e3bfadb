#pragma once
// The VPN side of one configuration: its VPN entries (which VPN connection entry belongs to which
// network of which group) and, through its behaviour, the tunnel's state machines.
#include <cstdint>
#include <memory>

#include "vel/configuration/MetaConnection.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/AsciiVector.h"
#include "vel/vpn/VpnBehavior.h"

class VpnManagerImpl : public ReferenceImpl {
public:
    VpnManagerImpl();
    ~VpnManagerImpl() override;

    void clearReferences() override;

    // Replaces the entries (MetaConnection records).
    void setMetaConnections(ElementVector entries);
    ElementVector metaConnections() const { return m_entries; }
    // Puts the entry in place of the one of the same group and network names.
    void addVpnForNetwork(const MetaConnection& entry);
    // Removes the entry of the same group and network names.
    void removeVpnForNetwork(const MetaConnection& entry);
    // Removes every entry whose connection entry is not one of the names.
    void removeVpnsOnChange(const AsciiVector& validEntries);

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
    void addVpnForNetwork(const MetaConnection& entry) const { impl()->addVpnForNetwork(entry); }
    void removeVpnForNetwork(const MetaConnection& entry) const { impl()->removeVpnForNetwork(entry); }
    // Drops the VPN entry kept for a meta connection.
    void removeNetworkVpn(const MetaConnection& entry) const { impl()->removeVpnForNetwork(entry); }
    void removeVpnsOnChange(const AsciiVector& validEntries) const {
        impl()->removeVpnsOnChange(validEntries);
    }

    bool isAutomatedVpnCapable() const { return behavior().isAutomatedVpnCapable(); }
    void handleNetworkEvent(std::int32_t event) const { behavior().handleNetworkEvent(event); }
    MetaConnectionProxy attemptVpn() const { return behavior().attemptVpn(); }
    void connectVpn() const { behavior().connectVpn(); }
    void autoConnectVpn() const { behavior().autoConnectVpn(); }
    void disconnectVpn() const { behavior().disconnectVpn(); }
    void handleUserLogon() const { behavior().handleUserLogon(); }
    void handleClientEvent(std::int32_t clientEvent) const { behavior().handleClientEvent(clientEvent); }
    void credentialRequest() const { behavior().credentialRequest(); }
    void sendCredentials(const Ascii& user, const Ascii& password) const {
        behavior().sendCredentials(user, password);
    }
    void resetAndDisconnect() const { behavior().resetAndDisconnect(); }
    void bannerResponse(bool accepted) const { behavior().bannerResponse(accepted); }
    std::int32_t lastVpnStatus() const { return behavior().lastVpnStatus(); }

    VpnManagerImpl* impl() const { return static_cast<VpnManagerImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    VpnBehaviorInterface& behavior() const { return impl()->behavior(); }
};
