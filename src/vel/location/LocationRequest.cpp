#include "vel/location/LocationRequest.h"

#include "runtime/lum/Assert.h"
#include "vel/location/LocationConstants.h"

LocationRequest LocationRequest::create(std::int32_t sequenceNumber, std::int32_t locationFormat,
                                        bool secureResponseOnly, std::int32_t locationEncoding,
                                        bool digitalSignature, bool locationId,
                                        std::int32_t locationResolution) {
    return LocationRequest(new LocationRequestImpl(static_cast<std::uint16_t>(sequenceNumber), locationFormat,
                                                   secureResponseOnly, locationEncoding, digitalSignature,
                                                   locationId, locationResolution));
}

const LocationRequestImpl* LocationRequest::impl() const {
    return static_cast<const LocationRequestImpl*>(static_cast<ReferenceImpl*>(m));
}

std::uint16_t LocationRequest::getSequenceNumber() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_sequenceNumber;
}

std::int32_t LocationRequest::getLocationFormat() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_locationFormat;
}

bool LocationRequest::getSecureResponseOnly() const {
    if (!LUM_ASSERT(m)) return false;
    return impl()->m_secureResponseOnly;
}

std::int32_t LocationRequest::getLocationEncoding() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_locationEncoding;
}

bool LocationRequest::getDigitalSignature() const {
    if (!LUM_ASSERT(m)) return false;
    return impl()->m_digitalSignature;
}

bool LocationRequest::getLocationId() const {
    if (!LUM_ASSERT(m)) return false;
    return impl()->m_locationId;
}

std::int32_t LocationRequest::getLocationResolution() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_locationResolution;
}

std::uint32_t LocationRequest::getQueryFlags() const {
    if (!LUM_ASSERT(m)) return 0;
    const LocationRequestImpl* p = impl();
    std::uint32_t flags = 0;
    if (p->m_secureResponseOnly) flags |= LocationConstants::QUERY_SECURE_RESPONSE_ONLY;
    if (p->m_digitalSignature) flags |= LocationConstants::QUERY_DIGITAL_SIGNATURE;
    if (p->m_locationId) flags |= LocationConstants::QUERY_LOCATION_ID;
    return flags;
}
