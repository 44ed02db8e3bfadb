#pragma once
// What the authentication library reports of an adapter's port: description, MAC address, MTU,
// media and whether it can locate itself.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ValueProxy.h"

struct QX_PORT_ATTR;

class AdapterAttributesImpl : public ReferenceImpl {
public:
    explicit AdapterAttributesImpl(const QX_PORT_ATTR& record);

    Ascii m_description;
    ByteArray m_macAddress;
    std::int32_t m_mtu;
    // 0 wired, 1 wireless, 4 neither.
    std::int32_t m_media;
    bool m_locationCapable;
};

class AdapterAttributes : public Reference {
public:
    AdapterAttributes() = default;
    explicit AdapterAttributes(const QX_PORT_ATTR& record);

    Ascii description() const { return impl()->m_description; }
    ByteArray macAddress() const { return impl()->m_macAddress; }
    // "aabbccddeeff": twelve lower-case digits.
    Ascii macAddressText() const;
    std::int32_t mtu() const { return impl()->m_mtu; }
    std::int32_t media() const { return impl()->m_media; }
    bool locationCapable() const { return impl()->m_locationCapable; }

private:
    AdapterAttributesImpl* impl() const {
        return static_cast<AdapterAttributesImpl*>(static_cast<ReferenceImpl*>(m));
    }
};

class AdapterAttributesProxy : public ValueProxy<AdapterAttributes> {
public:
    using ValueProxy<AdapterAttributes>::ValueProxy;
    using ValueProxy<AdapterAttributes>::operator=;
};

// The media of a port's attribute flags: 0 with the 802.3 bit, 1 with a band bit, else 4.
std::int32_t mediaOfAttributeFlags(std::uint32_t flags);
