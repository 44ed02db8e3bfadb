#pragma once
// How a network's medium is joined. When its adapter starts a connection it hands the network's
// PhyInfo the port manager and the port attributes read at attach: the wireless kind turns its
// settings into the library's association or ad-hoc record, the wired kind has nothing to do. The
// adapter also authenticates with the pre-shared key handle it gives. Engine thread.
#include <cstdint>

#include "platform/qxauth/qxAuth.h"
#include "vel/credmgr/CredentialProxy.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class PortManagerProxy;

class PhyInfoImpl : public ReferenceImpl {
public:
    virtual void startConnection(const PortManagerProxy& portManager, const QX_PORT_ATTR& attributes) = 0;
    // The key's library handle; 0 when there is none.
    virtual QX_HANDLE pskHandle() = 0;
};

class PhyInfo : public Reference {
public:
    PhyInfo() = default;

    // associationMode: 1 open, 2 shared, 3 ad-hoc open, 4 ad-hoc shared, 5 WPA personal, 6 WPA
    // enterprise, 7 WPA2 personal, 8 WPA2 enterprise, 9 Quillan; encryption: 1 none, 2 WEP, 3 TKIP,
    // 4 AES. key: may be empty, except for the modes that cannot do without one (2, 4, 5, 7).
    static PhyInfo createWireless(const Ascii& ssid, std::int32_t associationMode, std::int32_t encryption,
                                  const CredentialProxy& key);
    static PhyInfo createWired();

    // Each asserts that the handle holds an object ("m") and does nothing when it does not.
    void startConnection(const PortManagerProxy& portManager, const QX_PORT_ATTR& attributes) const;
    QX_HANDLE pskHandle() const;

    PhyInfoImpl* impl() const { return static_cast<PhyInfoImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    explicit PhyInfo(PhyInfoImpl* p) : Reference(p, Reference::TAKE_OVER) {}
};
