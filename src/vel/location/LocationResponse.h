#pragma once
// The authentication library's answer to a location query, carried from the port to the tray
// program. Immutable once made.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/ByteArray.h"

class LocationResponseImpl : public ReferenceImpl {
public:
    LocationResponseImpl(std::uint16_t sequenceNumber, std::int32_t locationFormat,
                         const ByteArray& locationData, std::int32_t signatureType,
                         const ByteArray& digitalSignature, const ByteArray& locationId,
                         std::int32_t locationAccuracy)
        : m_sequenceNumber(sequenceNumber),
          m_locationFormat(locationFormat),
          m_locationData(locationData),
          m_signatureType(signatureType),
          m_digitalSignature(digitalSignature),
          m_locationId(locationId),
          m_locationAccuracy(locationAccuracy) {}

    const std::uint16_t m_sequenceNumber;
    const std::int32_t m_locationFormat;
    const ByteArray m_locationData;
    const std::int32_t m_signatureType;
    // Empty when the answer is not signed.
    const ByteArray m_digitalSignature;
    // Text.
    const ByteArray m_locationId;
    const std::int32_t m_locationAccuracy;
};

class LocationResponse : public Reference {
public:
    // The sequence number is the request's, kept in its low 16 bits.
    static LocationResponse create(std::int32_t sequenceNumber, std::int32_t locationFormat,
                                   const ByteArray& locationData, std::int32_t signatureType,
                                   const ByteArray& digitalSignature, const ByteArray& locationId,
                                   std::int32_t locationAccuracy);

    LocationResponse() = default;

    // Each asserts that the handle holds an answer and gives 0 or empty bytes when it does not.
    std::uint16_t getSequenceNumber() const;
    std::int32_t getLocationFormat() const;
    ByteArray getLocationData() const;
    std::int32_t getSignatureType() const;
    ByteArray getDigitalSignature() const;
    ByteArray getLocationId() const;
    std::int32_t getLocationAccuracy() const;

private:
    explicit LocationResponse(LocationResponseImpl* p) : Reference(p, Reference::TAKE_OVER) {}
    const LocationResponseImpl* impl() const {
        return static_cast<const LocationResponseImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
