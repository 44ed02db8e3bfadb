#pragma once
// The VPN entry of one network: which VPN connection entry belongs to which network of which
// group (an empty group name for a global network), and whether it connects by itself.
#include <cstdint>

#include "vel/reference/HandleOf.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class MetaConnectionImpl : public ReferenceImpl {
public:
    MetaConnectionImpl(const Ascii& groupName, const Ascii& networkName, const Ascii& connectionEntry,
                       bool autoConnectVpn)
        : m_groupName(groupName),
          m_networkName(networkName),
          m_connectionEntry(connectionEntry),
          m_autoConnectVpn(autoConnectVpn) {}

    Ascii m_groupName;
    Ascii m_networkName;
    Ascii m_connectionEntry;
    std::uint8_t m_autoConnectVpn;
};

class MetaConnection : public Reference {
public:
    MetaConnection() = default;
    static MetaConnection create(const Ascii& groupName, const Ascii& networkName,
                                 const Ascii& connectionEntry, bool autoConnectVpn) {
        return MetaConnection(
            new MetaConnectionImpl(groupName, networkName, connectionEntry, autoConnectVpn));
    }

    Ascii groupName() const { return impl()->m_groupName; }
    Ascii networkName() const { return impl()->m_networkName; }
    Ascii connectionEntry() const { return impl()->m_connectionEntry; }
    bool autoConnectVpn() const { return impl()->m_autoConnectVpn != 0; }
    // The same group and network names, byte for byte.
    bool isForSameNetwork(const MetaConnection& other) const {
        return groupName() == other.groupName() && networkName() == other.networkName();
    }

    MetaConnectionImpl* impl() const {
        return static_cast<MetaConnectionImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit MetaConnection(MetaConnectionImpl* created) : Reference(created, Reference::TAKE_OVER) {}
};

// A VPN entry that may be missing; exists() must be asked before it is taken.
class MetaConnectionProxy : public HandleProxy<MetaConnection> {
public:
    using HandleProxy<MetaConnection>::HandleProxy;

    // The entry; asserts that the holder was tested.
    MetaConnection metaConnection() const { return held(); }
};
