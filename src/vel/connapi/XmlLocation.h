#pragma once
// The location messages: the parameters of a getLocationRequest, the capabilities reply and the
// two location events.
#include <array>
#include <cstdint>

#include "vel/connapi/SoapBodyContext.h"
#include "vel/location/LocationResponse.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

// What a getLocationRequest asks for (the enumeration values of the catalogue's tables).
struct LocationRequestRecord {
    std::int32_t format = 0;
    bool secureResponseOnly = false;
    std::int32_t encoding = 0;
    bool digitalSignature = false;
    bool locationId = false;
    // 0 when the request names none.
    std::int32_t resolution = 0;
};

// One answer of the location service, as the locationResponseEvent carries it.
struct LocationRecord {
    std::int32_t format = 0;
    ByteArray data;
    std::int32_t accuracy = 0;
    // LocationConstants::SIGNATURE_TYPE_NONE when the signature carries no type.
    std::int32_t signatureType = 0;
    // Empty when the answer is not signed.
    ByteArray signature;
    Ascii locationId;

    static LocationRecord from(const LocationResponse& response);
};

// The reply to getLocationCapabilitiesRequest: each slot holds its enumeration value when the
// capability is there, 0 when not.
struct LocationCapabilitiesRecord {
    bool available = false;
    std::array<std::int32_t, 2> services{};
    std::array<std::int32_t, 3> formats{};
    std::array<std::int32_t, 4> encodings{};
    std::array<std::int32_t, 3> resolutions{};
};

class Xml_Location {
public:
    // locationFormat, requestSecureResponseOnly, locationEncoding, requestDigitalSignature and
    // requestLocationId are required, locationResolution is not.
    static LocationRequestRecord ReadRequest(const SharedXmlNode& element);
    // isLocationServiceAvailable; when true, each array that has a value set.
    static void WriteCapabilities(const SoapBodyContext& context, const LocationCapabilitiesRecord& record);
    // The locationResponseEvent with its children; data and signature in base64.
    static void CreateXmlResponseEvent(const SoapBodyContext& context, const LocationRecord& record);
    // The locationErrorEvent with its error number.
    static void CreateXmlErrorEvent(const SoapBodyContext& context, std::int32_t error);
};
