#pragma once
// The fault with which the service answers a request it cannot serve, written under a reply's
// SOAP-ENV:Body: faultcode "Client", faultstring the name of the reply the request would have had,
// and a detail with the request's number, the error code and an error text.
#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/string/Ascii.h"

struct SoapFaultRecord {
    // The reply the request would have received (unknownRequest for an unknown one).
    std::int32_t command;
    std::int32_t sequenceNumber;
    // One of ConnApiConstants::ERROR_...
    std::int32_t errorCode;
    Ascii errorText;
};

void xmlWriteFault(const SharedXmlNode& body, const SoapFaultRecord& fault);
