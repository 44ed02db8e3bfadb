#pragma once
// The parameters of one location query from the tray program, carried to the adapter that asks
// the authentication library. Immutable once made.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class LocationRequestImpl : public ReferenceImpl {
public:
    LocationRequestImpl(std::uint16_t sequenceNumber, std::int32_t locationFormat, bool secureResponseOnly,
                        std::int32_t locationEncoding, bool digitalSignature, bool locationId,
                        std::int32_t locationResolution)
        : m_sequenceNumber(sequenceNumber),
          m_locationFormat(locationFormat),
          m_secureResponseOnly(secureResponseOnly),
          m_locationEncoding(locationEncoding),
          m_digitalSignature(digitalSignature),
          m_locationId(locationId),
          m_locationResolution(locationResolution) {}

    const std::uint16_t m_sequenceNumber;
    const std::int32_t m_locationFormat;
    const bool m_secureResponseOnly;
    const std::int32_t m_locationEncoding;
    const bool m_digitalSignature;
    const bool m_locationId;
    const std::int32_t m_locationResolution;
};

class LocationRequest : public Reference {
public:
    // The sequence number keeps its low 16 bits: the answer carries it back in that width.
    static LocationRequest create(std::int32_t sequenceNumber, std::int32_t locationFormat,
                                  bool secureResponseOnly, std::int32_t locationEncoding,
                                  bool digitalSignature, bool locationId, std::int32_t locationResolution);

    LocationRequest() = default;

    // Each asserts that the handle holds a request and gives 0 or false when it does not.
    std::uint16_t getSequenceNumber() const;
    std::int32_t getLocationFormat() const;
    bool getSecureResponseOnly() const;
    std::int32_t getLocationEncoding() const;
    bool getDigitalSignature() const;
    bool getLocationId() const;
    std::int32_t getLocationResolution() const;

    // The authentication library's query flags for the three yes/no options
    // (LocationConstants::QUERY_...).
    std::uint32_t getQueryFlags() const;

private:
    explicit LocationRequest(LocationRequestImpl* p) : Reference(p, Reference::TAKE_OVER) {}
    const LocationRequestImpl* impl() const;
};
