#include "vel/location/LocationResponse.h"

#include "runtime/lum/Assert.h"

LocationResponse LocationResponse::create(std::int32_t sequenceNumber, std::int32_t locationFormat,
                                          const ByteArray& locationData, std::int32_t signatureType,
                                          const ByteArray& digitalSignature, const ByteArray& locationId,
                                          std::int32_t locationAccuracy) {
    return LocationResponse(new LocationResponseImpl(static_cast<std::uint16_t>(sequenceNumber),
                                                     locationFormat, locationData, signatureType,
                                                     digitalSignature, locationId, locationAccuracy));
}

std::uint16_t LocationResponse::getSequenceNumber() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_sequenceNumber;
}

std::int32_t LocationResponse::getLocationFormat() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_locationFormat;
}

// The byte arrays are immutable, so the shared value is the copy.
ByteArray LocationResponse::getLocationData() const {
    if (!LUM_ASSERT(m)) return ByteArray();
    return impl()->m_locationData;
}

std::int32_t LocationResponse::getSignatureType() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_signatureType;
}

ByteArray LocationResponse::getDigitalSignature() const {
    if (!LUM_ASSERT(m)) return ByteArray();
    return impl()->m_digitalSignature;
}

ByteArray LocationResponse::getLocationId() const {
    if (!LUM_ASSERT(m)) return ByteArray();
    return impl()->m_locationId;
}

std::int32_t LocationResponse::getLocationAccuracy() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_locationAccuracy;
}
