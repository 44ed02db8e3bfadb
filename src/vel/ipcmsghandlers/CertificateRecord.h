#pragma once
// A certificate a network may use, as a credential request hands it to the connection API: the
// fields the certificate request writes, whether the certificate can be used at all, and the store
// it came from.
#include <cstdint>

#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

struct CertificateRecord {
    static constexpr std::int32_t STORE_SMART_CARD = 2;

    bool usable = true;
    ByteArray hash;
    Ascii name;
    Ascii issuedTo;
    Ascii issuedBy;
    // Already in text form.
    Ascii expiryDate;
    Ascii serialNumber;
    std::int32_t storeType = 0;
    Ascii storeName;
};
