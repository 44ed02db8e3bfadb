#pragma once
// The address an adapter has, as the connection API and the network state events show it.
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ValueProxy.h"

class ConnectionInfoImpl : public ReferenceImpl {
public:
    explicit ConnectionInfoImpl(const Ascii& ipAddress) : m_ipAddress(ipAddress) {}

    const Ascii m_ipAddress;
};

class ConnectionInfo : public Reference {
public:
    ConnectionInfo() = default;
    // ipAddress: dotted decimal, "0.0.0.0" for none.
    explicit ConnectionInfo(const Ascii& ipAddress)
        : Reference(static_cast<ReferenceImpl*>(new ConnectionInfoImpl(ipAddress)), Reference::TAKE_OVER) {}

    Ascii ipAddress() const { return impl()->m_ipAddress; }

private:
    const ConnectionInfoImpl* impl() const {
        return static_cast<const ConnectionInfoImpl*>(static_cast<ReferenceImpl*>(m));
    }
};

class ConnectionInfoProxy : public ValueProxy<ConnectionInfo> {
public:
    using ValueProxy<ConnectionInfo>::ValueProxy;
    using ValueProxy<ConnectionInfo>::operator=;
};
