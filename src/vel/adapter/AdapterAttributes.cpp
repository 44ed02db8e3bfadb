#include "vel/adapter/AdapterAttributes.h"

#include <cstring>

#include "platform/qxauth/qxAuth.h"
#include "vel/adapter/AdapterConstants.h"

std::int32_t mediaOfAttributeFlags(std::uint32_t flags) {
    if ((flags & AdapterConstants::ATTRIBUTE_8023) != 0) return AdapterConstants::MEDIA_TYPE_8023;
    if ((flags & AdapterConstants::ATTRIBUTE_WIRELESS) != 0) return AdapterConstants::MEDIA_TYPE_80211;
    return AdapterConstants::MEDIA_TYPE_NONE;
}

AdapterAttributesImpl::AdapterAttributesImpl(const QX_PORT_ATTR& record)
    : m_description(record.description,
                    static_cast<std::int32_t>(strnlen(record.description, sizeof record.description))),
      m_macAddress(record.macAddress, sizeof record.macAddress),
      m_mtu(static_cast<std::int32_t>(record.mtu)),
      m_media(mediaOfAttributeFlags(record.flags)),
      m_locationCapable((record.flags & AdapterConstants::ATTRIBUTE_LOCATION_CAPABLE) != 0) {}

AdapterAttributes::AdapterAttributes(const QX_PORT_ATTR& record)
    : Reference(static_cast<ReferenceImpl*>(new AdapterAttributesImpl(record)), Reference::TAKE_OVER) {}

Ascii AdapterAttributes::macAddressText() const {
    return impl()->m_macAddress.toHex();
}
